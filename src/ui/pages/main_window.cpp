#include "ui/pages/main_window.h"

#include "platform/cd_geometry.h"
#include "platform/folders.h"
#include "project/messages.h"
#include "project/project_commands.h"
#include "audio/mp3_length.h"
#include "project/project_file.h"
#include "audio/mp3_length.h"
#include "compose/menu_template.h"
#include "ui/app/artwork.h"
#include "ui/app/qt_prompt.h"
#include "ui/controls/disc_usage_gauge.h"
#include "ui/controls/hyperlink_static.h"
#include "ui/controls/pane_status_bar.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/about_box.h"
#include "pipeline/disc_estimate.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/page_menu.h"
#include "ui/pages/page_preview.h"
#include "ui/player/mini_player.h"
#include "audio/mp3_length.h"
#include "ui/pages/page_editor.h"
#include "ui/pages/placeholder_page.h"
#include "ui/pages/engine_recorders.h"
#include "ui/pages/recorder_access.h"
#include "ui/update/update_dialog.h"

#include <QAction>
#include <algorithm>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

namespace tellavine::ui {
namespace {

constexpr int kEdge = 5;
constexpr int kStatusHeight = 25;
constexpr int kStatusBottomGap = 5;
constexpr int kPageBottomGap = 35;
constexpr const char* kWebsite = "https://tellavine.org/";

// The toolbar band's background: a soft vertical gradient with a hairline below.
class ToolBand : public QToolBar {
public:
    explicit ToolBand(QWidget* parent) : QToolBar(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            QLinearGradient band(0, 0, 0, height());
            band.setColorAt(0, QColor(250, 251, 253));
            band.setColorAt(1, QColor(218, 226, 238));
            painter.fillRect(rect(), band);
            painter.setPen(QColor(170, 180, 196));
            painter.drawLine(0, height() - 1, width(), height() - 1);
        }
        QToolBar::paintEvent(event);
    }
};

// The page area: pages and status bar at fixed gaps from its edges.
class PageArea : public QWidget {
public:
    explicit PageArea(std::function<void()> layOut, QWidget* parent) : QWidget(parent), layOut_(std::move(layOut)) {}

protected:
    void resizeEvent(QResizeEvent*) override { layOut_(); }

private:
    std::function<void()> layOut_;
};

}  // namespace

