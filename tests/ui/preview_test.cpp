// The preview page and its remote driven through the real widgets: key states across
// menu pages, the slideshow's timing on an injected clock, fitting, captions, black for
// an undecodable photo, Stop, and leaving the page.

#include "compose/menu_template.h"
#include "platform/folders.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "ui/controls/image_button.h"
#include "ui/pages/main_window.h"
#include "ui/pages/page_preview.h"
#include "ui/pages/recorder_access.h"
#include "ui/pages/remote_control.h"

#include <QDir>
#include <QImage>
#include <QTest>

#include <vector>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

// A slideshow clock moved by hand.
class ManualClock : public SlideshowClock {
public:
    void start(int periodMs, std::function<void()> tick) override {
        period_ = periodMs;
        tick_ = std::move(tick);
        elapsed_ = 0;
        running_ = true;
    }
    void stop() override { running_ = false; }
    void advance(int ms) {
        elapsed_ += ms;
        while (running_ && elapsed_ >= period_) {
            elapsed_ -= period_;
            const auto tick = tick_;
            tick();
        }
    }
    int period() const { return period_; }

private:
    std::function<void()> tick_;
    int period_ = 0;
    int elapsed_ = 0;
    bool running_ = false;
};

struct MusicCalls {
    std::vector<std::string> played;
    int closed = 0;
};

