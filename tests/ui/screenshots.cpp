// Takes pictures of the main window on every page and of the progress window, for
// looking at the layout by eye (run under Xvfb: xvfb-run build/default/bin/ui_screenshots
// <folder>). Not a test: it checks nothing.

#include "dialog_screenshots.h"
#include "fake_pipeline.h"
#include "platform/folders.h"
#include "project/project_commands.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "ui/app/artwork.h"
#include "ui/pages/main_window.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/editor_photo_list.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/page_editor.h"
#include "ui/pages/thumbnail_loader.h"
#include "ui/pages/progress_window.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
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
    folders.defaultTempDir = dir.folder() + "Temp/";
    setAppFolders(folders);
    testing::writeFile(folders.settingsFile(), "[Window]\nbMaximized=0\n");
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
        for (int i = 0; i < 200 && !(window.editorPage()->fileBrowser()->loader()->idle() &&
                                     window.editorPage()->photoLoader()->idle());
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
    drawApplicationIcon(128).save(out + QStringLiteral("/tellavine.png"));
    if (!testing::shootDialogs(out, dir.folder())) return 1;
    return 0;
}
