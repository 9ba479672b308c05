#include "ui/pages/editor_album_list.h"

#include "platform/text.h"
#include "ui/pages/editor_artwork.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

QString twoDigits(int number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); }

}  // namespace

namespace tellavine::ui {

AlbumListModel::AlbumListModel(const Project& project, QObject* parent) : QAbstractListModel(parent), project_(project) {}

int AlbumListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : project_.albumCount() + 1;
}

QVariant AlbumListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int album = index.row() - 1;
    if (role == AlbumIndexRole) return album;
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole) {
        if (album < 0) return tr("Slide No.1");
        const Album& entry = project_.album(album);
        // One arg() call for all three, so a "%1" in an album's name stays as typed.
        QString text = tr("%1  Name: %2  Total Photos: %3")
                           .arg(twoDigits(album + 1), QString::fromStdString(entry.name),
                                twoDigits(static_cast<int>(entry.slides.size())));
        if (role == Qt::ToolTipRole && entry.hasMusic()) text += QStringLiteral("\n") + QString::fromStdString(entry.musicPath);
        return text;
    }
    return {};
}

Qt::ItemFlags AlbumListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Choosing the title row does nothing, so it cannot be chosen.
    if (index.row() == kAlbumTitleRow) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void AlbumListModel::refresh() {
    beginResetModel();
    endResetModel();
}

AlbumRowDelegate::AlbumRowDelegate(ThumbnailLookup thumbnails, QObject* parent)
    : QStyledItemDelegate(parent), thumbnails_(std::move(thumbnails)), note_(drawMusicNote(20)) {}

QSize AlbumRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return QSize(option.rect.width() > 0 ? option.rect.width() : 200,
                 index.row() == kAlbumTitleRow ? kAlbumTitleHeight : kAlbumRowHeight);
}

void AlbumRowDelegate::paintTitle(QPainter& p, const QRect& r) const {
    QLinearGradient band(r.topLeft(), r.bottomLeft());
    band.setColorAt(0, QColor(96, 122, 168));
    band.setColorAt(1, QColor(62, 86, 132));
    p.fillRect(r, band);
    p.setPen(Qt::white);
    QFont bold = p.font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(r.adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, tr("Slide No.1"));
}

void AlbumRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QPainter& p = *painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = option.rect;
    if (index.row() == kAlbumTitleRow) {
        paintTitle(p, r);
        p.restore();
        return;
    }
    const auto* model = static_cast<const AlbumListModel*>(index.model());
    const int albumIndex = index.row() - 1;
    if (albumIndex >= model->project().albumCount()) {
        p.restore();
        return;
    }
    const Album& album = model->project().album(albumIndex);
    const bool selected = option.state & QStyle::State_Selected;

    // The row's background: a blue band for the selected row, a light card otherwise.
    QLinearGradient background(r.topLeft(), r.bottomLeft());
    if (selected) {
        background.setColorAt(0, QColor(120, 168, 230));
        background.setColorAt(1, QColor(70, 124, 200));
    } else {
        background.setColorAt(0, QColor(252, 253, 255));
        background.setColorAt(1, QColor(226, 232, 242));
    }
    p.fillRect(r, background);
    p.setPen(QColor(196, 204, 218));
    p.drawLine(r.bottomLeft(), r.bottomRight());

    // The first photo fitted into the 70-pixel box.
    const QRect box(r.left() + 6, r.top() + 6, kAlbumThumbnailBox, r.height() - 12);
    if (!album.slides.empty()) {
        const QPixmap thumbnail = thumbnails_(*album.slides.front());
        const QPixmap fitted = thumbnail.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPoint at(box.left() + (box.width() - fitted.width()) / 2, box.top() + (box.height() - fitted.height()) / 2);
        p.fillRect(QRect(at, fitted.size()).adjusted(-2, -2, 2, 2), Qt::white);
        p.drawPixmap(at, fitted);
    } else {
        p.setPen(QPen(QColor(160, 170, 186), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(4, 2, -4, -2));
    }

    const QColor ink = selected ? Qt::white : QColor(40, 50, 70);
    const int textLeft = box.right() + 10;
    QFont number = p.font();
    number.setBold(true);
    number.setPointSizeF(number.pointSizeF() * 1.5);
    p.setFont(number);
    p.setPen(ink);
    const QRect numberRect(textLeft, r.top(), 34, r.height());
    p.drawText(numberRect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(formatText("%02d", albumIndex + 1)));
    p.setFont(option.font);
    const int musicRoom = album.hasMusic() ? note_.width() + 8 : 0;
    const QRect textRect(numberRect.right() + 6, r.top() + 8, r.right() - numberRect.right() - 12 - musicRoom, r.height() - 16);
    const QFontMetrics metrics(option.font);
    const QString name = metrics.elidedText(tr("Name: %1").arg(QString::fromStdString(album.name)), Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, name);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignBottom,
               tr("Total Photos: %1").arg(twoDigits(static_cast<int>(album.slides.size()))));
    if (album.hasMusic()) p.drawPixmap(r.right() - note_.width() - 6, r.top() + (r.height() - note_.height()) / 2, note_);
    p.restore();
}

AlbumListView::AlbumListView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("albumList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(false);
}

QItemSelectionModel::SelectionFlags AlbumListView::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    if (index.isValid() && index.row() == kAlbumTitleRow) return QItemSelectionModel::NoUpdate;
    return QListView::selectionCommand(index, event);
}

int AlbumListView::selectedAlbum() const {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (rows.isEmpty() || rows.front().row() == kAlbumTitleRow) return -1;
    return rows.front().row() - 1;
}

void AlbumListView::selectAlbum(int album) {
    if (!model()) return;
    if (album < 0 || album + 1 >= model()->rowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model()->index(album + 1, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

}  // namespace tellavine::ui
