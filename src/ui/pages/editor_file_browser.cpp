#include "ui/pages/editor_file_browser.h"

#include "ui/controls/file_item_info.h"
#include "ui/pages/editor_artwork.h"
#include "ui/pages/picture_files.h"
#include "ui/pages/thumbnail_loader.h"

#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QListView>
#include <QLocale>
#include <QMimeData>
#include <QStackedWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <map>

namespace tellavine::ui {
namespace {

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kSortRole = Qt::UserRole + 2;
constexpr int kThumbnailRole = Qt::UserRole + 3;
constexpr int kTypeIconRole = Qt::UserRole + 4;
constexpr int kIconBox = 78;

// Drags carry the files as addresses, so other programs take them too.
class FileListModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;

    QStringList mimeTypes() const override { return {QStringLiteral("text/uri-list"), QString::fromLatin1(kBrowserDragFormat)}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override {
        QList<QUrl> urls;
        QList<int> rows;
        for (const QModelIndex& index : indexes) {
            if (!rows.contains(index.row())) rows << index.row();
        }
        std::sort(rows.begin(), rows.end());
        for (int row : rows) urls << QUrl::fromLocalFile(item(row, kNameColumn)->data(kPathRole).toString());
        auto* data = new QMimeData;
        data->setUrls(urls);
        data->setData(QString::fromLatin1(kBrowserDragFormat), QByteArray("1"));
        return data;
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
};

// Type names and icons by extension: looking them up per file would slow big folders.
struct FileTypeInfo {
    QString text;
    QIcon icon;
};
const FileTypeInfo& fileTypeOf(const QString& path) {
    static std::map<QString, FileTypeInfo> known;
    const FileItemInfo info(path);
    const QString key = info.extension.toLower();
    auto found = known.find(key);
    if (found == known.end()) found = known.emplace(key, FileTypeInfo{info.typeText(), info.icon()}).first;
    return found->second;
}

QString sizeText(qint64 bytes) {
    return QStringLiteral("%1 KB").arg(QLocale().toString((bytes + 1023) / 1024));
}

}  // namespace

FileListStyle fileListStyleFromSetting(int value) {
    return value >= 0 && value <= 4 ? static_cast<FileListStyle>(value) : FileListStyle::Thumbnails;
}

PictureFileBrowser::PictureFileBrowser(ThumbnailCache& cache, QWidget* parent)
    : QWidget(parent), placeholder_(drawThumbnailPlaceholder(kThumbnailWidth, kThumbnailHeight)) {
    model_ = new FileListModel(0, 4, this);
    model_->setHorizontalHeaderLabels({tr("Name"), tr("Size"), tr("Type"), tr("Modified")});
    model_->setSortRole(kSortRole);
    model_->horizontalHeaderItem(kSizeColumn)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);

    iconView_ = new QListView(this);
    iconView_->setObjectName(QStringLiteral("fileIcons"));
    detailView_ = new QTreeView(this);
    detailView_->setObjectName(QStringLiteral("fileDetails"));
    iconView_->setModel(model_);
    detailView_->setModel(model_);
    detailView_->setSelectionModel(iconView_->selectionModel());
    detailView_->setRootIsDecorated(false);
    detailView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    detailView_->setUniformRowHeights(true);
    detailView_->setSortingEnabled(true);
    detailView_->sortByColumn(kNameColumn, Qt::AscendingOrder);
    detailView_->header()->setSortIndicatorShown(true);
    detailView_->setColumnWidth(kNameColumn, 300);
    detailView_->setColumnWidth(kSizeColumn, 100);
    detailView_->setColumnWidth(kTypeColumn, 100);
    detailView_->setColumnWidth(kModifiedColumn, 200);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailView_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(true);
        view->setDragDropMode(QAbstractItemView::DragOnly);
        view->setDefaultDropAction(Qt::CopyAction);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->setTextElideMode(Qt::ElideMiddle);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            emit fileActivated(pathAt(index.row()));
        });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { emit contextMenuRequested(view->viewport()->mapToGlobal(at)); });
    }
    iconView_->setUniformItemSizes(true);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setMovement(QListView::Static);
    iconView_->setWordWrap(false);

    stack_ = new QStackedWidget(this);
    stack_->addWidget(iconView_);
    stack_->addWidget(detailView_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);

    loader_ = new ThumbnailLoader(cache, this);
    connect(loader_, &ThumbnailLoader::thumbnailReady, this, &PictureFileBrowser::showThumbnail);
    setListStyle(FileListStyle::Thumbnails);
}

PictureFileBrowser::~PictureFileBrowser() = default;

