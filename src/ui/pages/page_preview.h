#pragma once
// The preview page: a television that shows what the finished disc would show, and the
// remote control that drives it. Start shows the current disc-menu page (drawn by the
// menu composition, with the menu music); a number key plays that album as a slideshow
// with its timing, captions and music; Stop, the end of the album or leaving the page
// returns to the menu page. Nothing is encoded: photos are decoded and drawn directly,
// and the music goes to the mini player, which stays hidden.

#include "imaging/picture.h"
#include "project/model.h"
#include "ui/pages/preview_loader.h"
#include "ui/pages/slideshow_clock.h"

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tellavine {
class ThumbnailCache;
}

namespace tellavine::ui {

class CDlgRemoteControl;

inline constexpr int kPreviewWidth = 460;
inline constexpr int kPreviewHeight = 345;

// Where a w x h photo lies on the 460 x 345 screen: as large as fits, centred on the
// free axis. Empty for a photo without pixels.
QRect previewPhotoRect(int width, int height);

struct PreviewServices {
    std::string programDir;  // where the menu templates are
    // The mini player, hidden: play a file of `lengthBytes` playback bytes, or stop.
    std::function<void(const std::string& path, std::int32_t lengthBytes)> playMusic;
    std::function<void()> closeMusic;
    std::unique_ptr<SlideshowClock> clock;  // a Qt timer unless set
};

class CPagePreview : public QWidget {
    Q_OBJECT
public:
    CPagePreview(const Project& project, PreviewServices services, QWidget* parent = nullptr);
    ~CPagePreview() override;

    // The remote's keys (30001..30013).
    void command(int id);
    // Stop (also when the main window switches pages).
    void stopPreview();
    // Enables the remote's keys for the page shown and the playing state.
    void refreshButtons();

    CDlgRemoteControl* remote() const { return remote_; }
    bool playing() const { return playing_; }
    int pageStart() const { return pageStart_; }
    // What the television's screen shows (null before the first Start).
    QImage screen() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPoint televisionOrigin() const;
    QRect screenRect() const;
    void showMenuPage();
    void playAlbum(int key);
    void slideshowTick();
    void drawPhoto(const Picture& photo);

    const Project& project_;
    PreviewServices services_;
    std::unique_ptr<ThumbnailCache> thumbnails_;
    CDlgRemoteControl* remote_ = nullptr;
    PreviewLoader loader_;
    Picture screen_;  // 460 x 345; empty until Start is first pressed
    QPixmap television_;
    int pageStart_ = 0;
    int album_ = -1;  // the album playing
    bool playing_ = false;
};

}  // namespace tellavine::ui
