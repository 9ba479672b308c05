// From the bundled sample photos to a disc image only through the desktop program: two
// albums made on the editor page (one with music, a turned photo, a caption) with the
// real dialogs, the project saved, the image built on the burn page by the real
// pipeline, and the image read back with `tellavine-cli inspect`.

#include "pipeline/disc_pipeline.h"
#include "platform/folders.h"
#include "project/project_commands.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "when_modal.h"
#include "ui/controls/image_button.h"
#include "ui/dialogs/add_text_dialog.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/dialogs/album_properties_dialog.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/editor_photo_list.h"
#include "ui/pages/main_window.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/page_editor.h"
#include "ui/pages/progress_window.h"
#include "ui/pages/recorder_access.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <filesystem>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

void writeWav(const std::string& path, int seconds) {
    const int frames = 44100 * seconds;
    std::string data;
    for (int i = 0; i < frames; ++i) {
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / 44100));
        for (int channel = 0; channel < 2; ++channel) {
            data += static_cast<char>(sample & 0xFF);
            data += static_cast<char>((sample >> 8) & 0xFF);
        }
    }
    auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string header = "RIFF" + u32(36 + static_cast<std::uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) +
                               u16(2) + u32(44100) + u32(44100 * 4) + u16(4) + u16(16) + "data" +
                               u32(static_cast<std::uint32_t>(data.size()));
    testing::writeFile(path, header + data);
}

void selectFiles(PictureFileBrowser& browser, const QStringList& names) {
    QAbstractItemView* view = browser.view();
    view->selectionModel()->clearSelection();
    for (int row = 0; row < browser.count(); ++row) {
        if (names.contains(QFileInfo(browser.pathAt(row)).fileName())) {
            view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::Select);
        }
    }
}

}  // namespace

class EditorEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void photosToDiscThroughThePages() {
        testing::TempDir dir;
        const AppFolders folders = testing::useTestFolders(dir);
        testing::writeFile(folders.settingsFile(), "[GENERAL]\nbWritePhotoFile=1\nbWriteAudioFile=1\nPAL=0\n");
        const std::string music = dir.file("walk.wav");
        writeWav(music, 3);

