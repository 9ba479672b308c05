// Takes pictures of the main window on every page and of the progress window, for
// looking at the layout by eye (run under Xvfb: xvfb-run build/default/bin/ui_screenshots
// <folder>). Not a test: it checks nothing.

#include "dialog_screenshots.h"
#include "fake_pipeline.h"
#include "platform/folders.h"
#include "project/project_commands.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "pipeline/recorder_session.h"
#include "recorder/emulated_transport.h"
#include "ui/app/artwork.h"
#include "ui/controls/pane_status_bar.h"
#include "ui/controls/shell_folder_tree.h"
#include "ui/dialogs/erase_dialog.h"
#include "ui/dialogs/folder_browser.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/pages/numbered_message.h"
#include "ui/app/catalog_translator.h"
#include "ui/pages/main_window.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/editor_photo_list.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/page_menu.h"
#include "ui/pages/template_list.h"
#include "ui/pages/page_preview.h"
#include "ui/pages/remote_control.h"
#include "ui/controls/image_button.h"
#include "ui/player/mini_player.h"
#include "ui/pages/page_editor.h"
#include "ui/pages/thumbnail_loader.h"
#include "ui/pages/progress_window.h"
#include "ui/update/update_dialog.h"
#include "loopback_http_server.h"

#include <QApplication>
#include <QDir>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

// A photo with something in it: sky, sun and hills in the hue of `seed`.
std::string writeScenery(const testing::TempDir& dir, int seed, QSize size) {
    QImage photo(size, QImage::Format_RGB32);
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 120, 250));
    sky.setColorAt(1, QColor::fromHsv((seed * 47 + 30) % 360, 60, 255));
    p.fillRect(photo.rect(), sky);
    p.setBrush(QColor(255, 220, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(size.width() * 0.72, size.height() * 0.28), size.height() * 0.1, size.height() * 0.1);
    p.setBrush(QColor::fromHsv((seed * 47 + 120) % 360, 150, 150));
    p.drawEllipse(QRectF(-size.width() * 0.2, size.height() * 0.6, size.width() * 0.9, size.height() * 0.8));
    p.setBrush(QColor::fromHsv((seed * 47 + 100) % 360, 170, 110));
    p.drawEllipse(QRectF(size.width() * 0.3, size.height() * 0.65, size.width(), size.height() * 0.7));
    p.end();
    const std::string path = dir.file("scene" + std::to_string(seed) + ".jpg");
    photo.save(QString::fromStdString(path), "JPG");
    return path;
}

// The disc menu page with every shipped template, and the second page of the first.
void takeMenuScreenshots(MainWindow& window, const testing::TempDir& dir, const QString& out) {
    Project& project = window.project();
    const char* names[] = {"Birthday Party", "Grandma's Garden", "Ski Trip", "Beach Days",
                           "A title far too long for the box under its photo", "Autumn"};
    for (int i = 0; i < 6; ++i) {
        const int album = project.addAlbum(names[i]);
        const QSize size = i % 3 == 2 ? QSize(300, 400) : QSize(400, 300);
        project.addSlide(album, writeScenery(dir, i, size), "scene.jpg", 0);
    }
    window.showPage(Page::DiscMenu);
    CPageMenu* page = window.menuPage();
    TemplateList* list = page->templateList();
    for (int row = 0; row < list->count(); ++row) {
        list->setCurrentRow(row);
        QTest::qWait(100);
        const QString file = list->fileName(row).section(QLatin1Char('.'), 0, 0);
        window.grab().save(out + QStringLiteral("/menu_%1.png").arg(file));
    }
    list->setCurrentRow(list->rowOf(QStringLiteral("classic.ini")));
    page->nextMenu();
    QTest::qWait(100);
    window.grab().save(out + QStringLiteral("/menu_classic_page2.png"));

    // A picture of the user's own behind the page, and menu music.
    const std::string background = writeScenery(dir, 7, QSize(640, 360));
    page->chooseBackgroundFile = [&] { return QString::fromStdString(background); };
    page->command(kSelectMenuBackgroundCommand)->trigger();
    MenuSettings menu = project.menu();
    menu.musicPath = dir.file("Evening Waltz.mp3");
    project.setMenu(menu);
    page->refresh();
    QTest::qWait(100);
    window.grab().save(out + QStringLiteral("/menu_own_background.png"));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    testing::TempDir dir;
    const AppFolders folders = testing::useTestFolders(dir);
    testing::writeFile(folders.settingsFile(), "[Window]\nbMaximized=0\n");
    // `ui_screenshots OUTDIR --language de` takes the pictures in German.
    QStringList arguments = QApplication::arguments();
    QString problem;
    if (!installLanguage(arguments, problem)) return 2;
    const QString out = arguments.size() > 1 ? arguments.at(1) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    auto prompt = std::make_shared<testing::RecordingPrompt>();
    prompt->setAnswer(PromptAnswer::Yes);

    // Albums of the bundled sample photos, so the editor shows real pictures.
    const QString samples = QStringLiteral(TELLAVINE_SAMPLE_PHOTOS);
    const QStringList sampleFiles = QDir(samples).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    Project project;
    const char* albumNames[] = {"Garden Walk", "Flowers", "Sea and Sand"};
    for (int a = 0; a < 3; ++a) {
        const int album = project.addAlbum(albumNames[a]);
        for (int i = 0; i < 8 - 2 * a && !sampleFiles.isEmpty(); ++i) {
            const QString name = sampleFiles[(i + 3 * a) % sampleFiles.size()];
            project.addSlide(album, QDir(samples).filePath(name).toStdString(), name.toStdString(), 0);
        }
    }
    project.album(0).slides[1]->rotation = 90;
    project.album(0).slides[1]->rotated = true;
    project.album(1).musicPath = "/music/spring.mp3";  // the note in its row
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
        window.editorPage()->browseFolder(samples);
        window.editorPage()->photoList()->selectRows({2});
        for (int i = 0; i < 200 && (window.editorPage()->fileBrowser()->busy() ||
                                    !window.editorPage()->photoLoader()->idle());
             ++i) {
            QTest::qWait(50);
        }
        QTest::qWait(100);
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
            // The preview: the first menu page, then album 1's first photo with its caption.
            window.showPage(Page::Preview);
            CPagePreview* preview = window.previewPage();
            QTest::mouseClick(preview->remote()->button(kRemoteStart), Qt::LeftButton);
            QTest::qWait(100);
            window.grab().save(out + QStringLiteral("/preview_menu.png"));
            SlideCaption caption;
            caption.text = "Grandma's garden, June";
            window.project().setCaption(*window.project().album(0).slides[0], caption);
            QTest::mouseClick(preview->remote()->button(kRemoteAlbum1), Qt::LeftButton);
            QTest::qWait(100);
            window.grab().save(out + QStringLiteral("/preview_photo.png"));
            QTest::mouseClick(preview->remote()->button(kRemoteStop), Qt::LeftButton);
            window.miniPlayer()->play({dir.file("Summer Song.mp3"), QStringLiteral("Summer Song.mp3"), 95 * 176400, true});
            QTest::qWait(100);
            window.miniPlayer()->grab().save(out + QStringLiteral("/mini_player.png"));
            window.miniPlayer()->closePlayer();
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
            takeMenuScreenshots(window, dir, out);
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
