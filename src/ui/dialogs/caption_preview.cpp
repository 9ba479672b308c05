#include "ui/dialogs/caption_preview.h"

#include "compose/caption.h"
#include "compose/text_renderer.h"
#include "ui/dialogs/picture_image.h"

#include <QPainter>

namespace tellavine::ui {

namespace {

constexpr Rgb kPreviewBackground{128, 128, 128};

}  // namespace

CaptionPreview::CaptionPreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setMinimumSize(200, 60);
}

void CaptionPreview::setCaption(const SlideCaption& caption) {
    caption_ = caption;
    update();
}

void CaptionPreview::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect area = contentsRect();
    Picture background = Picture::create(area.width(), area.height());
    if (!background.valid()) return;
    background.clear(kPreviewBackground);
    Canvas canvas(background);
    if (!canvas.valid()) return;
    // A frame 704 pixels wide draws the caption at one pixel a reference unit; the text
    // stands where it is centred in the preview.
    SlideCaption centred = caption_;
    {
        TextLine measure(canvas.context(), centred.font, centred.text);
        centred.x = (area.width() - measure.width()) / 2;
        centred.y = (area.height() - measure.height()) / 2;
    }
    centred.align = CaptionAlign::UserDefined;
    drawCaption(canvas, Rect{0, 0, static_cast<int>(kCaptionReferenceWidth), area.height()}, centred, false);
    QPainter(this).drawImage(area.topLeft(), toQImage(canvas.toPicture()));
}

}  // namespace tellavine::ui
