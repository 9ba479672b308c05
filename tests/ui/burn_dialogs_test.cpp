// The Options dialog with its folder browser, and the erase dialog against the emulated
// recorder: what they store and what they tell the user.

#include "pipeline/recorder_session.h"
#include "platform/folders.h"
#include "recorder/disc_utilities.h"
#include "recorder/emulated_transport.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "ui/controls/shell_folder_tree.h"
#include "ui/dialogs/erase_dialog.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/pages/main_window.h"
#include "ui/pages/recorder_access.h"
#include "when_modal.h"

#include <QAction>
#include <QLineEdit>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <atomic>

using namespace tellavine;
using namespace tellavine::ui;
using tellavine::testing::RecordingPrompt;
using tellavine::testing::whenModal;

namespace {

// A disc the emulated recorder made: a rewritable or write-once disc, written, with the
// tray open or closed.
std::string emulatedDisc(const testing::TempDir& dir, const char* medium, bool trayOpen) {
    const std::string path = dir.file(std::string(medium) + (trayOpen ? "-open" : "") + ".bin");
    testing::writeFile(path, std::string(40 * 2352, '\1'));
    testing::writeFile(path + ".state", std::string("[disc]\nmedium=") + medium +
                                            "\nstatus=complete\nsectors=40\ntray=" + (trayOpen ? "open" : "closed") +
                                            "\n");
    return path;
}

// One writer; remembers the writing mode its driver was last made for.
class ModeRecorder : public NoRecorders {
public:
    std::vector<RecorderDevice> devices() const override { return {{"TELLAV", "Emulated CD-RW", 0, 1, 0}}; }
    bool selectRecorder(int, int driverMode) override {
        modes.push_back(driverMode);
        return true;
    }
    std::vector<int> modes;
};

}  // namespace

class BurnDialogsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;
    std::shared_ptr<RecordingPrompt> prompt_;

    MainWindowServices services() {
        MainWindowServices s;
        s.recorders = std::make_shared<NoRecorders>();
        s.prompt = prompt_;
        return s;
    }

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        const AppFolders folders = testing::useTestFolders(*dir_);
        testing::writeFile(folders.settingsFile(), "[GENERAL]\nWaitTime=7\n[Window]\nbMaximized=0\n");
        prompt_ = std::make_shared<RecordingPrompt>();
    }

    void temporaryFolderAtTheRootKeepsOneSeparator() {
        MainWindow window(services());
        QString browserStatus;
        whenModal<OptionsDialog>([&browserStatus](OptionsDialog* options) {
            whenModal<FolderBrowser>([&browserStatus](FolderBrowser* browser) {
                QVERIFY(browser->tree()->selectPath(QStringLiteral("/")));
                browserStatus = browser->statusText();
                browser->accept();
            });
            options->findChild<QPushButton*>(QStringLiteral("browse"))->click();
            QCOMPARE(options->folderEdit()->text(), QStringLiteral("/"));
            options->accept();
        });
        window.action(kOptionsCommand)->trigger();
        QCOMPARE(browserStatus, QStringLiteral("/"));
        QCOMPARE(window.settings().tempDir, std::string("/"));
        // The picker's status line keeps the first 35 characters of a long path.
        const QString deep = QStringLiteral("/home/someone/Pictures/2026/Summer/Beach/Raw");
        QCOMPARE(folderStatusText(deep), deep.left(35) + QStringLiteral("..."));
    }

    void defaultPlayTimeGoesToTheNextNewAlbumAndANewModeMakesANewDriver() {
        auto recorder = std::make_shared<ModeRecorder>();
        MainWindowServices withRecorder = services();
        withRecorder.recorders = recorder;
        MainWindow window(withRecorder);
        QCOMPARE(recorder->modes, std::vector<int>{0});
        Project& project = window.project();
        const int first = project.addAlbum("Started");  // the settings' WaitTime=7
        QCOMPARE(project.album(first).playTime, 7);
        whenModal<OptionsDialog>([](OptionsDialog* options) {
            QCOMPARE(options->waitTimeBox()->value(), 7);
            options->waitTimeBox()->setValue(12);
            options->writingModeList()->setCurrentIndex(2);
            options->accept();
        });
        window.action(kOptionsCommand)->trigger();
        QCOMPARE(window.settings().waitTime, 12);
        QCOMPARE(window.settings().driver, 2);
        QCOMPARE(recorder->modes, (std::vector<int>{0, 2}));
        QCOMPARE(project.album(first).playTime, 12);  // still at the old default: it follows
        QCOMPARE(project.album(project.addAlbum("Next")).playTime, 12);
    }

    void eraseDialogAgainstTheEmulatedRecorder_data() {
        QTest::addColumn<QString>("medium");
        QTest::addColumn<bool>("trayOpen");
        QTest::addColumn<QString>("message");  // empty: the disc is erased
        QTest::newRow("CD-RW") << "cdrw" << false << QString();
        QTest::newRow("CD-R") << "cdr" << false << QString::fromUtf8(disc_text::kNotRewritable);
        QTest::newRow("empty tray") << "cdrw" << true << QString::fromUtf8(disc_text::kNoDiscToErase);
    }

    void eraseDialogAgainstTheEmulatedRecorder() {
        QFETCH(QString, medium);
        QFETCH(bool, trayOpen);
        QFETCH(QString, message);
        const std::string disc = emulatedDisc(*dir_, medium.toUtf8().constData(), trayOpen);
        std::string error;
        auto session = RecorderSession::open(kEmulatedDevicePrefix + disc, 0, error, prompt_);
        QVERIFY2(session, error.c_str());
        session->driver().setSleeper([](std::chrono::milliseconds) {});
        auto prompt = std::make_shared<RecordingPrompt>();
        EraseDialog dialog(session->driver(), prompt);
        std::atomic<int> clockCalls{0};
        dialog.clock = [&clockCalls] { return clockCalls++ == 0 ? std::int64_t{0} : std::int64_t{61500}; };
        dialog.show();
        QCOMPARE(dialog.statusText(), QString::fromUtf8(disc_text::kQuickEraseDescription));
        QTest::mouseClick(dialog.eraseButton(), Qt::LeftButton);
        if (message.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 10000);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.statusText(),
                     QStringLiteral("Erasing ReWritable, Please wait...\nElapsed time: 01:01 min"));
            bool blank = false;
            std::int64_t freeSectors = 0;
            QVERIFY(session->driver().readDiscStatus(blank, freeSectors));
            QVERIFY(blank);
            QVERIFY(prompt->shown().empty());
        } else {
            QCOMPARE(prompt->shown(), std::vector<std::string>{message.toStdString()});
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.eraseButton()->isEnabled() && dialog.methodList()->isEnabled());
            QVERIFY(!dialog.erasing());
        }
    }
};

QTEST_MAIN(BurnDialogsTest)
#include "burn_dialogs_test.moc"
