// The mini player through Qt's real audio sink. The sink talks to a sound server, so
// the test starts its own PulseAudio with only a null sink (no sound card needed) in a
// private folder, and points the program at it before Qt looks for sound devices.

#include "audio/master_volume.h"
#include "audio/support/audio_fixtures.h"
#include "support/temp_dir.h"
#include "ui/player/mini_player.h"

#include <QApplication>
#include <QSlider>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace tellavine;
using namespace tellavine::ui;

namespace {

// A PulseAudio daemon with one null sink, for as long as the object lives.
class NullSoundServer {
public:
    explicit NullSoundServer(const std::string& folder) : socket_(folder + "native") {
        setenv("HOME", folder.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        const std::string protocol = "module-native-protocol-unix socket=" + socket_ + " auth-anonymous=1";
        std::vector<std::string> arguments = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                              "--use-pid-file=no", "--log-level=error", "-L", "module-null-sink",
                                              "-L", protocol};
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        for (int i = 0; i < 100 && !std::filesystem::exists(socket_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (std::filesystem::exists(socket_)) setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
    }
    ~NullSoundServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool running() const { return pid_ > 0 && std::filesystem::exists(socket_); }

private:
    std::string socket_;
    pid_t pid_ = -1;
};

NullSoundServer* server = nullptr;

}  // namespace

class PlayerSoundTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;

    std::unique_ptr<MiniPlayer> makePlayer() {
        if (!server || !server->running()) {
            QTest::qSkip("no sound server could be started (is pulseaudio installed?)", __FILE__, __LINE__);
            return nullptr;
        }
        auto player = std::make_unique<MiniPlayer>(QPoint(40, 40),
                                                   std::make_shared<audio::MasterVolume>("hw:tellavine-no-such-card"));
        if (!player->hasSoundOutput()) {
            QTest::qSkip("Qt found no audio output on the null sound server", __FILE__, __LINE__);
            return nullptr;
        }
        return player;
    }

private slots:
    void initTestCase() { dir_ = std::make_unique<testing::TempDir>(); }

    void playsThroughTheSoundOutputAndSeeks() {
        auto player = makePlayer();
        if (!player) return;
        const std::string path = dir_->file("minute.wav");
        testing::makeToneWav(path, {22050, 1, 60.0, 440});
        player->play({path, QStringLiteral("Tone"), 0, true});
        QTRY_VERIFY_WITH_TIMEOUT(player->outputRunning(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(player->positionBytes() >= 176400, 5000);
        const std::uint64_t before = player->positionBytes();
        QTest::qWait(700);
        QVERIFY(player->positionBytes() > before);
        QVERIFY(player->timeText().endsWith(QStringLiteral(" / 01:00")));

        // Dragging the knob to 30 s and letting go.
        player->positionSlider()->setSliderDown(true);
        player->positionSlider()->setSliderPosition(30);
        player->positionSlider()->setSliderDown(false);
        QTRY_VERIFY_WITH_TIMEOUT(player->positionBytes() >= 30u * 176400, 5000);
        QVERIFY(player->positionBytes() < 35u * 176400);
        QTRY_VERIFY_WITH_TIMEOUT(player->positionBytes() > 30u * 176400 + 176400 / 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(player->timeText().startsWith(QStringLiteral("00:3")), 2000);

        player->stop();
        QVERIFY(!player->outputRunning());
    }

    void playsAShortFileToItsEndAndStops() {
        auto player = makePlayer();
        if (!player) return;
        const std::string path = dir_->file("short.wav");
        testing::makeToneWav(path, {44100, 2, 2.5, 440});
        player->play({path, QStringLiteral("Short"), 0, false});
        // Three blocks, the last one padded: three seconds are played, then the output idles.
        QTRY_VERIFY_WITH_TIMEOUT(player->positionBytes() >= 3u * 176400 - 17640, 8000);
        QTest::qWait(1000);
        QVERIFY(player->positionBytes() <= 3u * 176400 + 17640);
    }
};

int main(int argc, char* argv[]) {
    tellavine::testing::TempDir runtime;
    NullSoundServer sound(runtime.folder());
    server = &sound;
    QApplication app(argc, argv);
    PlayerSoundTest test;
    const int result = QTest::qExec(&test, argc, argv);
    server = nullptr;
    return result;
}

#include "player_sound_test.moc"
