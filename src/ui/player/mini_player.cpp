#include "ui/player/mini_player.h"

#include "audio/master_volume.h"
#include "platform/numbered_messages.h"
#include "ui/app/tv_artwork.h"
#include "ui/controls/image_button.h"
#include "ui/pages/numbered_message.h"
#include "ui/player/audio_ring.h"
#include "ui/player/volume_bar.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

namespace tellavine::ui {
namespace {

constexpr std::uint64_t kBytesPerSecond = audio::kPlaybackBlockBytes;

QString minutesAndSeconds(std::uint64_t seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

MiniPlayer::MiniPlayer(QPoint position, std::shared_ptr<audio::MasterVolume> volume, SoundOutput output,
                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), volume_(std::move(volume)) {
    setObjectName(QStringLiteral("miniPlayer"));
    setWindowTitle(tr("Mini Player"));
    setFixedSize(kPlayerWidth, kPlayerHeight);
    move(position);
    if (!volume_) volume_ = std::make_shared<audio::MasterVolume>();
    createControls();
    if (volume_->available()) {
        volume_->enable();
        volumeBar_->setValue(static_cast<int>((volume_->volume() - volume_->minimum()) * 100 / volume_->steps()));
    } else {
        volumeBar_->setEnabled(false);  // no mixer: the bar stays at 50 and changes nothing
    }
    ring_ = new AudioRing([this](int slot) { post(WM_MINIPLAYER_BUFFER_DONE, slot, 0); }, this);
    createSoundOutput(output);
    positionTimer_.setInterval(300);
    connect(&positionTimer_, &QTimer::timeout, this, &MiniPlayer::showPosition);
    feedTimer_.setInterval(50);
    connect(&feedTimer_, &QTimer::timeout, this, &MiniPlayer::feed);
}

MiniPlayer::~MiniPlayer() {
    stop();
    delete sink_;
    sink_ = nullptr;
}

void MiniPlayer::createControls() {
    const qreal ratio = 2;  // sharp on high-density screens, scaled down elsewhere
    const struct {
        int id;
        int x, y, stripWidth, height;
        PlayerKey key;
        const char* tooltip;
    } buttons[] = {
        {kPlayerPlay, 188, 63, 80, 16, PlayerKey::Play, QT_TR_NOOP("Play selected item")},
        {kPlayerStop, 209, 63, 80, 16, PlayerKey::Stop, QT_TR_NOOP("Stop Playing")},
        {kPlayerClose, 230, 3, 28, 7, PlayerKey::Close, QT_TR_NOOP("Close")},
    };
    for (const auto& place : buttons) {
        auto* button = new ImageButton(this);
        ImageButtonDescriptor descriptor;
        descriptor.x = place.x;
        descriptor.y = place.y;
        descriptor.stripWidth = place.stripWidth;
        descriptor.height = place.height;
        descriptor.strip = makeButtonStrip(drawPlayerKey(place.key, ratio));
        descriptor.controlId = place.id;
        button->create(descriptor);
        button->setToolTip(tr(place.tooltip));
        button->setFocusPolicy(Qt::NoFocus);
        button->setObjectName(QStringLiteral("player%1").arg(place.id));
        (place.id == kPlayerPlay ? play_ : place.id == kPlayerStop ? stop_ : close_) = button;
    }
    connect(play_, &ImageButton::clicked, this, [this] { playFrom(0); });
    connect(stop_, &ImageButton::clicked, this, &MiniPlayer::stop);
    connect(close_, &ImageButton::clicked, this, &MiniPlayer::closePlayer);

    titleLabel_ = new QLabel(tr("Mini Player"), this);
    titleLabel_->setObjectName(QStringLiteral("playerTitle"));
    titleLabel_->setGeometry(18, 38, 204, 16);
    timeLabel_ = new QLabel(QStringLiteral("00:00 / 00:00"), this);
    timeLabel_->setObjectName(QStringLiteral("playerTime"));
    timeLabel_->setGeometry(140, 20, 86, 16);
    timeLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = font();
    small.setPixelSize(11);
    titleLabel_->setFont(small);
    small.setBold(true);
    timeLabel_->setFont(small);
    recolor();

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("playerPosition"));
    slider_->setGeometry(11, 63, 170, 16);
    slider_->setRange(0, 0);
    slider_->setFocusPolicy(Qt::NoFocus);
    slider_->setStyleSheet(QStringLiteral(
        "QSlider::groove:horizontal { height: 4px; background: #1c2230; border: 1px solid #5a6478; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: #4f8fd8; border-radius: 2px; }"
        "QSlider::handle:horizontal { width: 10px; margin: -5px 0; border-radius: 5px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f6fa, stop:1 #9aa6bc); border: 1px solid #2a3040; }"));
    connect(slider_, &QSlider::sliderMoved, this, [this](int seconds) { post(WM_MINIPLAYER_SEEK, seconds, 1); });
    connect(slider_, &QSlider::sliderReleased, this, [this] { post(WM_MINIPLAYER_SEEK, slider_->value(), 0); });
    connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
        // A click on the track jumps there as a released drag would.
        if (action != QAbstractSlider::SliderMove) post(WM_MINIPLAYER_SEEK, slider_->sliderPosition(), 0);
    });

