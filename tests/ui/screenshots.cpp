// Takes pictures of the main window on every page and of the progress window, for
// looking at the layout by eye (run under Xvfb: xvfb-run build/default/bin/ui_screenshots
// <folder>). Not a test: it checks nothing.

#include "dialog_screenshots.h"
#include "fake_pipeline.h"
#include "platform/folders.h"
#include "project/project_commands.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "pipeline/recorder_session.h"
#include "recorder/emulated_transport.h"
#include "ui/app/artwork.h"
#include "ui/controls/pane_status_bar.h"
#include "ui/controls/shell_folder_tree.h"
#include "ui/dialogs/erase_dialog.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/pages/numbered_message.h"
#include "ui/pages/main_window.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/progress_window.h"
#include "ui/update/update_dialog.h"
#include "loopback_http_server.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    testing::TempDir dir;
    AppFolders folders;
    folders.programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
    folders.settingsDir = dir.folder();
    folders.stateDir = dir.folder();
    folders.cacheDir = dir.folder() + "Temp/";
    folders.defaultTempDir = dir.folder() + "Temp/";
    setAppFolders(folders);
    testing::writeFile(folders.settingsFile(), "[Window]\nbMaximized=0\n");
    auto prompt = std::make_shared<testing::RecordingPrompt>();
    prompt->setAnswer(PromptAnswer::Yes);

    Project project;
    for (int a = 0; a < 3; ++a) {
        const int album = project.addAlbum("Album " + std::to_string(a + 1));
        for (int i = 0; i < 12; ++i) {
            QImage photo(320, 240, QImage::Format_RGB32);
            photo.fill(QColor(30 * i % 255, 90 + a * 40, 200));
            const std::string path = dir.file("p" + std::to_string(a) + "_" + std::to_string(i) + ".jpg");
            photo.save(QString::fromStdString(path), "JPG");
            project.addSlide(album, path, "photo", 0);
        }
    }
    const std::string demo = dir.file("Family Holiday.ovp");
    saveProjectToFile(project, demo);

    // The emulated recorder, so the burn page and status bar show a device.
    const std::string disc = dir.file("emulated.bin");
    qputenv("TELLAVINE_EMULATED_RECORDER", QByteArray::fromStdString(disc + "?medium=cdrw"));

    auto state = std::make_shared<testing::FakePipelineState>();
    MainWindowServices services;
    bool slow = true;
    services.prompt = prompt;
    services.makePipeline = [state, &slow](std::shared_ptr<vcd::RecorderHooks>) {
        return testing::makeFakePipeline({slow, 4000}, state);
    };
    for (const QSize size : {QSize(1280, 800), QSize(800, 600)}) {
        MainWindow window(services, QString::fromStdString(demo));
        window.setWindowState(Qt::WindowNoState);
        window.setMinimumSize(0, 0);
        window.resize(size);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return 1;
        const QString tag = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        const Page pages[] = {Page::Editor, Page::DiscMenu, Page::Preview, Page::Burn};
        const char* names[] = {"editor", "menu", "preview", "burn"};
        for (int i = 0; i < 4; ++i) {
            window.showPage(pages[i]);
            QTest::qWait(100);
            window.grab().save(out + QStringLiteral("/main_%1_%2.png").arg(names[i], tag));
        }
        window.showPage(Page::Burn);
        QTest::qWait(50);
        window.statusPanes()->grab().save(out + QStringLiteral("/status_bar_%1.png").arg(tag));
        if (size.width() == 800) {
            OptionsDialog options({0, dir.folder() + "Temp/", 4, 0}, &window);
            options.show();
            if (!QTest::qWaitForWindowExposed(&options)) return 1;
            options.grab().save(out + QStringLiteral("/options.png"));
            options.close();
            FolderBrowser browser(&window);
            browser.tree()->selectPath(QString::fromStdString(dir.folder()));
            browser.show();
            if (!QTest::qWaitForWindowExposed(&browser)) return 1;
            QTest::qWait(50);
            browser.grab().save(out + QStringLiteral("/folder_browser.png"));
            browser.close();
            std::string error;
            auto session = RecorderSession::open(std::string(kEmulatedDevicePrefix) + dir.file("erase.bin") +
                                                     "?medium=cdrw",
                                                 0, error, prompt);
            if (!session) return 1;
            EraseDialog erase(session->driver(), prompt, &window);
            erase.show();
            if (!QTest::qWaitForWindowExposed(&erase)) return 1;
            erase.grab().save(out + QStringLiteral("/erase_quick.png"));
            erase.methodList()->setCurrentRow(1);
            erase.grab().save(out + QStringLiteral("/erase_full.png"));
            NumberedMessageEvent tick(Message{WM_ERASE_TICK, 61500, 0, {}});
            QCoreApplication::sendEvent(&erase, &tick);
            erase.grab().save(out + QStringLiteral("/erase_elapsed.png"));
            erase.close();
        }
        if (size.width() == 1280) {
            window.burnPage()->imagePathEdit()->setText(QString::fromStdString(dir.file("disc.cue")));
            window.burnPage()->burn();
            ProgressWindow* progress = window.burnPage()->progressWindow();
            if (!QTest::qWaitForWindowExposed(progress)) return 1;
            QTest::qWait(300);
            progress->grab().save(out + QStringLiteral("/progress_running.png"));
            window.grab().save(out + QStringLiteral("/main_with_progress.png"));
            progress->cancelOrClose();  // answered Yes
            QTest::qWait(200);
            slow = false;
            window.burnPage()->burn();  // starts once the cancelled build has ended
            for (int i = 0; i < 200 && !window.burnPage()->progressWindow(); ++i) QTest::qWait(50);
            progress = window.burnPage()->progressWindow();
            if (!progress || !QTest::qWaitForWindowExposed(progress)) return 1;
            for (int i = 0; i < 100 && !progress->done(); ++i) QTest::qWait(50);
            progress->grab().save(out + QStringLiteral("/progress_done.png"));
            progress->cancelOrClose();
        }
        window.project().setModified(false);
        window.close();
    }
    // The update check: a newer release on a loopback server, and no server at all.
    testing::LoopbackHttpServer server;
    server.answer("/version.ini", testing::HttpAnswer::file("[Gerneral]\nversion=302\nbuild=410\n"));
    for (const auto& [name, address] : {std::pair{"newer", server.address()}, {"failed", testing::unusedLoopbackAddress()}}) {
        UpdateCheckSetup setup;
        setup.serverAddress = address.toString().toStdString();
        setup.cacheDir = dir.folder();
        UpdateDialog dialog(std::move(setup));
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) return 1;
        QSignalSpy ended(&dialog, &UpdateDialog::checkEnded);
        dialog.startCheck();
        ended.wait(10000);
        QTest::qWait(100);
        dialog.grab().save(out + QStringLiteral("/update_%1.png").arg(QLatin1String(name)));
    }
    drawApplicationIcon(128).save(out + QStringLiteral("/tellavine.png"));
    if (!testing::shootDialogs(out, dir.folder())) return 1;
    return 0;
}