MainWindow::MainWindow(MainWindowServices services, const QString& commandLineFile, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    if (!services_.recorders) services_.recorders = std::make_shared<EngineRecorders>();
    settings_ = loadSettings(appFolders());
    if (!services_.prompt) services_.prompt = std::make_shared<QtPrompt>();
    engine_.prompt = services_.prompt;
    engine_.runLog = std::make_shared<RunLog>(appFolders().runLogFile(), settings_.logFile);
    project_.setServices(engine_);
    project_.setDefaultPlayTime(settings_.waitTime, settings_.waitTime);  // new albums' play time
    project_.setTemplateItemsQuery([programDir = appFolders().programDir](const std::string& path) {
        return templateItemsPerPage(programDir, path);
    });
    project_.setMusicLengthQuery(audio::measureMp3Length);
    // A new project starts on the classic template; its button count comes from the file.
    project_.refreshItemsPerPage();

    setObjectName(QStringLiteral("mainWindow"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(drawApplicationIcon(size));
    setWindowIcon(icon);
    chooseProjectToOpen = [this] {
        return QFileDialog::getOpenFileName(this, tr("Open Project"), QString(),
                                            tr("Tellavine Project(*.ovp);;Tellavine Project(*.orx)"));
    };
    chooseProjectToSave = [this] {
        // The dialog adds the extension before it asks about overwriting.
        QFileDialog dialog(this, tr("Save As"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(tr("Tellavine Project(*.ovp)"));
        dialog.setDefaultSuffix(QStringLiteral("ovp"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    createActions();
    createMenus();
    createToolBar();
    area_ = new PageArea([this] { layOutPages(); }, this);
    setCentralWidget(area_);
    createStatusBar();
    // The mini player exists from the start, hidden, for the pages' music.
    player_ = new MiniPlayer(QPoint(settings_.window.playerX, settings_.window.playerY), nullptr, SoundOutput::Default, this);
    player_->hide();
    createPages();
    setUpRecorders();
    layOutPages();
    placeWindow();

    project_.setStatusCallback([this](const std::string&) { refreshStatus(); });
    refreshStatus();
    showPage(Page::Editor);
    project_.setModified(false);
    updateTitle();
    if (!commandLineFile.isEmpty()) openCommandLineFile(commandLineFile);
}

MainWindow::~MainWindow() {
    project_.setStatusCallback({});
}

QAction* MainWindow::addCommand(int command, const QString& text, const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command%1").arg(command));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    actions_[command] = action;
    return action;
}

QAction* MainWindow::action(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::createActions() {
    connect(addCommand(kNewProjectCommand, tr("&New Project"), QKeySequence(tr("Ctrl+N"))), &QAction::triggered, this,
            &MainWindow::newProjectCommand);
    connect(addCommand(kOpenCommand, tr("&Open..."), QKeySequence(tr("Ctrl+O"))), &QAction::triggered, this,
            &MainWindow::openCommand);
    connect(addCommand(kSaveCommand, tr("&Save"), QKeySequence(tr("Ctrl+S"))), &QAction::triggered, this,
            &MainWindow::saveCommand);
    connect(addCommand(kSaveAsCommand, tr("Save &As...")), &QAction::triggered, this, &MainWindow::saveAsCommand);
    connect(addCommand(kExitCommand, tr("&Exit")), &QAction::triggered, this, &QWidget::close);

    // The Edit commands show the album editor, then act there.
    const struct {
        int command;
        const char* text;
        QKeySequence shortcut;
        void (CPageEditor::*run)();
    } editCommands[] = {
        {kNewAlbumCommand, QT_TR_NOOP("&New Album"), QKeySequence(tr("Ctrl+B")), &CPageEditor::newAlbum},
        {kDeleteAlbumCommand, QT_TR_NOOP("&Delete Album"), {}, &CPageEditor::deleteAlbum},
        {kAlbumPropertiesCommand, QT_TR_NOOP("Album &Properties..."), {}, &CPageEditor::albumProperties},
        {kAddPicturesCommand, QT_TR_NOOP("&Add Pictures..."), {}, &CPageEditor::addPicturesWithDialog},
        {kDeletePicturesCommand, QT_TR_NOOP("Delete"), QKeySequence(Qt::Key_Delete), &CPageEditor::removeSelectedPhotos},
        {kSelectAllCommand, QT_TR_NOOP("Select All"), QKeySequence(tr("Ctrl+A")), &CPageEditor::selectAllFiles},
    };
    for (const auto& entry : editCommands) {
        const auto run = entry.run;
        connect(addCommand(entry.command, tr(entry.text), entry.shortcut), &QAction::triggered, this, [this, run] {
            showPage(Page::Editor);
            (editorPage()->*run)();
        });
    }

    pageActions_ = new QActionGroup(this);
    pageActions_->setExclusive(true);
    const struct {
        int command;
        const char* text;
        const char* shortcut;
        Page page;
    } pages[] = {
        {kShowEditorCommand, QT_TR_NOOP("Album Editor"), QT_TR_NOOP("Ctrl+E"), Page::Editor},
        {kShowMenuCommand, QT_TR_NOOP("Disc Menu Window"), QT_TR_NOOP("Ctrl+M"), Page::DiscMenu},
        {kShowPreviewCommand, QT_TR_NOOP("&Preview Window"), QT_TR_NOOP("Ctrl+P"), Page::Preview},
        {kShowBurnCommand, QT_TR_NOOP("CD Recorder Window"), QT_TR_NOOP("Ctrl+R"), Page::Burn},
    };
    for (const auto& entry : pages) {
        QAction* action = addCommand(entry.command, tr(entry.text), QKeySequence(tr(entry.shortcut)));
        action->setCheckable(true);
        pageActions_->addAction(action);
        const Page page = entry.page;
        connect(action, &QAction::triggered, this, [this, page] { showPage(page); });
    }
    connect(addCommand(kOptionsCommand, tr("Options...")), &QAction::triggered, this, [this] {
        if (runOptionsDialog(this, settings_, project_, *services_.recorders)) refreshStatus();
    });

    connect(addCommand(kHelpContentsCommand, tr("Contents"), QKeySequence(Qt::Key_F1)), &QAction::triggered, this,
            [this] { openHelp("intro.htm"); });
    connect(addCommand(kQuickStartCommand, tr("&Quick Start")), &QAction::triggered, this,
            [this] { openHelp("start.htm"); });
    connect(addCommand(kWebsiteCommand, tr("Website of Tellavine")), &QAction::triggered, this,
            [this] { openLinkOrExplain(QString::fromLatin1(kWebsite), *engine_.prompt); });
    QAction* checkVersion = addCommand(kCheckVersionCommand, tr("&Check Latest Version..."));
    connect(checkVersion, &QAction::triggered, this, &MainWindow::checkLatestVersion);
    // Without a usable update server ([Update] Url) the command says why it is off.
    if (const std::string problem = updateServerProblem(settings_.updateUrl); !problem.empty()) {
        checkVersion->setEnabled(false);
        checkVersion->setToolTip(QString::fromStdString(problem));
    }
    connect(addCommand(kAboutCommand, tr("&About Tellavine")), &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    for (int command : {kNewProjectCommand, kOpenCommand, kSaveCommand, kSaveAsCommand}) file->addAction(action(command));
    file->addSeparator();
    file->addAction(action(kExitCommand));

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    for (int command : {kNewAlbumCommand, kDeleteAlbumCommand, kAlbumPropertiesCommand}) edit->addAction(action(command));
    edit->addSeparator();
    for (int command : {kAddPicturesCommand, kDeletePicturesCommand}) edit->addAction(action(command));
    addAction(action(kSelectAllCommand));

    QMenu* view = menuBar()->addMenu(tr("&View"));
    for (int command : {kShowEditorCommand, kShowMenuCommand, kShowPreviewCommand, kShowBurnCommand}) {
        view->addAction(action(command));
    }
    view->addSeparator();
    view->addAction(action(kOptionsCommand));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setToolTipsVisible(true);
    for (int command : {kHelpContentsCommand, kQuickStartCommand}) help->addAction(action(command));
    help->addSeparator();
    for (int command : {kWebsiteCommand, kCheckVersionCommand}) help->addAction(action(command));
    help->addSeparator();
    help->addAction(action(kAboutCommand));
}

void MainWindow::createToolBar() {
    auto* bar = new ToolBand(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    const struct {
        int command;  // 0 = separator
        const char* label;
        Artwork picture;
        const char* tooltip;
    } buttons[] = {
        {kNewProjectCommand, QT_TR_NOOP("New"), Artwork::NewProject, nullptr},
        {kOpenCommand, QT_TR_NOOP("Open"), Artwork::OpenProject, nullptr},
        {kSaveCommand, QT_TR_NOOP("Save"), Artwork::SaveProject, nullptr},
        {0, nullptr, Artwork::Cd, nullptr},
        {kShowEditorCommand, QT_TR_NOOP("Editor"), Artwork::Editor, QT_TR_NOOP("View editor panel")},
        {kShowMenuCommand, QT_TR_NOOP("Disc Menu"), Artwork::DiscMenu, QT_TR_NOOP("View disc menu")},
        {kShowPreviewCommand, QT_TR_NOOP("Preview"), Artwork::Preview, QT_TR_NOOP("View preview panel")},
        {kShowBurnCommand, QT_TR_NOOP("Burn CD"), Artwork::BurnCd, QT_TR_NOOP("View burn panel")},
        {0, nullptr, Artwork::Cd, nullptr},
        {kHelpContentsCommand, QT_TR_NOOP("Help"), Artwork::Help, QT_TR_NOOP("Open online help document")},
    };
    for (const auto& button : buttons) {
        if (button.command == 0) {
            bar->addSeparator();
            continue;
        }
        // The toolbar shows the actions' short icon texts; the menus keep the long texts.
        QAction* command = action(button.command);
        command->setIcon(QIcon(drawArtwork(button.picture, 64)));
        command->setIconText(tr(button.label));
        command->setToolTip(button.tooltip ? tr(button.tooltip) : tr(button.label));
        auto* tool = new QToolButton(bar);
        tool->setDefaultAction(command);
        tool->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tool->setIconSize(QSize(32, 32));
        tool->setMinimumWidth(64);
        tool->setAutoRaise(true);
        tool->setObjectName(QStringLiteral("tool%1").arg(button.command));
        bar->addWidget(tool);
    }
    addToolBar(Qt::TopToolBarArea, bar);
}

void MainWindow::createStatusBar() {
    status_ = new PaneStatusBar(area_);
    status_->setObjectName(QStringLiteral("statusBar"));
    status_->setPanes({{kGaugePane, kPaneTakesRest, false, {}},
                       {kTotalsPane, kPaneFitsText, true, {}},
                       {kDevicePane, kPaneFitsText, true, {}}});
    gauge_ = new DiscUsageGauge;
    gauge_->setObjectName(QStringLiteral("gauge"));
    status_->addPaneControl(gauge_, kGaugePane, true);
    status_->setPaneIcon(kDevicePane, drawArtwork(Artwork::Cd, 16));
}

void MainWindow::setUpRecorders() {
    const std::vector<RecorderDevice> devices = services_.recorders->devices();
    settings_.driver = std::clamp(settings_.driver, 0, 2);
    QStringList names;
    for (const RecorderDevice& device : devices) names << QString::fromStdString(device.listText());
    if (devices.empty()) {
        settings_.recorder = 0;
        status_->setPaneText(kDevicePane, tr("No CD-Writer is Found"));
    } else {
        settings_.recorder = std::clamp(settings_.recorder, 0, static_cast<int>(devices.size()) - 1);
        services_.recorders->selectRecorder(settings_.recorder, settings_.driver);
        status_->setPaneText(kDevicePane,
                             QString::fromStdString(devices[static_cast<std::size_t>(settings_.recorder)].paneText()));
    }
    burnPage()->setRecorderList(names, settings_.recorder);
}

void MainWindow::createPages() {
    auto* editor = new CPageEditor({&project_, &settings_, engine_}, area_);
    editor->setMusicPlayerAvailable(true);
    connect(editor, &CPageEditor::playMusicRequested, this, &MainWindow::playMusic);
    connect(editor, &CPageEditor::stopMusicRequested, this, [this] { player_->closePlayer(); });
    pages_[0] = editor;
    auto* menu = new CPageMenu({&project_, appFolders().programDir, &worker_}, area_);
    menu->setMusicPlayerAvailable(true);
    connect(menu, &CPageMenu::playMusicRequested, this, &MainWindow::playMusic);
    pages_[1] = menu;
    PreviewServices preview;
    preview.programDir = appFolders().programDir;
    preview.playMusic = [this](const std::string& path, std::int32_t length) {
        player_->play({path, {}, static_cast<std::uint32_t>(std::max(length, 0)), false});
    };
    preview.closeMusic = [this] { player_->closePlayer(); };
    pages_[2] = new CPagePreview(project_, std::move(preview), area_);
    BurnPageServices services;
    services.settings = &settings_;
    services.project = &project_;
    services.recorders = services_.recorders.get();
    services.worker = &worker_;
    services.makePipeline = services_.makePipeline;
    services.engine = engine_;
    services.estimateSectors = [this] { return estimateDiscSectors(); };
    auto* burn = new CPageBurn(std::move(services), area_);
    connect(burn, &CPageBurn::estimateChanged, this, &MainWindow::refreshStatus);
    pages_[3] = burn;
    pages_[0]->setObjectName(QStringLiteral("pageEditor"));
    pages_[1]->setObjectName(QStringLiteral("pageMenu"));
    pages_[2]->setObjectName(QStringLiteral("pagePreview"));
}

CPageEditor* MainWindow::editorPage() const {
    return static_cast<CPageEditor*>(pages_[0]);
}

CPageBurn* MainWindow::burnPage() const {
    return static_cast<CPageBurn*>(pages_[3]);
}

CPageMenu* MainWindow::menuPage() const {
    return static_cast<CPageMenu*>(pages_[1]);
}

CPagePreview* MainWindow::previewPage() const {
    return static_cast<CPagePreview*>(pages_[2]);
}

void MainWindow::playMusic(const QString& path, const QString& title) {
    player_->play({path.toStdString(), title, 0, true});
}

void MainWindow::layOutPages() {
    if (!area_ || !status_) return;
    const int width = area_->width();
    const int height = area_->height();
    status_->setGeometry(kEdge, height - kStatusHeight - kStatusBottomGap, width - 2 * kEdge, kStatusHeight);
    const QRect pageRect(QPoint(kEdge, kEdge), QPoint(width - kEdge - 1, height - kPageBottomGap - 1));
    for (QWidget* page : pages_) {
        if (page) page->setGeometry(pageRect);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layOutPages();
}

void MainWindow::placeWindow() {
    const WindowPlacement& placement = settings_.window;
    if (placement.width > 0 && !placement.maximized) {
        setGeometry(placement.x, placement.y, placement.width, placement.height);
    } else {
        resize(1024, 720);
    }
    setMinimumSize(760, 560);
    if (placement.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::showPage(Page page) {
    // Leaving or entering a page ends the preview; the preview's remote starts afresh.
    if (pages_[2]) previewPage()->stopPreview();
    page_ = page;
    for (int i = 0; i < 4; ++i) pages_[i]->setVisible(i == static_cast<int>(page));
    const int commands[] = {kShowEditorCommand, kShowMenuCommand, kShowPreviewCommand, kShowBurnCommand};
    action(commands[static_cast<int>(page)])->setChecked(true);
    if (page == Page::DiscMenu) menuPage()->refresh();
}

long long MainWindow::estimateDiscSectors() const {
    EstimateOptions options;
    options.includePhotoFiles = settings_.writePhotoFiles;
    options.includeAudioFiles = settings_.writeAudioFiles;
    options.tvStandard = settings_.pal ? TvStandard::PAL : TvStandard::NTSC;
    return tellavine::estimateDiscSectors(project_, options);
}

void MainWindow::refreshStatus() {
    status_->setPaneText(kTotalsPane, QString::fromStdString(project_.statusLine()));
    gauge_->setSeconds(project_.totalPhotoCount() == 0 ? 0
                                                       : static_cast<int>(estimateDiscSectors() / kFramesPerSecond));
}

void MainWindow::updateTitle() {
    setWindowTitle(QString::fromStdString(projectWindowTitle(project_)));
}

void MainWindow::newProjectCommand() {
    // A cancelled build may still be reading the project (its window closes at once).
    if (worker_.running()) return worker_.whenIdle(this, [this] { newProjectCommand(); });
    if (!confirmDiscardingChanges(project_, [this] { return saveCommand(); })) return;
    newProject(project_);
    editorPage()->projectReplaced();
    menuPage()->refresh();
    refreshStatus();
    updateTitle();
}

void MainWindow::openCommand() {
    if (worker_.running()) return worker_.whenIdle(this, [this] { openCommand(); });
    if (!confirmDiscardingChanges(project_, [this] { return saveCommand(); })) return;
    const QString path = chooseProjectToOpen();
    if (path.isEmpty()) return;
    openProjectFile(project_, path.toStdString(), appFolders().programDir, ProjectReader::ByExtension);
    editorPage()->projectReplaced();
    menuPage()->refresh();
    refreshStatus();
    updateTitle();
}

bool MainWindow::saveCommand() {
    // A finishing build may still write caption positions: saving follows it.
    if (worker_.running()) {
        worker_.whenIdle(this, [this] { saveCommand(); });
        return false;
    }
    if (saveNeedsFileName(project_)) return saveAsCommand();
    const bool saved = saveProjectToFile(project_, project_.filePath());
    updateTitle();
    return saved;
}

bool MainWindow::saveAsCommand() {
    if (worker_.running()) {
        worker_.whenIdle(this, [this] { saveAsCommand(); });
        return false;
    }
    const QString path = chooseProjectToSave();
    if (path.isEmpty()) return false;
    const bool saved = saveProjectToFile(project_, path.toStdString());
    updateTitle();
    return saved;
}

void MainWindow::openCommandLineFile(const QString& path) {
    openProjectFile(project_, path.toStdString(), appFolders().programDir, ProjectReader::Binary);
    editorPage()->projectReplaced();
    menuPage()->refresh();
    refreshStatus();
    updateTitle();
    project_.setModified(false);
}

void MainWindow::openHelp(const char* page) {
    openLinkOrExplain(QString::fromStdString(appFolders().programDir + "help/" + page), *engine_.prompt);
}

void MainWindow::checkLatestVersion() {
    UpdateCheckSetup setup;
    setup.serverAddress = settings_.updateUrl;
    setup.cacheDir = appFolders().cacheDir;
    UpdateDialog dialog(std::move(setup), this);
    dialog.startCheck();
    dialog.exec();
}

void MainWindow::showAbout() {
    AboutBox about(this);
    about.exec();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape and Enter never close the main window.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Saving waits for a build that may still write caption positions into the project:
    // the window closes once it has ended.
    if (worker_.running()) {
        event->ignore();
        worker_.whenIdle(this, [this] { close(); });
        return;
    }
    if (!confirmDiscardingChanges(project_, [this] { return saveCommand(); })) {
        event->ignore();
        return;
    }
    if (pages_[2]) previewPage()->stopPreview();
    player_->closePlayer();
    if (!settingsSaved_) {
        settings_.window.playerX = player_->x();
        settings_.window.playerY = player_->y();
        settings_.window.maximized = isMaximized();
        if (!isMaximized()) {
            settings_.window.x = geometry().x();
            settings_.window.y = geometry().y();
            settings_.window.width = width();
            settings_.window.height = height();
        }
        saveSettings(settings_, appFolders());
        settingsSaved_ = true;
    }
    event->accept();
}

}  // namespace tellavine::ui
