#pragma once
// The album editor page: a picture browser above (folder tree and the folder's picture
// files) and the project below (the album list and the current album's photos), with
// the page buttons, the three context menus and the music menu. Every album and photo
// operation goes through the project model, which marks the project modified and lets
// the main window refresh its status line and disc gauge.

#include "compose/thumbnail_cache.h"
#include "project/messages.h"
#include "project/model.h"
#include "project/settings.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QSplitter;

namespace tellavine::ui {

class AlbumListModel;
class AlbumListView;
class ImageButton;
class PhotoListModel;
class PhotoListView;
class PictureFileBrowser;
class ShellFolderTree;
class ThumbnailLoader;
enum class FileListStyle;

enum EditorCommand : int {
    // Page buttons.
    kNewSlideShowButton = 34001,
    kDeleteSlideShowButton = 34002,
    kSlideShowPropertyButton = 34003,
    kAddPicturesButton = 35001,
    kDeletePicturesButton = 35002,
    kRotateClockwiseButton = 35003,
    kRotateCounterClockwiseButton = 35004,
    kViewPicturesButton = 35005,
    kAddAllButton = 35006,
    kAlbumMusicButton = 35007,
    // Photo list menu.
    kRemoveCommand = 32796,
    kRotateClockwiseCommand = 32797,
    kRotateCounterClockwiseCommand = 32798,
    kViewPictureCommand = 32799,
    kRemoveAllCommand = 32800,
    kAddTextCommand = 32834,
    kSortByDateTakenCommand = 32850,
    // File list menu.
    kLargeIconsCommand = 32815,
    kSmallIconsCommand = 32816,
    kListCommand = 32817,
    kDetailsCommand = 32818,
    kThumbnailsCommand = 32819,
    kViewFileCommand = 32820,
    kAddToAlbumCommand = 32801,
    kAddAllCommand = 32802,
    kSelectAllFilesCommand = 32825,
    // Album list and music menus.
    kNewAlbumMenuCommand = 32803,
    kDeleteAlbumMenuCommand = 32804,
    kRenameAlbumCommand = 32805,
    kAlbumPropertiesMenuCommand = 32806,
    kClearMusicCommand = 32831,
    kPlayMusicCommand = 32835,
    kSetMusicCommand = 32837,
    kStopMusicCommand = 32840,
};

struct EditorPageServices {
    Project* project = nullptr;
    AppSettings* settings = nullptr;  // "ListStyle", "SPLITTER_X", "SPLITTER_Y"
    EngineServices engine;            // message boxes
};

// What the Album Properties dialog returns.
struct AlbumPropertiesChoice {
    QString name;
    int playTime = 0;
    QString musicPath;
};

// How pictures reach an album: from the page's file list, or by path (the Add Pictures
// dialog, a drop from another program). They differ in the name of an album made on
// the way and in whether a full album is reported.
enum class PictureSource { Browser, AddPicturesDialog, Drop };

class CPageEditor : public QWidget {
    Q_OBJECT
public:
    CPageEditor(EditorPageServices services, QWidget* parent = nullptr);
    ~CPageEditor() override;

    // --- album operations ---------------------------------------------------------
    void newAlbum();
    void deleteAlbum();
    void renameAlbum();
    void albumProperties();
    void setAlbumMusic();
    void clearAlbumMusic();
    void playAlbumMusic();
    // Shows album `album` in the photo list and makes it the current album.
    void showAlbum(int album);

    // --- photo operations ---------------------------------------------------------
    void addPictures(const QStringList& paths, PictureSource source);
    void addSelectedFiles();
    void addAllFiles();
    // The Edit menu's Add Pictures: the open dialog, then add by path.
    void addPicturesWithDialog();
    void removeSelectedPhotos();
    void removeAllPhotos();
    void rotateSelectedPhotos(bool clockwise);
    void addTextToSelectedPhotos();
    void viewSelectedPhoto();
    void viewSelectedFile();
    void selectAllFiles();
    // Moves the selected photos to `targetRow` (the drag-and-drop rule of PhotoListView).
    void moveSelectedPhotos(int targetRow);
    // Orders the current album by the date each photo was taken; photos without a date
    // follow the dated ones in their present order.
    void sortPhotosByDateTaken();

