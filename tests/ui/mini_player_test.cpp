// The mini player without a sound device, as on a server: it takes play requests and
// its numbered messages, shows title, time and position, seeks, closes, and keeps its
// volume bar disabled when there is no mixer, all without a message box.

#include "audio/master_volume.h"
#include "audio/support/audio_fixtures.h"
#include "platform/numbered_messages.h"
#include "support/temp_dir.h"
#include "ui/controls/image_button.h"
#include "ui/pages/numbered_message.h"
#include "ui/player/mini_player.h"
#include "ui/player/volume_bar.h"

#include <QApplication>
#include <QSlider>
#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

void send(QObject* player, NumberedMessage id, MessageParam wParam, MessageParam lParam, std::string text = {}) {
    NumberedMessageEvent event(Message{id, wParam, lParam, std::move(text)});
    QCoreApplication::sendEvent(player, &event);
}

std::shared_ptr<audio::MasterVolume> noMixer() {
    return std::make_shared<audio::MasterVolume>("hw:tellavine-no-such-card");
}

}  // namespace

class MiniPlayerTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;
    std::string minute_;

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        minute_ = dir_->file("Minute.WAV");
        testing::makeToneWav(minute_, {22050, 1, 60.0, 440});
    }

    void showsWhatItPlaysAndSeeksWithoutASoundDevice() {
        MiniPlayer player(QPoint(320, 240), noMixer(), SoundOutput::None);
        QCOMPARE(player.size(), QSize(240, 90));
        QCOMPARE(player.pos(), QPoint(320, 240));
        QCOMPARE(player.titleText(), QStringLiteral("Mini Player"));
        QCOMPARE(player.timeText(), QStringLiteral("00:00 / 00:00"));
        QVERIFY(!player.hasSoundOutput());

        // The length is measured when the request has none: 60 s of 22.05 kHz mono.
        send(&player, WM_MINIPLAYER_PLAY, 1, 0, minute_);
        QVERIFY(player.isVisible());
        QCOMPARE(player.titleText(), QStringLiteral(" *** %1 ***").arg(QString::fromStdString(minute_)));
        QCOMPARE(player.timeText(), QStringLiteral("00:00 / 01:00"));
        QCOMPARE(player.positionSlider()->maximum(), 60);

        // Dragging only rewrites the time; releasing plays from there.
        send(&player, WM_MINIPLAYER_SEEK, 45, 1);
        QCOMPARE(player.timeText(), QStringLiteral("00:45 / 01:00"));
        QCOMPARE(player.positionBytes(), 0u);
        send(&player, WM_MINIPLAYER_SEEK, 30, 0);
        QCOMPARE(player.timeText(), QStringLiteral("00:30 / 01:00"));
        QCOMPARE(player.positionSlider()->value(), 30);
        QCOMPARE(player.positionBytes(), 30u * 176400);

        // The pages' own request: a title, the window hidden (the preview).
        player.play({minute_, QStringLiteral("Holiday"), 60 * 176400, false});
        QVERIFY(!player.isVisible());
        QCOMPARE(player.titleText(), QStringLiteral(" *** Holiday ***"));
    }

    void closesAndSwallowsEnterAndEscape() {
        MiniPlayer player(QPoint(10, 10), noMixer(), SoundOutput::None);
        player.play({minute_, QStringLiteral("Song"), 0, true});
        QTest::keyClick(&player, Qt::Key_Escape);
        QVERIFY(player.isVisible());
        send(&player, WM_MINIPLAYER_CLOSE, 0, 0);
        QVERIFY(!player.isVisible());
        player.show();
        QTest::mouseClick(player.button(kPlayerClose), Qt::LeftButton);
        QVERIFY(!player.isVisible());
    }

    void volumeBarIsDisabledWithoutAMixer() {
        auto volume = noMixer();
        QVERIFY(!volume->available());
        MiniPlayer player(QPoint(0, 0), volume, SoundOutput::None);
        QVERIFY(!player.volumeBar()->isEnabled());
        QCOMPARE(player.volumeBar()->value(), 50);
        send(&player, WM_MINIPLAYER_VOLUME, 80, 0);  // changes nothing, and does not crash
        QCOMPARE(player.volumeBar()->value(), 50);
    }
};

QTEST_MAIN(MiniPlayerTest)
#include "mini_player_test.moc"