std::string savePhoto(const testing::TempDir& dir, const std::string& name, QSize size, QColor colour) {
    QImage photo(size, QImage::Format_RGB32);
    photo.fill(colour);
    const std::string path = dir.file(name);
    photo.save(QString::fromStdString(path), "PNG");
    return path;
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 && std::abs(a.blue() - b.blue()) < 12;
}

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;
    std::string programDir_;

    struct Rig {
        Project project;
        MusicCalls music;
        ManualClock* clock = nullptr;
        std::unique_ptr<CPagePreview> page;
    };

    std::unique_ptr<Rig> makeRig(std::function<void(Project&)> fill) {
        auto rig = std::make_unique<Rig>();
        const std::string programDir = programDir_;
        rig->project.setTemplateItemsQuery(
            [programDir](const std::string& path) { return templateItemsPerPage(programDir, path); });
        rig->project.refreshItemsPerPage();
        fill(rig->project);
        rig->project.setCurrentAlbum(0);
        PreviewServices services;
        services.programDir = programDir_;
        services.playMusic = [music = &rig->music](const std::string& path, std::int32_t) { music->played.push_back(path); };
        services.closeMusic = [music = &rig->music] { ++music->closed; };
        auto clock = std::make_unique<ManualClock>();
        rig->clock = clock.get();
        services.clock = std::move(clock);
        rig->page = std::make_unique<CPagePreview>(rig->project, std::move(services));
        rig->page->resize(1000, 600);
        return rig;
    }

    static void press(CPagePreview& page, int id) {
        ImageButton* button = page.remote()->button(id);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static QColor centre(const CPagePreview& page) { return page.screen().pixelColor(230, 172); }

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        programDir_ = testing::useTestFolders(*dir_).programDir;
    }

    void keysFollowTheMenuPageAndTheAlbumCount() {
        const std::string photo = savePhoto(*dir_, "one.png", QSize(64, 48), Qt::blue);
        auto rig = makeRig([&](Project& project) {
            for (int a = 0; a < 10; ++a) project.addSlide(project.addAlbum("Album " + std::to_string(a)), photo, "one", 0);
        });
        CPagePreview& page = *rig->page;
        QCOMPARE(rig->project.itemsPerPage(), 4);
        press(page, kRemoteStart);
        struct Expected {
            int pageStart;
            bool previous, next;
        };
        for (const Expected e : {Expected{0, false, true}, Expected{4, true, true}, Expected{8, true, false}}) {
            QCOMPARE(page.pageStart(), e.pageStart);
            QCOMPARE(page.remote()->button(kRemotePreviousMenu)->isEnabled(), e.previous);
            QCOMPARE(page.remote()->button(kRemoteNextMenu)->isEnabled(), e.next);
            QVERIFY(page.remote()->button(kRemoteStart)->isEnabled());
            QVERIFY(page.remote()->button(kRemoteStop)->isEnabled());
            for (int key = 1; key <= 9; ++key) QCOMPARE(page.remote()->button(30000 + key)->isEnabled(), key <= 4);
            if (e.next) press(page, kRemoteNextMenu);
        }
        // Key 3 on the third page is album 11 of 10: nothing happens.
        const QImage menu = page.screen();
        press(page, 30003);
        QVERIFY(!page.playing());
        QCOMPARE(page.screen(), menu);
        // Previous steps back one page and shows it.
        press(page, kRemotePreviousMenu);
        QCOMPARE(page.pageStart(), 4);
        QVERIFY(page.screen() != menu);
    }

    void slideshowShowsEachPhotoForItsPlayTimeThenTheMenu() {
        const std::string red = savePhoto(*dir_, "red.png", QSize(1024, 768), Qt::red);
        const std::string junk = dir_->file("broken.jpg");
        testing::writeFile(junk, "not a picture at all");
        const std::string green = savePhoto(*dir_, "green.png", QSize(768, 1024), Qt::green);
        const std::string music = dir_->file("song.mp3");
        auto rig = makeRig([&](Project& project) {
            const int album = project.addAlbum("Trip");
            project.addSlide(album, red, "red", 0);
            project.addSlide(album, junk, "broken", 0);
            Slide* last = project.addSlide(album, green, "green", 0);
            SlideCaption caption;
            caption.text = "Hello from the beach";
            caption.textColour = makeColourRef(255, 255, 255);
            project.setCaption(*last, caption);
            project.album(album).playTime = 5;
            project.album(album).musicPath = music;
        });
        CPagePreview& page = *rig->page;
        press(page, kRemoteStart);
        const QImage menu = page.screen();

        press(page, kRemoteAlbum1);
        QVERIFY(page.playing());
        QCOMPARE(rig->clock->period(), 5000);
        QCOMPARE(rig->music.played, std::vector<std::string>{music});
        QVERIFY(rig->music.closed >= 1);
        for (int key = 1; key <= 13; ++key) {
            QCOMPARE(page.remote()->button(30000 + key)->isEnabled(), 30000 + key == kRemoteStop);
        }
        // 0 s: the 1024 x 768 photo fills the screen.
        QVERIFY(near(centre(page), Qt::red));
        QVERIFY(near(page.screen().pixelColor(0, 0), Qt::red));
        QVERIFY(near(page.screen().pixelColor(459, 344), Qt::red));
        rig->clock->advance(4999);
        QVERIFY(near(centre(page), Qt::red));
        // 5 s: the photo that cannot be decoded is a black screen for its time.
        rig->clock->advance(1);
        const QImage black = page.screen();
        for (int y = 0; y < black.height(); y += 15) {
            for (int x = 0; x < black.width(); x += 15) QCOMPARE(black.pixelColor(x, y), QColor(Qt::black));
        }
        // 10 s: the 768 x 1024 photo is 258 x 345, centred; its caption over it.
        rig->clock->advance(5000);
        const QImage tall = page.screen();
        QCOMPARE(tall.pixelColor(100, 20), QColor(Qt::black));
        QVERIFY(near(tall.pixelColor(102, 20), Qt::green));
        QVERIFY(near(tall.pixelColor(357, 20), Qt::green));
        QCOMPARE(tall.pixelColor(359, 20), QColor(Qt::black));
        int captionPixels = 0;
        for (int y = 250; y < 345; ++y) {
            for (int x = 102; x < 358; ++x) captionPixels += !near(tall.pixelColor(x, y), Qt::green);
        }
        QVERIFY2(captionPixels > 100, "the caption is drawn over the photo");
        QVERIFY(page.playing());
        // 15 s: the end of the album returns to the menu page and frees the keys.
        rig->clock->advance(5000);
        QVERIFY(!page.playing());
        QCOMPARE(page.screen(), menu);
        QVERIFY(page.remote()->button(kRemoteAlbum1)->isEnabled());
        QVERIFY(page.remote()->button(kRemoteStart)->isEnabled());
    }

    void photosAreFittedIntoTheScreenKeepingTheirShape() {
        struct Case {
            int width, height;
            QRect expected;
        };
        for (const Case c : {Case{1024, 768, QRect(0, 0, 460, 345)}, Case{768, 1024, QRect(101, 0, 258, 345)},
                             Case{2000, 500, QRect(0, 115, 460, 115)}, Case{500, 400, QRect(14, 0, 431, 345)},
                             Case{300, 300, QRect(57, 0, 345, 345)}, Case{0, 0, QRect()}}) {
            QCOMPARE(previewPhotoRect(c.width, c.height), c.expected);
        }
    }

    void stopReturnsToTheMenuPageShown() {
        const std::string photo = savePhoto(*dir_, "blue.png", QSize(320, 240), Qt::blue);
        auto rig = makeRig([&](Project& project) {
            for (int a = 0; a < 6; ++a) {
                const int album = project.addAlbum("Album " + std::to_string(a));
                for (int i = 0; i < 3; ++i) project.addSlide(album, photo, "blue", 0);
            }
        });
        CPagePreview& page = *rig->page;
        press(page, kRemoteStart);
        press(page, kRemoteNextMenu);
        const QImage secondMenu = page.screen();
        press(page, 30002);  // album 6
        QVERIFY(page.playing());
        QVERIFY(near(centre(page), Qt::blue));
        const int closedBefore = rig->music.closed;
        press(page, kRemoteStop);
        QVERIFY(!page.playing());
        QCOMPARE(page.pageStart(), 4);
        QCOMPARE(page.screen(), secondMenu);
        QVERIFY(rig->music.closed > closedBefore);
        QVERIFY(page.remote()->button(kRemotePreviousMenu)->isEnabled());
        QVERIFY(page.remote()->button(30001)->isEnabled());
        // The clock was stopped: time passing changes nothing.
        rig->clock->advance(60000);
        QCOMPARE(page.screen(), secondMenu);
    }

    void leavingThePreviewPageStopsIt() {
        const std::string photo = savePhoto(*dir_, "grey.png", QSize(200, 150), Qt::gray);
        testing::writeFile(dir_->folder() + "config.ini", "[Window]\nbMaximized=0\n");
        MainWindowServices services;
        services.recorders = std::make_shared<NoRecorders>();
        MainWindow window(services);
        const int album = window.project().addAlbum("One");
        for (int i = 0; i < 8; ++i) window.project().addSlide(album, photo, "grey", 0);
        window.showPage(Page::Preview);
        CPagePreview* page = window.previewPage();
        press(*page, kRemoteStart);
        press(*page, kRemoteAlbum1);
        QVERIFY(page->playing());
        window.showPage(Page::Burn);
        QVERIFY(!page->playing());
        QVERIFY(page->remote()->button(kRemoteAlbum1)->isEnabled());
        window.project().setModified(false);
    }
};

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