        auto prompt = std::make_shared<testing::RecordingPrompt>();
        MainWindowServices services;
        services.recorders = std::make_shared<NoRecorders>();
        services.prompt = prompt;
        services.makePipeline = [](std::shared_ptr<vcd::RecorderHooks> recorder) {
            return makeDiscPipeline(std::move(recorder));
        };
        MainWindow window(services);
        window.resize(1200, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CPageEditor* page = window.editorPage();
        page->browseFolder(QStringLiteral(TELLAVINE_SAMPLE_PHOTOS));
        PictureFileBrowser& browser = *page->fileBrowser();
        QTRY_COMPARE(browser.count(), 11);

        // Album 1: three photos, the second turned, the first with a caption.
        testing::whenModal<AlbumNameDialog>([](AlbumNameDialog* dialog) {
            dialog->nameEdit()->setText(QStringLiteral("Garden Walk"));
            dialog->accept();
        });
        window.action(kNewAlbumCommand)->trigger();
        QCOMPARE(window.project().albumCount(), 1);
        selectFiles(browser, {"garden.jpg", "ladybird.jpg", "yellow_flower_portrait.jpg"});
        QTest::mouseClick(page->button(kAddPicturesButton), Qt::LeftButton);
        QCOMPARE(window.project().album(0).slides.size(), std::size_t(3));
        page->photoList()->selectRows({1});
        QTest::mouseClick(page->button(kRotateClockwiseButton), Qt::LeftButton);
        page->photoList()->selectRows({0});
        testing::whenModal<AddTextDialog>([](AddTextDialog* dialog) {
            dialog->textEdit()->setText(QStringLiteral("Our garden"));
            dialog->accept();
        });
        page->command(kAddTextCommand)->trigger();

        // Album 2: two photos over music, set in the album's properties.
        testing::whenModal<AlbumNameDialog>([](AlbumNameDialog* dialog) {
            dialog->nameEdit()->setText(QStringLiteral("Meadow"));
            dialog->accept();
        });
        QTest::mouseClick(page->button(kNewSlideShowButton), Qt::LeftButton);
        selectFiles(browser, {"green_meadow.jpg", "dune.jpg"});
        QTest::mouseClick(page->button(kAddPicturesButton), Qt::LeftButton);
        testing::whenModal<AlbumPropertiesDialog>([music](AlbumPropertiesDialog* dialog) {
            dialog->musicEdit()->setText(QString::fromStdString(music));
            dialog->accept();
        });
        window.action(kAlbumPropertiesCommand)->trigger();
        const Project& project = window.project();
        QCOMPARE(project.albumCount(), 2);
        QCOMPARE(project.album(1).musicPath, music);
        QCOMPARE(project.album(1).musicLength, int(std::filesystem::file_size(music)));  // a WAV counts its file size
        QCOMPARE(project.album(0).slides[1]->rotation, 90);
        QCOMPARE(project.album(0).slides[0]->caption.text, std::string("Our garden"));
        QVERIFY(project.modified());
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [New Project]"));

        const QString saved = QString::fromStdString(dir.file("Walks.ovp"));
        window.chooseProjectToSave = [saved] { return saved; };
        window.action(kSaveCommand)->trigger();
        QVERIFY(!project.modified());
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [Walks]"));

        // The image, built on the burn page.
        window.showPage(Page::Burn);
        CPageBurn* burn = window.burnPage();
        const std::string cue = dir.file("Walks.cue");
        burn->imagePathEdit()->setText(QString::fromStdString(cue));
        QTest::mouseClick(burn->actionButton(kBurnCommand), Qt::LeftButton);
        QVERIFY(burn->progressWindow());
        QTRY_VERIFY_WITH_TIMEOUT(burn->progressWindow()->done(), 280000);
        QCOMPARE(burn->progressWindow()->statusText(),
                 QStringLiteral("Disc image file was successfully written to:\n\n%1").arg(QString::fromStdString(cue)));
        burn->progressWindow()->cancelOrClose();

        QProcess inspect;
        inspect.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tellavine-cli"),
                      {QStringLiteral("inspect"), QString::fromStdString(cue)});
        QVERIFY(inspect.waitForFinished(60000));
        QCOMPARE(inspect.exitCode(), 0);
        const QString listing = QString::fromUtf8(inspect.readAllStandardOutput());
        // The menu page offers two albums on keys 1 and 2; nothing on key 3.
        QVERIFY2(listing.contains(QRegularExpression(QStringLiteral("key 1 -> list \\d+"))), qPrintable(listing));
        QVERIFY2(listing.contains(QRegularExpression(QStringLiteral("key 2 -> list \\d+"))), qPrintable(listing));
        QVERIFY2(!listing.contains(QRegularExpression(QStringLiteral("key 3 -> list \\d+"))), qPrintable(listing));
        // Items: the menu page, the three stills of album 1, album 2 as one item over its music.
        QVERIFY2(listing.count(QRegularExpression(QStringLiteral("item \\d+: \\d+ units?, NTSC (hi-res )?still"))) == 5,
                 qPrintable(listing));
        QVERIFY2(listing.count(QStringLiteral("stereo audio")) == 1, qPrintable(listing));
        // The photo and music files travel with the disc.
        for (const char* file : {"GARDEN.JPG", "LADYBIRD.JPG", "DUNE.JPG", "WALK.WAV"}) {
            QVERIFY2(listing.contains(QLatin1String(file), Qt::CaseInsensitive), file);
        }
        window.close();
    }
};

QTEST_MAIN(EditorEndToEndTest)
#include "editor_end_to_end_test.moc"
