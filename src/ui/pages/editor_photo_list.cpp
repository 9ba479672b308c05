#include "ui/pages/editor_photo_list.h"

#include "platform/text.h"
#include "ui/pages/editor_artwork.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/picture_files.h"
#include "ui/pages/thumbnail_loader.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

namespace tellavine::ui {
namespace {

constexpr const char* kPhotoDragFormat = "application/x-tellavine-album-photos";
constexpr int kLabelHeight = 18;
constexpr int kScrollZone = 24;        // pixels at the top and bottom edge that scroll
constexpr int kScrollIntervalMs = 100;  // one line per tick
constexpr int kTargetBelowPointer = 10;

// Identifies drags of this very list (not another window's or program's).
QByteArray dragToken(const QObject* view) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(view));
}

}  // namespace

PhotoListModel::PhotoListModel(const Project& project, QObject* parent) : QAbstractListModel(parent), project_(project) {}

void PhotoListModel::showAlbum(int album) {
    beginResetModel();
    album_ = album;
    endResetModel();
}

const Slide* PhotoListModel::slideAt(int row) const {
    if (album_ < 0 || album_ >= project_.albumCount()) return nullptr;
    const auto& slides = project_.album(album_).slides;
    return row >= 0 && row < static_cast<int>(slides.size()) ? slides[static_cast<std::size_t>(row)].get() : nullptr;
}

int PhotoListModel::rowOf(const Slide* slide) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (slideAt(row) == slide) return row;
    }
    return -1;
}

void PhotoListModel::refresh() {
    beginResetModel();
    endResetModel();
}

void PhotoListModel::slideChanged(const Slide* slide) {
    const int row = rowOf(slide);
    if (row >= 0) emit dataChanged(index(row), index(row));
}

int PhotoListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || album_ < 0 || album_ >= project_.albumCount()) return 0;
    return static_cast<int>(project_.album(album_).slides.size());
}

QVariant PhotoListModel::data(const QModelIndex& index, int role) const {
    const Slide* slide = slideAt(index.row());
    if (!slide) return {};
    switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(formatText("%02d", index.row() + 1));
        case Qt::ToolTipRole: return QString::fromStdString(slide->displayName + "\n" + slide->path);
        default: return {};
    }
}

Qt::ItemFlags PhotoListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

PhotoRowDelegate::PhotoRowDelegate(ThumbnailLookup thumbnails, QObject* parent)
    : QStyledItemDelegate(parent),
      thumbnails_(std::move(thumbnails)),
      placeholder_(drawThumbnailPlaceholder(kThumbnailWidth, kThumbnailHeight)) {}

QSize PhotoRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(kPhotoBoxWidth + 8, kPhotoBoxHeight + kLabelHeight + 6);
}

void PhotoRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const auto* model = static_cast<const PhotoListModel*>(index.model());
    const Slide* slide = model->slideAt(index.row());
    if (!slide) return;
    QPainter& p = *painter;
    p.save();
    const QRect cell = option.rect;
    const QRect box(cell.left() + (cell.width() - kPhotoBoxWidth) / 2, cell.top() + 3, kPhotoBoxWidth, kPhotoBoxHeight);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
        p.fillRect(box.adjusted(-3, -3, 3, 3), option.palette.highlight());
    }
    p.fillRect(box, QColor(248, 249, 251));
    p.setPen(QColor(180, 186, 198));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    QPixmap thumbnail = thumbnails_(*slide);
    if (thumbnail.isNull()) thumbnail = placeholder_;
    p.drawPixmap(box.left() + (box.width() - thumbnail.width()) / 2, box.top() + (box.height() - thumbnail.height()) / 2,
                 thumbnail);
    if (slide->hasCaption) {
        // A small "T" marks a photo with a caption.
        const QRect badge(box.right() - 16, box.bottom() - 16, 14, 14);
        p.fillRect(badge, QColor(40, 50, 70, 200));
        p.setPen(Qt::white);
        p.drawText(badge, Qt::AlignCenter, QStringLiteral("T"));
    }
    const QRect label(cell.left(), box.bottom() + 2, cell.width(), kLabelHeight);
    if (selected) {
        const int w = option.fontMetrics.horizontalAdvance(index.data().toString()) + 10;
        p.fillRect(QRect(label.center().x() - w / 2, label.top(), w, label.height()), option.palette.highlight());
        p.setPen(option.palette.highlightedText().color());
    } else {
        p.setPen(option.palette.text().color());
    }
    p.drawText(label, Qt::AlignCenter, index.data().toString());
    p.restore();
}

