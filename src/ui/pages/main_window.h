#pragma once
// The main window: menu bar, toolbar, status bar with the disc-usage gauge, and the
// four pages of which one is shown. It owns the project and the settings for the
// whole run: it reads the settings first, sets up the recorders, opens the project
// named on the command line, and on closing asks to save, then writes the settings.

#include "project/model.h"
#include "project/settings.h"
#include "ui/pages/build_worker.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QActionGroup;

namespace tellavine::ui {

class CPageBurn;
class DiscUsageGauge;
class PaneStatusBar;
class RecorderAccess;

enum MainCommand : int {
    kNewProjectCommand = 32807,
    kOpenCommand = 57601,
    kSaveCommand = 57603,
    kSaveAsCommand = 57604,
    kExitCommand = 32771,
    kNewAlbumCommand = 32773,
    kDeleteAlbumCommand = 32808,
    kAlbumPropertiesCommand = 32806,
    kAddPicturesCommand = 32774,
    kDeletePicturesCommand = 32775,
    kSelectAllCommand = 32825,
    kShowEditorCommand = 32780,
    kShowMenuCommand = 32779,
    kShowPreviewCommand = 32784,
    kShowBurnCommand = 32785,
    kOptionsCommand = 32783,
    kHelpContentsCommand = 32809,
    kQuickStartCommand = 32810,
    kWebsiteCommand = 32812,
    kCheckVersionCommand = 32813,
    kAboutCommand = 32772,
};

enum class Page { Editor = 0, DiscMenu = 1, Preview = 2, Burn = 3 };

enum StatusPaneId : int { kGaugePane = 1, kTotalsPane = 2, kDevicePane = 3 };

struct MainWindowServices {
    std::shared_ptr<RecorderAccess> recorders;
    PipelineFactory makePipeline;
    // The program's message boxes (Qt message boxes unless set), for the window, its
    // pages and everything the engine does for them.
    std::shared_ptr<Prompt> prompt;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `commandLineFile` (may be empty) is opened as a project after start-up.
    MainWindow(MainWindowServices services, const QString& commandLineFile = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    void showPage(Page page);
    Page currentPage() const { return page_; }
    QWidget* page(Page page) const { return pages_[static_cast<int>(page)]; }
    CPageBurn* burnPage() const;
    void refreshStatus();
    void updateTitle();

    QAction* action(int command) const;
    Project& project() { return project_; }
    const EngineServices& engineServices() const { return engine_; }
    AppSettings& settings() { return settings_; }
    DiscUsageGauge* gauge() const { return gauge_; }
    PaneStatusBar* statusPanes() const { return status_; }
    long long estimateDiscSectors() const;

    // File commands; the file choosers are replaceable for tests (empty = Cancel).
    void newProjectCommand();
    void openCommand();
    bool saveCommand();
    bool saveAsCommand();
    std::function<QString()> chooseProjectToOpen;
    std::function<QString()> chooseProjectToSave;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void setUpRecorders();
    void createPages();
    void layOutPages();
    void placeWindow();
    void openCommandLineFile(const QString& path);
    void openHelp(const char* page);
    void showAbout();
    void checkLatestVersion();
    QAction* addCommand(int command, const QString& text, const QKeySequence& shortcut = {});

    MainWindowServices services_;
    AppSettings settings_;
    EngineServices engine_;  // services_.prompt and the run log the settings name
    Project project_;
    BuildWorker worker_;
    std::map<int, QAction*> actions_;
    QActionGroup* pageActions_ = nullptr;
    QWidget* area_ = nullptr;
    QWidget* pages_[4] = {};
    Page page_ = Page::Editor;
    PaneStatusBar* status_ = nullptr;
    DiscUsageGauge* gauge_ = nullptr;
    bool settingsSaved_ = false;
};

}  // namespace tellavine::ui