void PictureFileBrowser::setFolder(const QString& folder) {
    loader_->stop();
    loading_.clear();
    folder_ = folder;
    model_->removeRows(0, model_->rowCount());
    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    std::vector<ThumbnailRequest> requests;
    for (const QFileInfo& entry : entries) {
        if (!isPictureFile(entry.fileName())) continue;
        const QString path = entry.absoluteFilePath();
        const FileTypeInfo& type = fileTypeOf(path);
        auto* name = new QStandardItem(entry.fileName());
        name->setData(path, kPathRole);
        name->setData(entry.fileName().toCaseFolded(), kSortRole);
        name->setData(type.icon, kTypeIconRole);
        name->setToolTip(path);
        auto* size = new QStandardItem(sizeText(entry.size()));
        size->setData(entry.size(), kSortRole);
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* typeItem = new QStandardItem(type.text);
        typeItem->setData(type.text.toCaseFolded(), kSortRole);
        const QString modified = entry.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        auto* modifiedItem = new QStandardItem(modified);
        modifiedItem->setData(modified, kSortRole);
        for (QStandardItem* item : {name, size, typeItem, modifiedItem}) item->setDropEnabled(false);
        model_->appendRow({name, size, typeItem, modifiedItem});
        loading_.push_back(name);
        requests.push_back({path.toStdString(), 0});
    }
    applyDecorations();
    const int column = detailView_->header()->sortIndicatorSection();
    model_->sort(column, detailView_->header()->sortIndicatorOrder());
    loader_->start(std::move(requests));
}

void PictureFileBrowser::showThumbnail(int index, const QImage& image) {
    if (index < 0 || index >= static_cast<int>(loading_.size()) || image.isNull()) return;
    QStandardItem* item = loading_[static_cast<std::size_t>(index)];
    item->setData(QPixmap::fromImage(image), kThumbnailRole);
    if (style_ == FileListStyle::Thumbnails) item->setData(QIcon(QPixmap::fromImage(image)), Qt::DecorationRole);
}

void PictureFileBrowser::applyDecorations() {
    const QIcon placeholder(placeholder_);
    for (int row = 0; row < model_->rowCount(); ++row) {
        QStandardItem* item = model_->item(row, kNameColumn);
        if (style_ == FileListStyle::Thumbnails) {
            const QVariant thumbnail = item->data(kThumbnailRole);
            item->setData(thumbnail.isValid() ? QIcon(thumbnail.value<QPixmap>()) : placeholder, Qt::DecorationRole);
        } else {
            item->setData(item->data(kTypeIconRole), Qt::DecorationRole);
        }
    }
}

void PictureFileBrowser::setListStyle(FileListStyle style) {
    style_ = style;
    switch (style) {
        case FileListStyle::Thumbnails:
            iconView_->setViewMode(QListView::IconMode);
            iconView_->setIconSize(QSize(kIconBox, kIconBox));
            iconView_->setGridSize(QSize(92, 108));  // room for the label under an upright photo
            iconView_->setSpacing(0);
            break;
        case FileListStyle::LargeIcons:
            iconView_->setViewMode(QListView::IconMode);
            iconView_->setIconSize(QSize(48, 48));
            iconView_->setGridSize(QSize(86, 76));
            break;
        case FileListStyle::SmallIcons:
            iconView_->setViewMode(QListView::ListMode);
            iconView_->setFlow(QListView::LeftToRight);
            iconView_->setWrapping(true);
            iconView_->setIconSize(QSize(16, 16));
            iconView_->setGridSize(QSize(180, 22));
            break;
        case FileListStyle::List:
            iconView_->setViewMode(QListView::ListMode);
            iconView_->setFlow(QListView::TopToBottom);
            iconView_->setWrapping(true);
            iconView_->setIconSize(QSize(16, 16));
            iconView_->setGridSize(QSize(200, 22));
            break;
        case FileListStyle::Details:
            break;
    }
    iconView_->setMovement(QListView::Static);
    iconView_->setDragEnabled(true);
    stack_->setCurrentWidget(style == FileListStyle::Details ? static_cast<QWidget*>(detailView_) : iconView_);
    applyDecorations();
}

void PictureFileBrowser::sortBy(FileListColumn column, Qt::SortOrder order) {
    detailView_->sortByColumn(column, order);
}

int PictureFileBrowser::count() const {
    return model_->rowCount();
}

QString PictureFileBrowser::pathAt(int row) const {
    const QStandardItem* item = model_->item(row, kNameColumn);
    return item ? item->data(kPathRole).toString() : QString();
}

QStringList PictureFileBrowser::selectedPaths() const {
    QList<int> rows;
    for (const QModelIndex& index : iconView_->selectionModel()->selectedIndexes()) {
        if (!rows.contains(index.row())) rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    for (int row : rows) paths << pathAt(row);
    return paths;
}

QStringList PictureFileBrowser::allPaths() const {
    QStringList paths;
    for (int row = 0; row < model_->rowCount(); ++row) paths << pathAt(row);
    return paths;
}

void PictureFileBrowser::selectAll() {
    view()->selectAll();
}

QAbstractItemView* PictureFileBrowser::view() const {
    return style_ == FileListStyle::Details ? static_cast<QAbstractItemView*>(detailView_) : iconView_;
}

}  // namespace tellavine::ui
