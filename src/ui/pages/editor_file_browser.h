#pragma once
// The editor's picture browser list: the picture files of one folder with their size,
// type and modified time, shown in one of five view styles ("ListStyle"), sortable by
// any column, with thumbnails made in the background. Files are dragged from it into
// the photo list (or into other programs) as file addresses.
//
// Opening a folder never blocks the page: the folder is listed on a background thread
// and shown in one piece, then the thumbnail loader fills in the pictures, which are
// handed to the list in batches (one model update per tick, not one per photo).

#include "compose/thumbnail_cache.h"
#include "ui/pages/editor_file_list_model.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <utility>
#include <vector>

class QListView;
class QStackedWidget;
class QTreeView;
class QAbstractItemView;

namespace tellavine::ui {

class FolderLister;
class ThumbnailLoader;

// "ListStyle" values; any other value means Thumbnails.
enum class FileListStyle { Thumbnails = 0, List = 1, Details = 2, SmallIcons = 3, LargeIcons = 4 };
FileListStyle fileListStyleFromSetting(int value);

// The square a thumbnail takes in the Thumbnails style.
inline constexpr int kFileIconBox = 78;

class PictureFileBrowser : public QWidget {
    Q_OBJECT
public:
    PictureFileBrowser(ThumbnailCache& cache, QWidget* parent = nullptr);
    ~PictureFileBrowser() override;

    // Lists the pictures of `folder` in the background (stops the listing and the
    // thumbnails of the old one first); the list fills when the listing is done.
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }

    void setListStyle(FileListStyle style);
    FileListStyle listStyle() const { return style_; }
    void sortBy(FileListColumn column, Qt::SortOrder order);

    int count() const;
    // Full paths of the selected files, of all files, in the order shown.
    QStringList selectedPaths() const;
    QStringList allPaths() const;
    QString pathAt(int row) const;
    void selectAll();
    // The view of the current style.
    QAbstractItemView* view() const;
    ThumbnailLoader* loader() const { return loader_; }
    // True while the folder is being listed or its thumbnails are being made or wait to
    // be shown.
    bool busy() const;

signals:
    void fileActivated(const QString& path);
    void contextMenuRequested(const QPoint& globalPos);
    // The folder's files are in the list (its thumbnails follow).
    void folderListed(const QString& folder);

private:
    void showFiles(const QString& folder, const std::vector<PictureFileEntry>& files);
    void queueThumbnail(int index, const QImage& image);
    void flushThumbnails();

    FileListModel* model_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QListView* iconView_ = nullptr;
    QTreeView* detailView_ = nullptr;
    FolderLister* lister_ = nullptr;
    ThumbnailLoader* loader_ = nullptr;
    QString folder_;
    FileListStyle style_ = FileListStyle::Thumbnails;
    std::vector<std::pair<int, QPixmap>> arrived_;  // thumbnails waiting for the next tick
    QTimer flushTimer_;
};

}  // namespace tellavine::ui