PhotoListView::PhotoListView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("photoList"));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setGridSize(QSize(kPhotoBoxWidth + 14, kPhotoBoxHeight + kLabelHeight + 10));
    setSpacing(0);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setAutoScroll(false);  // the list scrolls by its own timer while dragging
    setContextMenuPolicy(Qt::CustomContextMenu);
    scrollTimer_.setInterval(kScrollIntervalMs);
    connect(&scrollTimer_, &QTimer::timeout, this, [this] {
        verticalScrollBar()->triggerAction(scrollDirection_ < 0 ? QAbstractSlider::SliderSingleStepSub
                                                                : QAbstractSlider::SliderSingleStepAdd);
    });
}

QList<int> PhotoListView::selectedRows() const {
    QList<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PhotoListView::selectRows(const QList<int>& rows) {
    if (!selectionModel()) return;
    QItemSelection selection;
    for (int row : rows) {
        const QModelIndex index = model()->index(row, 0);
        if (index.isValid()) selection.select(index, index);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty()) selectionModel()->setCurrentIndex(model()->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

int PhotoListView::dropTargetAt(const QPoint& viewportPos) const {
    const QModelIndex under = indexAt(viewportPos + QPoint(0, kTargetBelowPointer));
    return under.isValid() ? under.row() : model()->rowCount();
}

QMimeData* PhotoListView::dragData() const {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kPhotoDragFormat), dragToken(this));
    return data;
}

bool PhotoListView::isOwnDrag(const QMimeData* data) const {
    return data && data->data(QString::fromLatin1(kPhotoDragFormat)) == dragToken(this);
}

void PhotoListView::setScrollDirection(int direction) {
    scrollDirection_ = direction;
    if (direction == 0) scrollTimer_.stop();
    else if (!scrollTimer_.isActive()) scrollTimer_.start();
}

void PhotoListView::startDrag(Qt::DropActions) {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData());
    // The drag image: the first selected photo as the list draws it.
    const QModelIndex first = model()->index(rows.front(), 0);
    QPixmap image(visualRect(first).size());
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setOpacity(0.75);
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = image.rect();
        option.state |= QStyle::State_Selected;
        itemDelegateForIndex(first)->paint(&painter, option, first);
    }
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    dragging_ = true;
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    dragging_ = false;
    setScrollDirection(0);
}

void PhotoListView::dragEnterEvent(QDragEnterEvent* event) {
    if (isOwnDrag(event->mimeData()) || event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PhotoListView::dragMoveEvent(QDragMoveEvent* event) {
    const bool own = isOwnDrag(event->mimeData());
    if (!own && !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    const int y = event->position().toPoint().y();
    setScrollDirection(y < kScrollZone ? -1 : y > viewport()->height() - kScrollZone ? 1 : 0);
    if (own) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void PhotoListView::dragLeaveEvent(QDragLeaveEvent* event) {
    // Leaving through the top or bottom keeps our own drag scrolling, as long as it goes on.
    if (!dragging_) setScrollDirection(0);
    event->accept();
}

void PhotoListView::dropEvent(QDropEvent* event) {
    setScrollDirection(0);
    const QMimeData* data = event->mimeData();
    if (isOwnDrag(data)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        emit photosMoved(dropTargetAt(event->position().toPoint()));
        return;
    }
    if (data->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit filesDropped(picturesFromDrop(data->urls()), data->hasFormat(QString::fromLatin1(kBrowserDragFormat)));
        return;
    }
    event->ignore();
}

}  // namespace tellavine::ui
