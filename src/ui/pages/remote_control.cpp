#include "ui/pages/remote_control.h"

#include "ui/app/tv_artwork.h"
#include "ui/controls/image_button.h"

#include <QPainter>

namespace tellavine::ui {
namespace {

struct RemoteButtonPlace {
    int id;
    int x, y;
    int stripWidth, height;
    const char* tooltip;
};

// The keys' places on the remote's face.
constexpr RemoteButtonPlace kButtons[] = {
    {30001, 16, 47, 132, 29, QT_TR_NOOP("Click to preview album 1")}, {30002, 55, 47, 132, 29, QT_TR_NOOP("Click to preview album 2")},
    {30003, 94, 47, 132, 29, QT_TR_NOOP("Click to preview album 3")}, {30004, 16, 90, 132, 29, QT_TR_NOOP("Click to preview album 4")},
    {30005, 55, 90, 132, 29, QT_TR_NOOP("Click to preview album 5")}, {30006, 94, 90, 132, 29, QT_TR_NOOP("Click to preview album 6")},
    {30007, 16, 133, 132, 29, QT_TR_NOOP("Click to preview album 7")}, {30008, 55, 133, 132, 29, QT_TR_NOOP("Click to preview album 8")},
    {30009, 94, 133, 132, 29, QT_TR_NOOP("Click to preview album 9")}, {30010, 19, 179, 192, 30, QT_TR_NOOP("Start preview")},
    {30011, 75, 179, 192, 30, "Stop preview"},            {30012, 19, 219, 192, 30, "Select previous menu"},
    {30013, 75, 219, 192, 30, "Select next menu"},
};

}  // namespace

CDlgRemoteControl::CDlgRemoteControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("remoteControl"));
    const qreal ratio = devicePixelRatioF() < 2 ? 2 : devicePixelRatioF();
    for (const RemoteButtonPlace& place : kButtons) {
        const int id = place.id;
        QPixmap face;
        if (id <= kRemoteAlbum9) {
            face = drawNumberKey(id - 30000, ratio);
        } else {
            const RemoteKey keys[] = {RemoteKey::Start, RemoteKey::Stop, RemoteKey::PreviousMenu, RemoteKey::NextMenu};
            face = drawRemoteKey(keys[id - kRemoteStart], ratio);
        }
        auto* button = new ImageButton(this);
        ImageButtonDescriptor descriptor;
        descriptor.x = place.x;
        descriptor.y = place.y;
        descriptor.stripWidth = place.stripWidth;
        descriptor.height = place.height;
        descriptor.strip = makeButtonStrip(face);
        descriptor.controlId = id;
        button->create(descriptor);
        button->setToolTip(tr(place.tooltip));
        button->setAccessibleDescription(tr("Remote Control button"));
        button->setObjectName(QStringLiteral("remote%1").arg(id));
        connect(button, &ImageButton::clicked, this, [this, id] { emit command(id); });
        buttons_[id] = button;
    }
}

ImageButton* CDlgRemoteControl::button(int command) const {
    const auto it = buttons_.find(command);
    return it == buttons_.end() ? nullptr : it->second;
}

void CDlgRemoteControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const qreal ratio = devicePixelRatioF();
    if (face_.isNull() || face_.devicePixelRatio() != ratio) face_ = drawRemoteFace(ratio);
    painter.drawPixmap(0, 0, face_);
}

}  // namespace tellavine::ui