    volumeBar_ = new VolumeBar(this);
    volumeBar_->setObjectName(QStringLiteral("playerVolume"));
    volumeBar_->move(15, 18);
    connect(volumeBar_, &VolumeBar::volumeChosen, this, [this](int percent) { post(WM_MINIPLAYER_VOLUME, percent, 0); });
}

void MiniPlayer::createSoundOutput(SoundOutput output) {
    if (output == SoundOutput::None) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;  // no sound device: the window works silently
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = new QAudioSink(device, format);
}

void MiniPlayer::recolor() {
    QPalette title = titleLabel_->palette();
    title.setColor(QPalette::WindowText, Qt::white);
    titleLabel_->setPalette(title);
    QPalette time = timeLabel_->palette();
    time.setColor(QPalette::WindowText, QColor(255, 64, 48));
    timeLabel_->setPalette(time);
}

ImageButton* MiniPlayer::button(int command) const {
    return command == kPlayerPlay ? play_ : command == kPlayerStop ? stop_ : command == kPlayerClose ? close_ : nullptr;
}

QString MiniPlayer::titleText() const {
    return titleLabel_->text();
}

QString MiniPlayer::timeText() const {
    return timeLabel_->text();
}

void MiniPlayer::post(unsigned id, long long wParam, long long lParam) {
    QCoreApplication::postEvent(this, new NumberedMessageEvent(Message{static_cast<NumberedMessage>(id),
                                                                       static_cast<MessageParam>(wParam),
                                                                       static_cast<MessageParam>(lParam),
                                                                       {}}));
}

void MiniPlayer::play(const PlayRequest& request) {
    stop();
    setVisible(request.show);
    path_ = request.path;
    title_ = request.title.isEmpty() ? QString::fromStdString(request.path) : request.title;
    total_ = request.lengthBytes != 0 ? request.lengthBytes : audio::playbackLength(request.path);
    playFrom(0);
}

void MiniPlayer::playFrom(std::uint64_t startBytes) {
    stop();
    if (path_.empty()) return;
    titleLabel_->setText(QStringLiteral(" *** %1 ***").arg(title_));
    slider_->setRange(0, static_cast<int>(total_ / kBytesPerSecond));
    slider_->setValue(static_cast<int>(startBytes / kBytesPerSecond));
    base_ = startBytes;
    showPosition();
    if (!sink_) return;  // silent: nothing would take the blocks
    ended_ = false;
    started_ = false;
    decoder_.start(path_, startBytes);
    feedTimer_.start();
}

