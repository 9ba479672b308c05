// The real main window driven end to end: command-line opening, pages, status line
// and gauge, the burn page's checks, image builds, recorder builds and cancelling.

#include "cli/build_command.h"
#include "pipeline/disc_pipeline.h"
#include "fake_pipeline.h"
#include "platform/folders.h"
#include "platform/profile.h"
#include "project/project_commands.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "ui/app/qt_prompt.h"
#include "ui/controls/disc_usage_gauge.h"
#include "ui/controls/image_button.h"
#include "ui/controls/pane_status_bar.h"
#include "ui/controls/text_progress_bar.h"
#include "pipeline/disc_estimate.h"
#include "ui/pages/main_window.h"
#include "ui/pages/numbered_message.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/page_editor.h"
#include "ui/pages/progress_window.h"
#include "ui/pages/engine_recorders.h"
#include "ui/pages/recorder_access.h"
#include "ui/update/update_dialog.h"
#include "platform/numbered_messages.h"
#include "vcd/image_sink.h"
#include "when_modal.h"


#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <thread>

using namespace tellavine;
using namespace tellavine::ui;
using tellavine::testing::RecordingPrompt;

namespace {

// A recorder engine double: one emulated writer whose disc is blank and roomy.
class OneRecorder : public RecorderAccess {
public:
    std::vector<RecorderDevice> devices() const override { return {{"TELLAV", "Emulated CD-RW", 0, 1, 0}}; }
    bool selectRecorder(int index, int) override { return selected_ = index == 0; }
    bool hasDriver() const override { return selected_; }
    std::optional<DiscState> discState() override {
        ++checks;
        if (!discPresent) return std::nullopt;
        return DiscState{blank, freeSectors};
    }
    void openTray() override { ++trayOpened; }
    void closeTray() override {}
    bool runEraseDialog(QWidget*) override {
        ++erased;
        blank = true;
        return true;
    }

