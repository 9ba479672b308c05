#pragma once
// The disc menu page: the installed templates with thumbnails, the current menu page
// drawn on a canvas exactly as the disc will show it, stepping through the menu pages,
// the menu's background music and picture, and renaming an album by double-clicking its
// title. Everything it changes lives in the project's menu settings and albums.

#include "compose/thumbnail_cache.h"
#include "project/model.h"

#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;

namespace tellavine::ui {

class BuildWorker;
class ImageButton;
class MenuCanvas;
class TemplateList;

enum MenuPageCommand : int {
    kSelectMenuMusicCommand = 32786,
    kClearMenuMusicCommand = 32787,
    kSelectMenuBackgroundCommand = 32788,
    kClearMenuBackgroundCommand = 32789,
    kPlayMenuMusicCommand = 32790,
    kCanvasSelectMusicCommand = 32792,
    kCanvasClearMusicCommand = 32793,
    kCanvasSelectBackgroundCommand = 32794,
    kCanvasClearBackgroundCommand = 32795,
};

enum MenuPageButton : int {
    kMenuBackgroundButton = 37001,
    kMenuMusicButton = 37002,
    kPreviousMenuButton = 37003,
    kNextMenuButton = 37004,
};

struct MenuPageServices {
    Project* project = nullptr;
    std::string programDir;  // where the "template" folder is
    // A cancelled build may still read the project: changes wait for it to end.
    BuildWorker* worker = nullptr;
};

class CPageMenu : public QWidget {
    Q_OBJECT
public:
    explicit CPageMenu(MenuPageServices services, QWidget* parent = nullptr);

    // Takes in what changed elsewhere (another page, New, Open): the items per page, the
    // chosen template, the music and background lines, the canvas and the buttons.
    void refresh();
    // Play Music works once a music player exists.
    void setMusicPlayerAvailable(bool available);

    void nextMenu();
    void previousMenu();
    void selectMusic();
    void clearMusic();
    void playMusic();
    void selectBackground();
    void clearBackground();
    void chooseTemplate(const QString& fileName);
    void renameAlbum(int album);

    int firstAlbum() const;
    int itemsPerPage() const { return itemsPerPage_; }
    QString musicLine() const;
    QString backgroundLine() const;
    TemplateList* templateList() const { return templates_; }
    MenuCanvas* canvas() const { return canvas_; }
    ImageButton* button(int id) const;
    QAction* command(int id) const;

    // The file choosers and the album name question; replaced in tests (empty = Cancel).
    std::function<QString()> chooseMusicFile;
    std::function<QString()> chooseBackgroundFile;
    std::function<std::optional<QString>(int album)> askAlbumName;

signals:
    void playMusicRequested(const QString& path, const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createButtons();
    void createCommands();
    QAction* addCommand(int id, const QString& text, void (CPageMenu::*handler)());
    void layOut();
    void showFirstAlbum(int firstAlbum);
    void updateButtons();
    void updateLines();
    void readItemsPerPage();
    // Runs `change` now, or once a build still reading the project has ended.
    void whenNoBuild(std::function<void()> change);

    MenuPageServices services_;
    ThumbnailCache thumbnails_;
    TemplateList* templates_ = nullptr;
    MenuCanvas* canvas_ = nullptr;
    QLabel* templateLabel_ = nullptr;
    QLabel* canvasLabel_ = nullptr;
    QLabel* musicLine_ = nullptr;
    QLabel* backgroundLine_ = nullptr;
    std::map<int, ImageButton*> buttons_;
    std::map<int, QAction*> commands_;
    QMenu* musicMenu_ = nullptr;
    QMenu* backgroundMenu_ = nullptr;
    QMenu* canvasMenu_ = nullptr;
    int itemsPerPage_ = 1;
    bool playerAvailable_ = false;
};

}  // namespace tellavine::ui