    // After New or Open replaced the project's albums.
    void projectReplaced();
    // The mini player exists: Play Music may be offered.
    void setMusicPlayerAvailable(bool available);

    // --- the parts, for the main window and tests ----------------------------------
    ShellFolderTree* folderTree() const { return tree_; }
    PictureFileBrowser* fileBrowser() const { return browser_; }
    AlbumListView* albumList() const { return albumView_; }
    PhotoListView* photoList() const { return photoView_; }
    ThumbnailLoader* photoLoader() const { return photoLoader_; }
    ImageButton* button(int command) const;
    QAction* command(int id) const;
    QSplitter* browserSplitter() const { return topSplitter_; }
    QSplitter* pageSplitter() const { return pageSplitter_; }
    // Shows a folder in the browser (selecting it in the tree when it is reachable).
    void browseFolder(const QString& folder);
    // The thumbnail shown for a slide, null while it is being made.
    QPixmap slideThumbnail(const Slide& slide) const;

    // The dialogs, replaceable in tests. Nothing / empty means Cancel.
    std::function<std::optional<QString>(const QString& proposed, int excludedAlbum)> askAlbumName;
    std::function<std::optional<AlbumPropertiesChoice>(int album)> askAlbumProperties;
    std::function<QString(const QString& current)> chooseMusicFile;
    std::function<QStringList()> choosePictureFiles;
    std::function<std::optional<SlideCaption>(const SlideCaption& caption)> editCaption;
    std::function<void(int album, int slide)> viewSlide;
    std::function<void(const QString& path)> viewFile;

signals:
    void playMusicRequested(const QString& path, const QString& title);
    void stopMusicRequested();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void installDialogs();
    QWidget* makeBrowser();
    QWidget* makeProjectPane();
    QWidget* makeButtonRow(const std::vector<int>& commands);
    void createCommands();
    void showPhotoMenu(const QPoint& globalPos);
    void showFileMenu(const QPoint& globalPos);
    void showAlbumMenu(const QPoint& globalPos);
    void showMusicMenu();
    void albumSelectionChanged();
    void refreshAlbums(int selectAlbum);
    void refreshPhotos();
    void restartPhotoThumbnails();
    void photoThumbnailReady(int index, const QImage& image);
    void syncSplitters(QSplitter* moved);
    // The file list's view style, kept in the settings ("ListStyle").
    void chooseListStyle(FileListStyle style);
    void updateCommandStates();
    std::vector<Slide*> selectedSlides() const;
    int currentAlbumIndex() const;
    QString proposedAlbumName() const;
    void tell(const char* text) const;

    EditorPageServices services_;
    Project& project_;
    ThumbnailCache cache_;
    std::map<int, QAction*> commands_;
    std::map<int, ImageButton*> buttons_;
    QSplitter* pageSplitter_ = nullptr;
    QSplitter* topSplitter_ = nullptr;
    QSplitter* bottomSplitter_ = nullptr;
    ShellFolderTree* tree_ = nullptr;
    PictureFileBrowser* browser_ = nullptr;
    AlbumListModel* albumModel_ = nullptr;
    AlbumListView* albumView_ = nullptr;
    PhotoListModel* photoModel_ = nullptr;
    PhotoListView* photoView_ = nullptr;
    ThumbnailLoader* photoLoader_ = nullptr;
    std::vector<QString> photoRequests_;        // the photo loader's run: thumbnail keys by index
    QHash<QString, QPixmap> photoThumbnails_;   // by path and rotation
    bool musicPlayerAvailable_ = false;
    bool syncingSplitters_ = false;
};

}  // namespace tellavine::ui