void MiniPlayer::feed() {
    while (!ended_) {
        if (ring_->filledSlots() == AudioRing::kSlots) break;
        std::optional<audio::PlaybackBlock> block = decoder_.take();
        if (!block) break;
        ring_->fill(*block);
        ended_ = block->kind == audio::PlaybackBlock::LastBlock;
    }
    const bool decoderDry = decoder_.finished() && decoder_.queued() == 0;
    if (!started_ && ring_->filledSlots() > 0 && (ring_->filledSlots() == AudioRing::kSlots || ended_ || decoderDry)) {
        if (!ring_->isOpen()) ring_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink_->start(ring_);
        started_ = true;
        positionTimer_.start();
    }
    // Once the last block is in, the buffers that come back are not refilled.
    if (ended_ || decoderDry) feedTimer_.stop();
}

void MiniPlayer::stop() {
    positionTimer_.stop();
    feedTimer_.stop();
    if (sink_) sink_->stop();
    decoder_.stop();
    ring_->empty();
    started_ = false;
    ended_ = true;
}

void MiniPlayer::closePlayer() {
    stop();
    hide();
}

bool MiniPlayer::outputRunning() const {
    return sink_ && started_ && sink_->state() != QAudio::StoppedState;
}

std::uint64_t MiniPlayer::positionBytes() const {
    std::uint64_t played = 0;
    if (sink_ && started_) played = static_cast<std::uint64_t>(sink_->processedUSecs()) * 44100 / 1000000 * 4;
    return base_ + played;
}

void MiniPlayer::showPosition() {
    const std::uint64_t seconds = positionBytes() / kBytesPerSecond;
    timeLabel_->setText(minutesAndSeconds(seconds) + QStringLiteral(" / ") + minutesAndSeconds(total_ / kBytesPerSecond));
    if (!slider_->isSliderDown()) slider_->setValue(static_cast<int>(seconds));
}

bool MiniPlayer::event(QEvent* event) {
    if (event->type() < QEvent::User) return QWidget::event(event);
    const auto* numbered = dynamic_cast<NumberedMessageEvent*>(event);
    if (!numbered) return QWidget::event(event);
    const Message& message = numbered->message;
    switch (static_cast<unsigned>(message.id)) {
        case WM_MINIPLAYER_PLAY:
            play({message.text, {}, static_cast<std::uint32_t>(message.lParam), message.wParam == 1});
            return true;
        case WM_MINIPLAYER_SEEK:
            if (message.lParam == 1) {
                const auto seconds = static_cast<std::uint64_t>(message.wParam);
                timeLabel_->setText(minutesAndSeconds(seconds) + QStringLiteral(" / ") +
                                    minutesAndSeconds(total_ / kBytesPerSecond));
            } else if (!path_.empty()) {
                playFrom(static_cast<std::uint64_t>(message.wParam) * kBytesPerSecond);
            }
            return true;
        case WM_MINIPLAYER_VOLUME:
            if (volume_->available()) volume_->setVolume(volume_->minimum() + message.wParam * volume_->steps() / 100);
            return true;
        case WM_MINIPLAYER_CLOSE:
            closePlayer();
            return true;
        case WM_MINIPLAYER_RECOLOR:
            recolor();
            return true;
        case WM_MINIPLAYER_BUFFER_DONE:
            if (!ended_) feed();
            return true;
        default:
            return QWidget::event(event);
    }
}

void MiniPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (face_.isNull() || face_.devicePixelRatio() != ratio) face_ = drawPlayerFace(ratio);
    painter.drawPixmap(0, 0, face_);
}

void MiniPlayer::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MiniPlayer::mouseMoveEvent(QMouseEvent* event) {
    // Dragging anywhere on the window moves it.
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragOffset_);
}

void MiniPlayer::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MiniPlayer::closeEvent(QCloseEvent* event) {
    stop();
    event->accept();  // a tool window without delete-on-close is only hidden
}

}  // namespace tellavine::ui
