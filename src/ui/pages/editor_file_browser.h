#pragma once
// The editor's picture browser list: the picture files of one folder with their size,
// type and modified time, shown in one of five view styles ("ListStyle"), sortable by
// any column, with thumbnails made in the background. Files are dragged from it into
// the photo list (or into other programs) as file addresses.

#include "compose/thumbnail_cache.h"

#include <QPixmap>
#include <QStandardItemModel>
#include <QWidget>

#include <vector>

class QListView;
class QStackedWidget;
class QTreeView;
class QAbstractItemView;

namespace tellavine::ui {

class ThumbnailLoader;

// "ListStyle" values; any other value means Thumbnails.
enum class FileListStyle { Thumbnails = 0, List = 1, Details = 2, SmallIcons = 3, LargeIcons = 4 };
FileListStyle fileListStyleFromSetting(int value);

// Marks drags that start in the browser (the photo list adds them "from the browser").
inline constexpr const char* kBrowserDragFormat = "application/x-tellavine-browser-files";

enum FileListColumn { kNameColumn = 0, kSizeColumn = 1, kTypeColumn = 2, kModifiedColumn = 3 };

class PictureFileBrowser : public QWidget {
    Q_OBJECT
public:
    PictureFileBrowser(ThumbnailCache& cache, QWidget* parent = nullptr);
    ~PictureFileBrowser() override;

    // Lists the pictures of `folder` (stops the thumbnails of the old one first).
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

signals:
    void fileActivated(const QString& path);
    void contextMenuRequested(const QPoint& globalPos);

private:
    void showThumbnail(int index, const QImage& image);
    void applyDecorations();

    QStandardItemModel* model_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QListView* iconView_ = nullptr;
    QTreeView* detailView_ = nullptr;
    ThumbnailLoader* loader_ = nullptr;
    QString folder_;
    FileListStyle style_ = FileListStyle::Thumbnails;
    std::vector<QStandardItem*> loading_;  // the current loader run's items, by index
    QPixmap placeholder_;
};

}  // namespace tellavine::ui
