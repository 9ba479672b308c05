// The disc menu page inside the real main window: page stepping and its buttons, the
// template choice, renaming from the canvas, and the menu's music and background.

#include "fake_pipeline.h"
#include "platform/folders.h"
#include "project/project_commands.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "ui/controls/disc_usage_gauge.h"
#include "ui/controls/image_button.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/pages/main_window.h"
#include "ui/pages/menu_canvas.h"
#include "ui/pages/menu_canvas_geometry.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/page_menu.h"
#include "ui/pages/progress_window.h"
#include "ui/pages/recorder_access.h"
#include "ui/pages/template_list.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace tellavine;
using namespace tellavine::ui;
using tellavine::testing::RecordingPrompt;

namespace {

constexpr const char* kDuplicateName =
    "An album with the name you specified already exists. Please specify a different name.";

bool shown(const RecordingPrompt& prompt, const std::string& text) {
    const auto all = prompt.shown();
    return std::find(all.begin(), all.end(), text) != all.end();
}

}  // namespace

class MenuPageTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;
    std::shared_ptr<RecordingPrompt> prompt_;
    std::string photo_;

    MainWindowServices services() {
        MainWindowServices s;
        s.recorders = std::make_shared<NoRecorders>();
        s.prompt = prompt_;
        return s;
    }

    // The window on the disc menu page, shown so the canvas has its size.
    static CPageMenu* showMenu(MainWindow& window) {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return nullptr;
        window.showPage(Page::DiscMenu);
        return window.menuPage();
    }

    void addAlbums(Project& project, int count, int withPhoto = 1) {
        for (int i = 0; i < count; ++i) {
            const int album = project.addAlbum("Album " + std::to_string(i + 1));
            if (i < withPhoto) project.addSlide(album, photo_, "photo.jpg", 0);
        }
    }

    // Acts on the Album Name dialog once it is open (it runs modally).
    static void answerNameDialog(std::function<void(AlbumNameDialog*)> act) {
        QTimer::singleShot(10, [act] {
            if (auto* dialog = qobject_cast<AlbumNameDialog*>(QApplication::activeModalWidget())) {
                act(dialog);
            } else {
                answerNameDialog(act);
            }
        });
    }

    static void clickButton(CPageMenu* page, int id) { QTest::mouseClick(page->button(id), Qt::LeftButton); }

    static QPoint centreOfTitle(CPageMenu* page, int album) {
        for (const TitleHit& hit : page->canvas()->titleHits())
            if (hit.album == album) return hit.rect.center();
        return {-1, -1};
    }

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        const AppFolders folders = testing::useTestFolders(*dir_);
        testing::writeFile(folders.settingsFile(),
                           "[GENERAL]\nbWritePhotoFile=0\nbWriteAudioFile=0\nPAL=0\n"
                           "[Window]\nbMaximized=0\nx=10\ny=10\nwidth=1000\nheight=700\n");
        prompt_ = std::make_shared<RecordingPrompt>();
        QImage photo(80, 60, QImage::Format_RGB32);
        photo.fill(QColor(200, 120, 40));
        photo_ = dir_->file("photo.jpg");
        QVERIFY(photo.save(QString::fromStdString(photo_), "JPG"));
    }

    void pageAndTitleBoxesFollowTheCanvas() {
        // The largest 4:3 page inside 6 pixels of margin, centred.
        QCOMPARE(fitMenuPage(QRect(0, 0, 800, 500)), QRect(75, 6, 650, 488));
        QCOMPARE(fitMenuPage(QRect(0, 0, 400, 500)), QRect(6, 104, 388, 291));

        // Title boxes scaled to the page (truncated), 4 pixels right and down; only for
        // albums that exist; a canvas of no size counts as 768 x 576.
        MenuTemplate t;
        t.canvasWidth = 0;
        t.itemsCount = 2;
        t.texts = {{49, 223}, {281, 223}};
        t.textWidth = 208;
        t.textHeight = 30;
        const QRect page(10, 20, 385, 289);
        const auto both = titleHitRects(t, page, 0, 5);
        QCOMPARE(int(both.size()), 2);
        QCOMPARE(both[0].rect, QRect(10 + 24 + 4, 20 + 111 + 4, 104, 15));
        QCOMPARE(both[1].rect, QRect(10 + 140 + 4, 20 + 111 + 4, 104, 15));
        const auto last = titleHitRects(t, page, 4, 5);
        QCOMPARE(int(last.size()), 1);
        QCOMPARE(last[0].album, 4);
        QCOMPARE(titleAt(last, QPoint(38, 135)), 4);
        QCOMPARE(titleAt(last, QPoint(37, 135)), -1);
    }

    void nineAlbumsAtFourAPageGiveThreePages() {
        MainWindow window(services());
        addAlbums(window.project(), 9);
        CPageMenu* page = showMenu(window);
        QVERIFY(page);
        QCOMPARE(page->itemsPerPage(), 4);
        ImageButton* previous = page->button(kPreviousMenuButton);
        ImageButton* next = page->button(kNextMenuButton);
        QCOMPARE(previous->toolTip(), QStringLiteral("Previous menu"));

        const struct {
            int first;
            bool previous;
            bool next;
            int titles;
        } pages[] = {{0, false, true, 4}, {4, true, true, 4}, {8, true, false, 1}};
        for (const auto& expected : pages) {
            QCOMPARE(page->firstAlbum(), expected.first);
            QCOMPARE(previous->isEnabled(), expected.previous);
            QCOMPARE(next->isEnabled(), expected.next);
            const auto hits = page->canvas()->titleHits();
            QCOMPARE(int(hits.size()), expected.titles);
            QCOMPARE(hits.front().album, expected.first);
            clickButton(page, kNextMenuButton);  // past the last page it does nothing
        }
        QCOMPARE(page->firstAlbum(), 8);
        clickButton(page, kPreviousMenuButton);
        QCOMPARE(page->firstAlbum(), 4);

        // The page keeps its place across pages of the window, but not past the albums.
        clickButton(page, kNextMenuButton);
        window.showPage(Page::Burn);
        for (int i = 0; i < 4; ++i) window.project().removeAlbum(8 - i);
        window.showPage(Page::DiscMenu);
        QCOMPARE(page->firstAlbum(), 4);
        QVERIFY(!next->isEnabled());
        QVERIFY(previous->isEnabled());
        window.project().setModified(false);
    }

    void choosingATemplateResetsPageAndBackground() {
        MainWindow window(services());
        addAlbums(window.project(), 9);
        CPageMenu* page = showMenu(window);
        QVERIFY(page);
        clickButton(page, kNextMenuButton);
        page->chooseBackgroundFile = [this] { return QString::fromStdString(photo_); };
        page->command(kCanvasSelectBackgroundCommand)->trigger();
        QCOMPARE(window.project().menu().backgroundPicturePath, photo_);
        QCOMPARE(page->backgroundLine(), QStringLiteral("photo.jpg"));
        window.project().setModified(false);

        TemplateList* list = page->templateList();
        const int cinema = list->rowOf(QStringLiteral("cinema.ini"));
        QVERIFY(cinema >= 0);
        QCOMPARE(list->item(cinema)->text(), QStringLiteral("Cinema"));
        QCOMPARE(list->iconSize(), QSize(128, 96));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(cinema)).center());
        QCOMPARE(window.project().menu().templatePath, std::string("template\\cinema.ini"));
        QCOMPARE(page->firstAlbum(), 0);
        QCOMPARE(page->itemsPerPage(), 6);
        QCOMPARE(window.project().itemsPerPage(), 6);
        QVERIFY(window.project().menu().backgroundPicturePath.empty());
        QCOMPARE(page->backgroundLine(), QStringLiteral("Default background image"));
        QVERIFY(!page->button(kPreviousMenuButton)->isEnabled());
        QVERIFY(page->button(kNextMenuButton)->isEnabled());
        QVERIFY(window.project().modified());
        // Two pages now, not three: the gauge counted them when the change was reported.
        QCOMPARE(window.gauge()->seconds(), int(window.estimateDiscSectors() / 75));
        window.project().setModified(false);
    }

    void renamingFromTheCanvasKeepsNamesUnique() {
        MainWindow window(services());
        Project& project = window.project();
        for (const char* name : {"Summer", "Winter"}) project.addSlide(project.addAlbum(name), photo_, "photo.jpg", 0);
        CPageMenu* page = showMenu(window);
        QVERIFY(page);
        project.setModified(false);
        const QPoint winter = centreOfTitle(page, 1);
        QVERIFY(winter.x() >= 0);

        // The Album Name dialog opens on the album's name and refuses another album's
        // name in any letter case, staying open; Cancel then keeps the name.
        QString opened;
        std::size_t refusals = 0;
        answerNameDialog([&](AlbumNameDialog* dialog) {
            opened = dialog->name();
            const auto before = prompt_->shown().size();
            for (const char* other : {"Summer", "sUMMER", "SUMMER"}) {
                dialog->nameEdit()->setText(QString::fromLatin1(other));
                dialog->accept();
            }
            refusals = prompt_->shown().size() - before;
            dialog->reject();
        });
        QTest::mouseDClick(page->canvas(), Qt::LeftButton, {}, winter);
        QCOMPARE(opened, QStringLiteral("Winter"));
        QCOMPARE(refusals, std::size_t(3));
        QVERIFY(shown(*prompt_, kDuplicateName));
        QCOMPARE(project.album(1).name, std::string("Winter"));
        QVERIFY(!project.modified());

        // Its own name in other letters is accepted.
        answerNameDialog([](AlbumNameDialog* dialog) {
            dialog->nameEdit()->setText(QStringLiteral("WINTER"));
            dialog->accept();
            if (dialog->isVisible()) dialog->reject();  // refused: the name check below fails
        });
        QTest::mouseDClick(page->canvas(), Qt::LeftButton, {}, winter);
        QCOMPARE(project.album(1).name, std::string("WINTER"));
        QVERIFY(project.modified());

        // Beside every title box nothing is asked.
        int asked = 0;
        page->askAlbumName = [&](int) -> std::optional<QString> {
            ++asked;
            return std::nullopt;
        };
        for (const TitleHit& hit : page->canvas()->titleHits()) {
            for (const QPoint beside : {hit.rect.topLeft() - QPoint(1, 1), hit.rect.bottomRight() + QPoint(1, 1)})
                QTest::mouseDClick(page->canvas(), Qt::LeftButton, {}, beside);
        }
        QCOMPARE(asked, 0);
        project.setModified(false);
    }

    void menuMusicSetsLengthLinesAndPlayCommand() {
        MainWindow window(services());
        Project& project = window.project();
        addAlbums(project, 1);
        CPageMenu* page = showMenu(window);
        QVERIFY(page);
        QCOMPARE(page->musicLine(), QStringLiteral("No Background Music"));
        QAction* play = page->command(kPlayMenuMusicCommand);
        QVERIFY(!play->isEnabled());
        QSignalSpy requests(page, &CPageMenu::playMusicRequested);
        const long long silent = window.estimateDiscSectors();

        // 1000 MPEG-1 Layer III frames at 44.1 kHz: 26.1 s, kept as 27 whole seconds.
        std::string frame(417, '\0');
        frame.replace(0, 4, "\xFF\xFB\x90\x40");
        std::string mp3;
        for (int i = 0; i < 1000; ++i) mp3 += frame;
        const std::string song = dir_->file("Menu Song.MP3");
        testing::writeFile(song, mp3);
        const auto before = prompt_->shown().size();
        page->chooseMusicFile = [&] { return QString::fromStdString(song); };
        page->command(kSelectMenuMusicCommand)->trigger();
        QCOMPARE(prompt_->shown().size(), before);
        QCOMPARE(project.menu().musicPath, song);
        QCOMPARE(project.menu().musicLength, 27 * kMusicBytesPerSecond);
        QCOMPARE(page->musicLine(), QStringLiteral("Menu Song.MP3"));
        QVERIFY(project.modified());
        QVERIFY(window.estimateDiscSectors() > silent);
        QCOMPARE(window.gauge()->seconds(), int(window.estimateDiscSectors() / 75));

        // The main window gives the page its mini player, so the music can be played now.
        QVERIFY(play->isEnabled());
        play->trigger();
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0).at(0).toString(), QString::fromStdString(song));

        page->command(kCanvasClearMusicCommand)->trigger();
        QVERIFY(project.menu().musicPath.empty());
        QCOMPARE(page->musicLine(), QStringLiteral("No Background Music"));
        QVERIFY(!play->isEnabled());
        play->trigger();
        QCOMPARE(requests.count(), 1);
        QCOMPARE(window.estimateDiscSectors(), silent);
        project.setModified(false);
    }

    void openingAProjectOnThePageShowsItsMenu() {
        Project saved;
        addAlbums(saved, 7);
        MenuSettings menu = saved.menu();
        menu.templatePath = "template\\cinema.ini";
        menu.backgroundPicturePath = photo_;
        saved.setMenu(menu);
        const std::string path = dir_->file("cinema.ovp");
        QVERIFY(saveProjectToFile(saved, path));

        MainWindow window(services());
        addAlbums(window.project(), 9);
        CPageMenu* page = showMenu(window);
        QVERIFY(page);
        clickButton(page, kNextMenuButton);
        clickButton(page, kNextMenuButton);
        window.project().setModified(false);
        window.chooseProjectToOpen = [&] { return QString::fromStdString(path); };
        window.openCommand();
        QCOMPARE(page->itemsPerPage(), 6);
        QCOMPARE(page->firstAlbum(), 6);  // the last page there is
        QCOMPARE(page->backgroundLine(), QStringLiteral("photo.jpg"));
        QCOMPARE(page->templateList()->currentRow(), page->templateList()->rowOf(QStringLiteral("cinema.ini")));
        QVERIFY(!page->button(kNextMenuButton)->isEnabled());
    }

    void changesWaitForACancelledBuildToEnd() {
        auto state = std::make_shared<testing::FakePipelineState>();
        MainWindowServices slow = services();
        slow.makePipeline = [state](std::shared_ptr<vcd::RecorderHooks>) {
            return testing::makeFakePipeline({true, 40}, state);
        };
        MainWindow window(slow);
        addAlbums(window.project(), 5);
        CPageMenu* page = showMenu(window);
        QVERIFY(page);
        CPageBurn* burn = window.burnPage();
        burn->imagePathEdit()->setText(QString::fromStdString(dir_->file("slow.cue")));
        burn->burn();
        QPointer<ProgressWindow> progress = burn->progressWindow();
        QVERIFY(progress);
        QTRY_COMPARE_WITH_TIMEOUT(progress->statusText(), QStringLiteral("Encoding album photos..."), 10000);
        prompt_->setAnswer(PromptAnswer::Yes);
        progress->cancelOrClose();
        QTRY_VERIFY(!progress);  // closed at once; the build finishes its photo
        prompt_->setAnswer(PromptAnswer::No);

        page->chooseTemplate(QStringLiteral("cinema.ini"));
        QCOMPARE(window.project().menu().templatePath, std::string("template\\classic.ini"));
        QCOMPARE(window.project().itemsPerPage(), 4);
        QTRY_COMPARE_WITH_TIMEOUT(window.project().menu().templatePath, std::string("template\\cinema.ini"), 10000);
        QVERIFY(state->sawCancel.load());
        QCOMPARE(window.project().itemsPerPage(), 6);
        window.project().setModified(false);
    }
};

QTEST_MAIN(MenuPageTest)
#include "menu_page_test.moc"
