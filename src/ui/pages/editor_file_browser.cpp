#include "ui/pages/editor_file_browser.h"

#include "ui/pages/editor_artwork.h"
#include "ui/pages/folder_lister.h"
#include "ui/pages/thumbnail_loader.h"

#include <QHeaderView>
#include <QListView>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace tellavine::ui {
namespace {

// Thumbnails that arrive within one tick reach the list as one update.
constexpr int kThumbnailTickMs = 40;

}  // namespace

FileListStyle fileListStyleFromSetting(int value) {
    return value >= 0 && value <= 4 ? static_cast<FileListStyle>(value) : FileListStyle::Thumbnails;
}

PictureFileBrowser::PictureFileBrowser(ThumbnailCache& cache, QWidget* parent) : QWidget(parent) {
    const QSize box(kFileIconBox, kFileIconBox);
    model_ = new FileListModel(
        QPixmap::fromImage(fitIntoBox(drawThumbnailPlaceholder(kThumbnailWidth, kThumbnailHeight).toImage(), box)), this);

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
    // Every item has the same size (thumbnails are made square), so the views lay out
    // thousands of files without asking each one.
    iconView_->setUniformItemSizes(true);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setLayoutMode(QListView::Batched);
    iconView_->setMovement(QListView::Static);
    iconView_->setWordWrap(false);

    stack_ = new QStackedWidget(this);
    stack_->addWidget(iconView_);
    stack_->addWidget(detailView_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);

    lister_ = new FolderLister(this);
    connect(lister_, &FolderLister::listed, this, &PictureFileBrowser::showFiles);
    loader_ = new ThumbnailLoader(cache, this, box);
    connect(loader_, &ThumbnailLoader::thumbnailReady, this, &PictureFileBrowser::queueThumbnail);
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kThumbnailTickMs);
    connect(&flushTimer_, &QTimer::timeout, this, &PictureFileBrowser::flushThumbnails);
    setListStyle(FileListStyle::Thumbnails);
}

PictureFileBrowser::~PictureFileBrowser() = default;

void PictureFileBrowser::setFolder(const QString& folder) {
    loader_->stop();
    flushTimer_.stop();
    arrived_.clear();
    folder_ = folder;
    model_->setFiles({});
    lister_->start(folder);
}

void PictureFileBrowser::showFiles(const QString& folder, const std::vector<PictureFileEntry>& files) {
    if (folder != folder_) return;
    model_->setFiles(files);
    std::vector<ThumbnailRequest> requests;
    requests.reserve(files.size());
    for (const QString& path : model_->paths()) requests.push_back({path.toStdString(), 0});
    loader_->start(std::move(requests));
    emit folderListed(folder);
}

void PictureFileBrowser::queueThumbnail(int index, const QImage& image) {
    if (image.isNull()) return;
    // The loader made it display-ready (small, in the screen's format): no conversion here.
    arrived_.emplace_back(index, QPixmap::fromImage(image));
    if (!flushTimer_.isActive()) flushTimer_.start();
}

void PictureFileBrowser::flushThumbnails() {
    model_->setThumbnails(arrived_);
    arrived_.clear();
}

bool PictureFileBrowser::busy() const {
    return !lister_->idle() || !loader_->idle() || !arrived_.empty();
}

void PictureFileBrowser::setListStyle(FileListStyle style) {
    style_ = style;
    switch (style) {
        case FileListStyle::Thumbnails:
            iconView_->setViewMode(QListView::IconMode);
            iconView_->setIconSize(QSize(kFileIconBox, kFileIconBox));
            iconView_->setGridSize(QSize(92, 108));  // room for the label under the square
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
    model_->setShowThumbnails(style == FileListStyle::Thumbnails);
}

void PictureFileBrowser::sortBy(FileListColumn column, Qt::SortOrder order) {
    detailView_->sortByColumn(column, order);
}

int PictureFileBrowser::count() const {
    return model_->rowCount();
}

QString PictureFileBrowser::pathAt(int row) const {
    return model_->pathAt(row);
}

QStringList PictureFileBrowser::selectedPaths() const {
    std::vector<int> rows;
    for (const QModelIndex& index : iconView_->selectionModel()->selectedIndexes()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList paths;
    for (int row : rows) paths << pathAt(row);
    return paths;
}

QStringList PictureFileBrowser::allPaths() const {
    return model_->paths();
}

void PictureFileBrowser::selectAll() {
    view()->selectAll();
}

QAbstractItemView* PictureFileBrowser::view() const {
    return style_ == FileListStyle::Details ? static_cast<QAbstractItemView*>(detailView_) : iconView_;
}

}  // namespace tellavine::ui
