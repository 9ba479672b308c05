#pragma once
// The program's pictures, drawn in code so that they stay sharp at any scale and need
// no bitmap resources: toolbar and action icons, the CD icon, the About picture.

#include <QPixmap>
#include <QString>

namespace tellavine::ui {

enum class Artwork {
    NewProject,
    OpenProject,
    SaveProject,
    Editor,
    DiscMenu,
    Preview,
    BurnCd,
    Help,
    EraseDisc,
    EjectDisc,
    CloseTray,
    Simulate,
    Burn,
    Cd,
};

QPixmap drawArtwork(Artwork picture, int size);
// A burn page action face: the icon above its caption, `width` x `height` pixels.
QPixmap drawActionFace(Artwork picture, const QString& caption, int width, int height);
QPixmap drawAboutPicture();
QPixmap drawApplicationIcon(int size);

}  // namespace tellavine::ui
