#pragma once
// The engine's pictures (24-bit RGB, top-down rows) as Qt images, for showing what the
// composition drew.

#include "imaging/picture.h"

#include <QImage>

namespace tellavine::ui {

// A deep copy; a null image for an invalid picture.
QImage toQImage(const Picture& picture);

}  // namespace tellavine::ui
