#pragma once
// A caption dragged with the mouse in a picture area: the pointer's movement in pixels
// becomes a movement in reference units (1/704 of the area's width), s = width / 704,
// units = trunc(pixels / s). The units are worked out from the whole movement since the
// button went down, not step by step: in an area wider than 704 pixels a single mouse
// step is less than one unit, and truncating each step would leave a slow drag stuck.

#include <QPoint>

namespace tellavine::ui {

class CaptionDrag {
public:
    void start(QPoint at);
    void stop() { active_ = false; }
    bool active() const { return active_; }

    // The units to add to the caption's position for the pointer now at `at` in an area
    // `areaWidth` pixels wide; (0, 0) when the caption stays where it is.
    QPoint moveTo(QPoint at, int areaWidth);

private:
    bool active_ = false;
    QPoint start_;
    QPoint applied_;  // units already handed out in this drag
};

}  // namespace tellavine::ui
