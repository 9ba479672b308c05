#pragma once
// The faces of the disc menu page's four bitmap buttons, drawn in code: a small sign
// beside a caption on a light rounded plate.

#include <QPixmap>
#include <QString>

namespace tellavine::ui {

enum class MenuButtonSign { Previous, Next, Music, Picture };

QPixmap drawMenuButtonFace(MenuButtonSign sign, const QString& caption, int width, int height);

}  // namespace tellavine::ui
