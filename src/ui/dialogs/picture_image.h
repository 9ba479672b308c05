#pragma once
// Pictures of the engine (24-bit RGB, rows top-down, no padding) as Qt images and back.

#include "imaging/picture.h"

#include <QImage>

namespace tellavine::ui {

QImage toQImage(const Picture& picture);
// An invalid picture for a null image.
Picture toPicture(const QImage& image);

}  // namespace tellavine::ui
