#pragma once
// The mini player: a small skinned window that plays an MP3 or WAV file. The decoder
// (engine side) cuts the music into one-second blocks on its own thread; this window
// feeds them into a ring of ten one-second buffers that Qt's audio sink plays, shows
// title, time and a position slider, and binds its volume bar to the system mixer.
// Without a sound device it still works: it shows what it would play and stays silent.
//
// The pages talk to it with numbered messages (WM_MINIPLAYER_PLAY and the others) or
// through play() and closePlayer().

#include "audio/playback_decoder.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QAudioSink;
class QLabel;
class QSlider;

namespace tellavine::audio {
class MasterVolume;
}

namespace tellavine::ui {

class AudioRing;
class ImageButton;
class VolumeBar;

enum MiniPlayerCommand : int { kPlayerPlay = 33001, kPlayerStop = 33003, kPlayerClose = 33005 };

struct PlayRequest {
    std::string path;
    QString title;                 // shown as " *** title ***"; the path when empty
    std::uint32_t lengthBytes = 0; // playback bytes (176400 a second); measured when 0
    bool show = true;              // the preview plays with the window hidden
};

enum class SoundOutput { Default, None };

class MiniPlayer : public QWidget {
    Q_OBJECT
public:
    // `volume` is the system mixer (made here when null); `output` None leaves the
    // player silent, as on a machine without a sound device.
    MiniPlayer(QPoint position, std::shared_ptr<audio::MasterVolume> volume = nullptr,
               SoundOutput output = SoundOutput::Default, QWidget* parent = nullptr);
    ~MiniPlayer() override;

    // Stops, shows or hides the window, takes the file and plays it from its start.
    void play(const PlayRequest& request);
    // Plays the current file from `startBytes` (nothing without a file).
    void playFrom(std::uint64_t startBytes);
    void stop();
    // Stop and hide.
    void closePlayer();

    bool hasSoundOutput() const { return sink_ != nullptr; }
    QString titleText() const;
    QString timeText() const;
    QSlider* positionSlider() const { return slider_; }
    VolumeBar* volumeBar() const { return volumeBar_; }
    ImageButton* button(int command) const;
    // Playback bytes from the start of the file to what the sound output has played.
    std::uint64_t positionBytes() const;
    bool outputRunning() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createSoundOutput(SoundOutput output);
    void feed();
    void showPosition();
    void recolor();
    void post(unsigned id, long long wParam, long long lParam);

    std::shared_ptr<audio::MasterVolume> volume_;
    audio::PlaybackDecoder decoder_;
    AudioRing* ring_ = nullptr;
    QAudioSink* sink_ = nullptr;  // null without a sound device
    QTimer positionTimer_;        // every 300 ms while playing
    QTimer feedTimer_;            // looks for decoded blocks while the ring has room
    std::string path_;
    QString title_;
    std::uint32_t total_ = 0;
    std::uint64_t base_ = 0;  // where the current play started
    bool ended_ = false;      // the last block is in the ring
    bool started_ = false;    // the sound output is running

    QPixmap face_;
    ImageButton* play_ = nullptr;
    ImageButton* stop_ = nullptr;
    ImageButton* close_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QSlider* slider_ = nullptr;
    VolumeBar* volumeBar_ = nullptr;
    QPoint dragOffset_;
};

}  // namespace tellavine::ui