    bool discPresent = true;
    bool blank = true;
    long long freeSectors = 359847;
    int checks = 0;
    int trayOpened = 0;
    int erased = 0;

private:
    bool selected_ = false;
};

bool shown(const RecordingPrompt& prompt, const std::string& text) {
    const auto all = prompt.shown();
    return std::find(all.begin(), all.end(), text) != all.end();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;
    std::shared_ptr<RecordingPrompt> prompt_;
    std::shared_ptr<testing::FakePipelineState> state_;
    QString demo_;
    std::vector<std::string> photos_;

    MainWindowServices services(std::shared_ptr<RecorderAccess> recorders = nullptr, bool slow = false) {
        MainWindowServices s;
        s.recorders = recorders ? recorders : std::make_shared<NoRecorders>();
        testing::FakePipelineOptions options;
        options.slowSlides = slow;
        s.makePipeline = [options, state = state_](std::shared_ptr<vcd::RecorderHooks>) {
            return testing::makeFakePipeline(options, state);
        };
        s.prompt = prompt_;
        return s;
    }

    void clickAction(CPageBurn* page, int command) {
        ImageButton* button = page->actionButton(command);
        QVERIFY(button && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        const AppFolders folders = testing::useTestFolders(*dir_);
        testing::writeFile(folders.settingsFile(),
                           "[GENERAL]\nbWritePhotoFile=0\nbWriteAudioFile=0\nPAL=0\n"
                           "[Window]\nbMaximized=0\nx=10\ny=10\nwidth=1000\nheight=700\n");
        prompt_ = std::make_shared<RecordingPrompt>();
        state_ = std::make_shared<testing::FakePipelineState>();

        Project project;
        const int album = project.addAlbum("Summer");
        for (int i = 0; i < 3; ++i) {
            QImage photo(64 + i, 48, QImage::Format_RGB32);
            photo.fill(QColor(40 * i, 120, 200));
            const std::string path = dir_->file("photo" + std::to_string(i) + ".jpg");
            QVERIFY(photo.save(QString::fromStdString(path), "JPG"));
            photos_.push_back(path);
            project.addSlide(album, path, "photo" + std::to_string(i) + ".jpg", 0);
        }
        demo_ = QString::fromStdString(dir_->file("demo.ovp"));
        QVERIFY(saveProjectToFile(project, demo_.toStdString()));
    }

    void opensCommandLineProjectAndShowsTotals() {
        MainWindow window(services(), demo_);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [demo]"));
        QVERIFY(!window.project().modified());
        QCOMPARE(window.statusPanes()->paneText(kTotalsPane), QStringLiteral("Total : 1 Albums, 3 Photos"));
        QCOMPARE(window.statusPanes()->paneText(kDevicePane), QStringLiteral("No CD-Writer is Found"));
        const int pages = window.project().menuPageCount();
        const int sectors = 258 + 150 * pages + 3 * 150 + 610 + 150;
        QCOMPARE(window.estimateDiscSectors(), static_cast<long long>(sectors));
        QCOMPARE(window.gauge()->seconds(), sectors / 75);

        // Including the photo files adds each file in whole 2048-byte sectors.
        long long photoSectors = 0;
        for (const auto& path : photos_) photoSectors += (*fileSizeOnDisk(path) + 2047) / 2048;
        window.burnPage()->findChild<QCheckBox*>("photoFiles")->setChecked(true);
        QCOMPARE(window.estimateDiscSectors(), sectors + photoSectors);
        QCOMPARE(window.gauge()->seconds(), int((sectors + photoSectors) / 75));
        QVERIFY(window.settings().writePhotoFiles);
    }

    void newProjectCanBeBuiltOnTheClassicTemplate() {
        MainWindow window(services(), QString());
        QCOMPARE(window.project().itemsPerPage(), 4);  // without it every build would be refused
        window.project().addAlbum("One");
        QCOMPARE(window.project().menuPageCount(), 1);
    }

    void fileCommandsKeepTitleStatusAndFileInStep() {
        MainWindow window(services(), demo_);
        const QString copy = QString::fromStdString(dir_->file("copy.ovp"));
        window.chooseProjectToSave = [copy] { return copy; };
        window.project().addAlbum("Extra");
        QVERIFY(window.saveAsCommand());
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [copy]"));
        QVERIFY(!window.project().modified());

        window.newProjectCommand();  // nothing changed since the save: no question
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [New Project]"));
        QCOMPARE(window.statusPanes()->paneText(kTotalsPane), QStringLiteral("Total : 0 Albums, 0 Photos"));
        QCOMPARE(window.gauge()->seconds(), 0);

        window.chooseProjectToOpen = [copy] { return copy; };
        window.openCommand();
        QCOMPARE(window.project().albumCount(), 2);
        QCOMPARE(window.statusPanes()->paneText(kTotalsPane), QStringLiteral("Total : 2 Albums, 3 Photos"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [copy]"));

        // A new project has no file: Save asks for a name, and a cancelled name saves nothing.
        window.newProjectCommand();
        window.project().addAlbum("Draft");
        window.chooseProjectToSave = [] { return QString(); };
        QVERIFY(!window.saveCommand());
        QVERIFY(window.project().modified());
        // New on it asks to save; Yes with the name cancelled keeps the work.
        prompt_->setAnswer(PromptAnswer::Yes);
        window.newProjectCommand();
        QCOMPARE(window.project().albumCount(), 1);
        window.project().setModified(false);
    }

    void switchesPagesWithToolbarAndMenu() {
        MainWindow window(services(), demo_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.currentPage(), Page::Editor);
        QVERIFY(window.page(Page::Editor)->isVisible());
        auto* burnTool = window.findChild<QToolButton*>("tool32785");
        QVERIFY(burnTool);
        QCOMPARE(burnTool->toolTip(), QStringLiteral("View burn panel"));
        QTest::mouseClick(burnTool, Qt::LeftButton);
        QCOMPARE(window.currentPage(), Page::Burn);
        QVERIFY(burnTool->isChecked());
        QVERIFY(!window.page(Page::Editor)->isVisible());
        window.action(kShowMenuCommand)->trigger();
        QVERIFY(window.page(Page::DiscMenu)->isVisible());
        QVERIFY(!burnTool->isChecked());
        QVERIFY(window.findChild<QToolButton*>("tool32779")->isChecked());
        window.action(kShowPreviewCommand)->trigger();
        QVERIFY(window.page(Page::Preview)->isVisible());
        QCOMPARE(window.action(kShowEditorCommand)->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        QCOMPARE(window.action(kShowBurnCommand)->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
        // The Edit commands show the editor and act there; the status line follows.
        window.editorPage()->choosePictureFiles = [this] { return QStringList{QString::fromStdString(photos_[0])}; };
        window.action(kAddPicturesCommand)->trigger();
        QCOMPARE(window.currentPage(), Page::Editor);
        QCOMPARE(window.statusPanes()->paneText(kTotalsPane), QStringLiteral("Total : 1 Albums, 4 Photos"));
        QVERIFY(window.project().modified());
        window.action(kShowPreviewCommand)->trigger();

        // Pages and status bar keep their gaps from the window's edges.
        QWidget* area = window.centralWidget();
        const QRect page = window.page(Page::Preview)->geometry();
        QCOMPARE(page.topLeft(), QPoint(5, 5));
        QCOMPARE(area->width() - page.right() - 1, 5);
        QCOMPARE(area->height() - page.bottom() - 1, 35);
        const QRect status = window.statusPanes()->geometry();
        QCOMPARE(status.height(), 25);
        QCOMPARE(area->height() - status.bottom() - 1, 5);
    }

    void burnsAnImageFileAndCloses() {
        MainWindow window(services(), demo_);
        window.showPage(Page::Burn);
        CPageBurn* page = window.burnPage();
        QVERIFY(page->imageOutput());  // no writer: the image is preselected
        QVERIFY(!page->findChild<QRadioButton*>("recorderOutput")->isEnabled());
        const std::string cue = dir_->file("out/Disc.cue");
        std::filesystem::create_directories(dir_->path() / "out");
        page->imagePathEdit()->setText(QString::fromStdString(cue));
        const auto before = prompt_->shown().size();
        clickAction(page, kBurnCommand);
        ProgressWindow* progress = page->progressWindow();
        QVERIFY(progress);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Writing Disc Image"));
        QTRY_COMPARE_WITH_TIMEOUT(progress->statusText(),
                                  QStringLiteral("Disc image file was successfully written to:\n\n%1")
                                      .arg(QString::fromStdString(cue)),
                                  10000);
        QCOMPARE(progress->buttonText(), QStringLiteral("&Close"));
        QVERIFY(!progress->bar()->isVisible());
        QVERIFY(std::filesystem::exists(dir_->file("out/Disc.bin")));
        QCOMPARE(std::filesystem::file_size(dir_->file("out/Disc.bin")), std::uintmax_t(40 * 2352));
        QVERIFY(state_->lastWasImage);
        progress->findChild<QPushButton*>("cancel")->click();
        QTRY_VERIFY(!page->progressWindow());
        QCOMPARE(prompt_->shown().size(), before);  // closing a finished build asks nothing

        // The same path again: the overwrite question; No starts nothing.
        const int builds = state_->builds;
        prompt_->setAnswer(PromptAnswer::No);
        clickAction(page, kBurnCommand);
        QVERIFY(shown(*prompt_, "Disc image file has already existed, do you want to overwrite and continue?"));
        QVERIFY(!page->progressWindow());
        QCOMPARE(state_->builds.load(), builds);
    }

    void burnPageAndCommandLineAskForTheSameBuild() {
        // A template without album items: both build with the classic one and say so.
        testing::writeFile(dir_->file("bare.ini"), "[General]\nNAME=Bare\nItems_count=0\n");
        Project project;
        for (const char* name : {"Spring", "Autumn"}) project.addSlide(project.addAlbum(name), photos_[0], "p.jpg", 0);
        MenuSettings menu = project.menu();
        menu.templatePath = dir_->file("bare.ini");
        project.setMenu(menu);
        const std::string path = dir_->file("bare.ovp");
        QVERIFY(saveProjectToFile(project, path));
        const std::string cue = dir_->file("same.cue");

        MainWindow window(services(), QString::fromStdString(path));
        CPageBurn* page = window.burnPage();
        page->imagePathEdit()->setText(QString::fromStdString(cue));
        prompt_->setAnswer(PromptAnswer::Yes);
        clickAction(page, kBurnCommand);
        QVERIFY(page->progressWindow());
        QTRY_VERIFY_WITH_TIMEOUT(page->progressWindow()->done(), 10000);
        QVERIFY(shown(*prompt_, "The menu template \"bare.ini\" has no album items and cannot be used; the classic "
                                "template is used instead."));
        page->progressWindow()->cancelOrClose();
        BuildInputs desktop;
        int desktopItems = 0;
        {
            std::lock_guard lock(state_->mutex);
            desktop = state_->lastInputs;
            desktopItems = state_->lastItemsPerPage;
        }

        cli::BuildCommand command;
        command.projectPath = path;
        command.cuePath = cue;
        cli::PreparedBuild line;
        QCOMPARE(cli::prepareBuild(command, OutputTarget::ImageFile, line), std::string());
        const BuildInputs& tool = line.request.inputs;
        QCOMPARE(desktopItems, 4);
        QCOMPARE(line.job->itemsPerPage, desktopItems);
        QCOMPARE(line.job->albumCount, 2);
        QCOMPARE(tool.options.tvStandard, desktop.options.tvStandard);
        QCOMPARE(tool.options.aspectCorrection, desktop.options.aspectCorrection);
        QCOMPARE(tool.options.tvCropping, desktop.options.tvCropping);
        QCOMPARE(tool.options.volumeLabel, desktop.options.volumeLabel);
        QCOMPARE(tool.options.includePhotoFiles, desktop.options.includePhotoFiles);
        QCOMPARE(tool.options.includeAudioFiles, desktop.options.includeAudioFiles);
        QCOMPARE(tool.options.outputTarget, desktop.options.outputTarget);
        QCOMPARE(tool.options.imagePath, desktop.options.imagePath);
        QCOMPARE(tool.options.speedIndex, desktop.options.speedIndex);
        QCOMPARE(tool.options.burnProof, desktop.options.burnProof);
        QCOMPARE(tool.programDir, desktop.programDir);
        // The build works in a private folder inside the configured one.
        QVERIFY(desktop.tempDir.rfind(tool.tempDir + "tellavine-", 0) == 0);
        prompt_->setAnswer(PromptAnswer::No);
    }

    void refusesBadImagePaths() {
        MainWindow window(services(), demo_);
        CPageBurn* page = window.burnPage();
        int asked = 0;
        page->chooseImagePath = [&asked] {
            ++asked;
            return QString();
        };
        clickAction(page, kBurnCommand);  // empty path: the save dialog, cancelled
        QCOMPARE(asked, 1);
        QVERIFY(!page->progressWindow());
        page->imagePathEdit()->setText(QString::fromStdString(dir_->file("disc.bin")));
        clickAction(page, kBurnCommand);
        QVERIFY(shown(*prompt_, "The image file name is invalid, it must have a .cue extension."));
        QVERIFY(!page->progressWindow());
        page->imagePathEdit()->clear();
        page->chooseImagePath = [this] { return QString::fromStdString(dir_->file("chosen.CUE")); };
        clickAction(page, kBurnCommand);
        QVERIFY(page->progressWindow());
        QCOMPARE(page->imagePathEdit()->text(), QString::fromStdString(dir_->file("chosen.CUE")));
        QTRY_VERIFY_WITH_TIMEOUT(page->progressWindow()->done(), 10000);
        QVERIFY(std::filesystem::exists(dir_->file("chosen.bin")));
        page->progressWindow()->cancelOrClose();
    }

    void refusesAProjectWithoutPhotosBeforeAnything() {
        auto recorder = std::make_shared<OneRecorder>();
        MainWindow window(services(recorder), QString());
        CPageBurn* page = window.burnPage();
        const std::string cue = dir_->file("nothing.cue");
        const std::string noAlbum = "The project has no album. Please add an album with photos before making the disc.";
        const std::string noPhoto =
            "No album of the project has a photo. Please add photos to an album before making the disc.";
        prompt_->setAnswer(PromptAnswer::Yes);
        for (const bool withAlbum : {false, true}) {
            if (withAlbum) window.project().addAlbum("Empty");
            const std::string& expected = withAlbum ? noPhoto : noAlbum;
            for (const bool image : {true, false}) {
                page->setImageOutput(image);
                page->imagePathEdit()->setText(QString::fromStdString(cue));
                const auto before = prompt_->shown().size();
                clickAction(page, kBurnCommand);
                clickAction(page, kSimulateCommand);
                const auto all = prompt_->shown();
                QCOMPARE(std::vector<std::string>(all.begin() + long(before), all.end()),
                         (std::vector<std::string>{expected, expected}));  // nothing asked first
                QVERIFY(!page->progressWindow());
            }
        }
        QCOMPARE(recorder->checks, 0);  // the disc was not even looked at
        QVERIFY(!std::filesystem::exists(cue));
        window.project().setModified(false);
        prompt_->setAnswer(PromptAnswer::No);
    }

    void saveDialogAddsTheCueExtension() {
        MainWindow window(services(), demo_);
        CPageBurn* page = window.burnPage();
        page->setImageOutput(true);
        const QString folder = QString::fromStdString(dir_->folder());
        testing::whenModal<QFileDialog>([folder](QFileDialog* dialog) {
            dialog->setDirectory(folder);
            // Typed as a user types it: selectFile() leaves Qt's own save dialog's name
            // field empty when the name does not exist yet.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) return dialog->reject();  // the comparison below then says what went wrong
            name->setText(QStringLiteral("demo1"));
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own is protected
        });
        page->findChild<QPushButton*>(QStringLiteral("browseImage"))->click();
        QCOMPARE(page->imagePathEdit()->text(), QDir(folder).filePath(QStringLiteral("demo1.cue")));
        QCOMPARE(withCueExtension(QStringLiteral("/a/disc.v1")), QStringLiteral("/a/disc.v1"));  // has one
    }

    void cancelQuestionGivesWayToTheBuildsEnd() {
        // The build ends while the question is open: the box closes, nothing is cancelled
        // and the window shows how the build ended.
        auto job = std::make_shared<BuildJob>();
        job->cuePath = dir_->file("ended.cue");
        ProgressWindow window(job, false, true);
        window.setPrompt(std::make_shared<QtPrompt>());
        window.setWindowModality(Qt::ApplicationModal);  // as the burn page opens it
        window.show();
        bool boxOutlivedTheBuild = false;
        QTimer::singleShot(100, [job] { job->window.post(WM_IMAGE_DONE); });
        QTimer::singleShot(5000, [&boxOutlivedTheBuild] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxOutlivedTheBuild = true;
                box->done(QMessageBox::Yes);
            }
        });
        window.cancelOrClose();
        QVERIFY(!boxOutlivedTheBuild);
        QVERIFY(window.isVisible());
        QVERIFY(!job->cancelEvent->isSet());
        QCOMPARE(window.statusText(),
                 QStringLiteral("Disc image file was successfully written to:\n\n%1").arg(QString::fromStdString(job->cuePath)));
        QCOMPARE(window.buttonText(), QStringLiteral("&Close"));
    }

    void cancelsARunningBuildAfterAsking() {
        MainWindow window(services(nullptr, true), demo_);
        CPageBurn* page = window.burnPage();
        page->imagePathEdit()->setText(QString::fromStdString(dir_->file("cancelled.cue")));
        clickAction(page, kBurnCommand);
        QPointer<ProgressWindow> progress = page->progressWindow();
        QVERIFY(progress);
        QTRY_COMPARE_WITH_TIMEOUT(progress->statusText(), QStringLiteral("Encoding album photos..."), 10000);
        QCOMPARE(*progress->bar()->shownText(), QStringLiteral("100.0%"));

        prompt_->setAnswer(PromptAnswer::No);
        progress->findChild<QPushButton*>("cancel")->click();
        QVERIFY(shown(*prompt_, "Do you want to cancel the process?"));
        QVERIFY(progress && progress->isVisible());
        QVERIFY(!state_->sawCancel);

        prompt_->setAnswer(PromptAnswer::Yes);
        progress->findChild<QPushButton*>("cancel")->click();
        QTRY_VERIFY(!progress);  // closed at once
        // File > New at once: the build still finishing its photo must see the project it had.
        const int photos = window.project().totalPhotoCount();
        window.newProjectCommand();
        // New waits for the thread without holding the UI: nothing changed yet, and the
        // new project comes once the build has ended.
        QCOMPARE(window.project().totalPhotoCount(), photos);
        QTRY_COMPARE_WITH_TIMEOUT(window.project().totalPhotoCount(), 0, 10000);
        QVERIFY(state_->sawCancel.load());
        QCOMPARE(state_->photosSeenAfterCancel.load(), photos);
        QVERIFY(!std::filesystem::exists(dir_->file("cancelled.bin")));
    }

    void burnsToARecorder() {
        auto recorder = std::make_shared<OneRecorder>();
        MainWindow window(services(recorder), demo_);
        QCOMPARE(window.statusPanes()->paneText(kDevicePane), QStringLiteral("Device: TELLAV  Emulated CD-RW"));
        CPageBurn* page = window.burnPage();
        page->setImageOutput(false);
        QVERIFY(!page->imagePathEdit()->isEnabled());
        QVERIFY(page->actionButton(kEjectCommand)->isEnabled());

        recorder->discPresent = false;
        clickAction(page, kBurnCommand);
        QVERIFY(shown(*prompt_, "CD-R/RW disc is not ready. Please insert a blank CD-R/RW disc."));
        QCOMPARE(recorder->trayOpened, 1);
        QVERIFY(!page->progressWindow());

        recorder->discPresent = true;
        recorder->blank = false;
        prompt_->setAnswer(PromptAnswer::Yes);
        recorder->freeSectors = 100;  // too small: Yes quits
        clickAction(page, kBurnCommand);
        QCOMPARE(recorder->erased, 1);
        QVERIFY(shown(*prompt_, "The CD-R/RW disc space seems not enough for the project. Please modify your "
                                "project before burning.\nDo you want to quit burning now?"));
        QVERIFY(!page->progressWindow());

        recorder->freeSectors = 359847;
        clickAction(page, kBurnCommand);
        ProgressWindow* progress = page->progressWindow();
        QVERIFY(progress);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Writing CD"));
        QTRY_VERIFY_WITH_TIMEOUT(progress->done(), 10000);
        QCOMPARE(progress->statusText(), QStringLiteral("Congratulations! Your photo album CD has been made. You may "
                                                        "play it on TV with DVD/VCD player."));
        QCOMPARE(progress->buttonText(), QStringLiteral("&Close"));
        QVERIFY(!state_->lastWasImage);
        progress->cancelOrClose();
        QTRY_VERIFY(!page->progressWindow());

        // Simulate after an image build still goes to the recorder.
        page->setImageOutput(true);
        page->imagePathEdit()->setText(QString::fromStdString(dir_->file("sim.cue")));
        clickAction(page, kSimulateCommand);
        progress = page->progressWindow();
        QVERIFY(progress);
        QTRY_VERIFY_WITH_TIMEOUT(progress->done(), 10000);
        QVERIFY(progress->statusText().startsWith(QStringLiteral("The simulation is successfully finished")));
        QVERIFY(!state_->lastWasImage);
        QVERIFY(!std::filesystem::exists(dir_->file("sim.bin")));
        progress->cancelOrClose();
    }

    void realPipelineWritesAnImage() {
        for (const char* data : {"avseq01.ntsc", "temp_x.ntsc"}) {
            QVERIFY2(std::filesystem::exists(appFolders().programDir + data), data);
        }
        MainWindowServices real = services();
        real.makePipeline = [](std::shared_ptr<vcd::RecorderHooks> recorder) {
            return makeDiscPipeline(std::move(recorder));
        };
        MainWindow window(real, demo_);
        CPageBurn* page = window.burnPage();
        const std::string cue = dir_->file("real.cue");
        page->imagePathEdit()->setText(QString::fromStdString(cue));
        clickAction(page, kBurnCommand);
        QTRY_VERIFY_WITH_TIMEOUT(page->progressWindow()->done(), 110000);
        QCOMPARE(page->progressWindow()->statusText(),
                 QStringLiteral("Disc image file was successfully written to:\n\n%1").arg(QString::fromStdString(cue)));
        QVERIFY(std::filesystem::file_size(dir_->file("real.bin")) > 0);
        page->progressWindow()->cancelOrClose();
    }

    void realPipelineBurnsToTheEmulatedRecorder() {
        // The real recorder engine with the emulated drive: the disc gets the image's bytes.
        const std::string burned = dir_->file("burned.bin");
        qputenv("TELLAVINE_EMULATED_RECORDER", QByteArray::fromStdString(burned));
        MainWindowServices real = services(std::make_shared<EngineRecorders>(prompt_));
        real.makePipeline = [](std::shared_ptr<vcd::RecorderHooks> recorder) {
            return makeDiscPipeline(std::move(recorder));
        };
        qunsetenv("TELLAVINE_EMULATED_RECORDER");
        MainWindow window(real, demo_);
        QVERIFY(window.statusPanes()->paneText(kDevicePane).startsWith(QStringLiteral("Device: TELLAVIN")));
        CPageBurn* page = window.burnPage();
        page->setImageOutput(false);
        clickAction(page, kBurnCommand);
        ProgressWindow* progress = page->progressWindow();
        QVERIFY(progress);
        QTRY_VERIFY_WITH_TIMEOUT(progress->done(), 110000);
        QCOMPARE(progress->statusText(), QStringLiteral("Congratulations! Your photo album CD has been made. You may "
                                                        "play it on TV with DVD/VCD player."));
        progress->cancelOrClose();
        QTRY_VERIFY(!page->progressWindow());
        QCOMPARE(testing::readBytes(burned), testing::readBytes(dir_->file("real.bin")));
    }

    void oldProjectOnCommandLineIsRefused() {
        const std::string orx = dir_->file("old.orx");
        testing::writeFile(orx, "[Orvessa Project]\nAlbums=0\n");
        const auto before = prompt_->shown().size();
        MainWindow window(services(), QString::fromStdString(orx));
        QVERIFY(prompt_->shown().size() > before);
        QCOMPARE(prompt_->shown().back(), std::string("Invalid Tellavine project file."));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [old]"));
        QVERIFY(!window.project().modified());
    }

    void workerQuestionsAreAskedOnTheUiThread() {
        QtPrompt qtPrompt;
        PromptAnswer answer = PromptAnswer::Ok;
        // The box runs its own event loop; a timer inside that loop answers it.
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer answerer;
        answerer.setInterval(20);
        connect(&answerer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            answerer.stop();
            box->button(QMessageBox::Yes)->click();
        });
        answerer.start();
        std::thread worker([&answer, &qtPrompt] { answer = qtPrompt.showText("Go on?", PromptButtons::YesNo); });
        QTRY_VERIFY_WITH_TIMEOUT(!answerer.isActive(), 5000);
        worker.join();
        QCOMPARE(answer, PromptAnswer::Yes);
        QCOMPARE(title, QStringLiteral("Tellavine"));
        QCOMPARE(text, QStringLiteral("Go on?"));
        QCOMPARE(icon, QMessageBox::Question);
    }

    void progressWindowShowsEachMessage() {
        auto job = std::make_shared<BuildJob>();
        ProgressWindow window(job, false, false);
        QCOMPARE(window.windowTitle(), QStringLiteral("Writing CD"));
        QCOMPARE(window.statusText(), QStringLiteral("Writing data..."));
        auto deliver = [&](NumberedMessage message, MessageParam w = 0, MessageParam l = 0, std::string text = {}) {
            job->window.post(Message{message, w, l, std::move(text)});
            QCoreApplication::sendPostedEvents(&window);
        };
        deliver(WM_MENU_ENCODE_BEGIN);
        QCOMPARE(window.statusText(), QStringLiteral("Encoding disc menu...."));
        QCOMPARE(*window.bar()->shownText(), QStringLiteral("Please Wait..."));
        deliver(WM_SLIDE_PROGRESS, 4, 10);
        QCOMPARE(*window.bar()->shownText(), QStringLiteral("50.0%"));
        QCOMPARE(window.bar()->position(), 50);
        deliver(WM_SLIDE_PROGRESS, 0, 3);
        QCOMPARE(*window.bar()->shownText(), QStringLiteral("33.3%"));
        deliver(WM_BURN_PROGRESS, 499, 1000);
        QCOMPARE(window.statusText(), QStringLiteral("Writing CD..."));
        QCOMPARE(*window.bar()->shownText(), QStringLiteral("50.0%"));
        deliver(WM_RECORDER_WAIT);
        QCOMPARE(*window.bar()->shownText(), QStringLiteral("Please waiting..."));
        deliver(WM_BURN_ERROR, 0, 0, "Medium error");
        QCOMPARE(window.statusText(), QStringLiteral("The burning process failed. Error message :\nMedium error"));
        QVERIFY(window.done());
        QVERIFY(!window.bar()->isVisibleTo(&window));
        QCOMPARE(window.buttonText(), QStringLiteral("Cancel"));  // the label stays, yet it closes
        const auto asked = prompt_->shown().size();
        window.cancelOrClose();
        QCOMPARE(prompt_->shown().size(), asked);
    }

    void messagesAfterTheWindowWentAreDropped() {
        auto job = std::make_shared<BuildJob>();
        job->cuePath = "/tmp/x.cue";
        auto* window = new ProgressWindow(job, false, true);
        job->window.post(WM_MENU_ENCODE_BEGIN);
        job->window.post(WM_IMAGE_DONE);
        QCoreApplication::sendPostedEvents(window);
        QVERIFY(window->done());
        QCOMPARE(window->statusText(), QStringLiteral("Disc image file was successfully written to:\n\n/tmp/x.cue"));
        // A sent message is delivered at once on the window's own thread.
        job->window.send(WM_MENU_ENCODE_END);
        QCOMPARE(window->statusText(), QStringLiteral("Encoding disc menu end."));
        delete window;
        QVERIFY(!job->window.attached());
        job->window.post(WM_BUILD_FAILED);  // dropped, nothing to deliver to
        QCoreApplication::sendPostedEvents();

        // A receiver released while its events are queued delivers nothing more.
        QObject sink;
        auto receiver = std::make_shared<QtMessageReceiver>(&sink);
        receiver->release();
        receiver->postMessage({WM_BUILD_FAILED, 0, 0, {}});
        QCOMPARE(receiver->sendMessage({WM_BUILD_FAILED, 0, 0, {}}), MessageParam(0));
    }

    void checkLatestVersionNeedsAnUpdateServer() {
        {
            MainWindow window(services(), QString());
            QAction* check = window.action(kCheckVersionCommand);
            QVERIFY(!check->isEnabled());
            QVERIFY2(check->toolTip().contains(QStringLiteral("[Update]")), qPrintable(check->toolTip()));
        }
        // With a server set, the command opens the dialog, which asks that server (here
        // a loopback port where nothing listens).
        const std::string settingsFile = appFolders().settingsFile();
        const std::string kept = testing::readFile(settingsFile);
        QVERIFY(writeProfileString(settingsFile, "Update", "Url", "http://127.0.0.1:9/"));
        MainWindow window(services(), QString());
        testing::writeFile(settingsFile, kept);
        QAction* check = window.action(kCheckVersionCommand);
        QVERIFY(check->isEnabled());
        QString news;
        QTimer poll;
        int polls = 0;
        connect(&poll, &QTimer::timeout, &window, [&] {
            auto* dialog = window.findChild<UpdateDialog*>();
            if (!dialog || (dialog->news() == QString::fromStdString(checkingText()) && ++polls < 400)) return;
            news = dialog->news();
            dialog->accept();
        });
        poll.start(25);
        check->trigger();
        poll.stop();
        QVERIFY2(news.startsWith(QStringLiteral("Error while getting version information from http://127.0.0.1:9/")),
                 qPrintable(news));
        QVERIFY(!window.findChild<UpdateDialog*>());
    }

    void closingAsksToSaveAndWritesSettings() {
        {
            MainWindow window(services(), demo_);
            window.project().addAlbum("Winter");
            QVERIFY(window.project().modified());
            QCOMPARE(window.statusPanes()->paneText(kTotalsPane), QStringLiteral("Total : 2 Albums, 3 Photos"));
            window.burnPage()->findChild<QLineEdit*>("volumeLabel")->setText("x");
            QTest::keyClicks(window.burnPage()->findChild<QLineEdit*>("volumeLabel"), "Trip");
            QCOMPARE(window.settings().discName, std::string("xTrip"));
            prompt_->setAnswer(PromptAnswer::No);
            QVERIFY(window.close());
            QVERIFY(shown(*prompt_, "Current project file has been modified.\nDo you want to save it?"));
        }
        const std::string written = testing::readFile(appFolders().settingsFile());
        QVERIFY(written.find("DISC_NAME=xTrip") != std::string::npos);
        QVERIFY(written.find("bWritePhotoFile=0") != std::string::npos);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
