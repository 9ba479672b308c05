#pragma once
// Disc menu pages drawn from the chosen template: each album on the page as its first
// photo inside the template's frame with a numbered title, next and previous buttons by
// page position. Drawn for the screen (from cached thumbnails), for encoding (from the
// full photos, fitted into a television frame) and as small template thumbnails.

#include "compose/canvas.h"
#include "compose/menu_template.h"
#include "compose/still_frame.h"
#include "compose/thumbnail_cache.h"
#include "project/model.h"

#include <memory>
#include <optional>

namespace tellavine {

inline constexpr int kMenuThumbnailWidth = 240;
inline constexpr int kMenuThumbnailHeight = 180;
inline constexpr int kMenuThumbnailMinimumDecodeWidth = 320;

enum class MenuPhotoMode {
    Full,    // the album's first photo decoded at full size (encoding)
    Screen,  // a thumbnail fitted into 240 x 180, from the cache when given one
};

struct MenuPageRequest {
    const Project* project = nullptr;
    std::string programDir;          // where "template\..." is found; empty: the program's own
    int firstAlbum = 0;              // index of the first album on the page, from 0
    MenuPhotoMode mode = MenuPhotoMode::Screen;
    ThumbnailCache* thumbnails = nullptr;  // screen mode; nullptr makes thumbnails afresh
};

// The album titles' font: "Arial", 24-pixel cell, normal weight, not antialiased.
LogFont menuTitleFont();

// Draws the page canvas and stretches it into `destination` of `target`.
void drawMenuPage(Picture& target, Rect destination, const MenuPageRequest& request);

// The template's look without albums: background at its own size and the frame at every
// item position, stretched into `destination` (128 x 96 in the template list).
void drawTemplateThumbnail(Picture& target, Rect destination, const std::string& programDir,
                           const std::string& templateFile, const std::string& backgroundOverride);

struct MenuFrameRequest {
    const Project* project = nullptr;
    std::string programDir;
    int page = 0;  // from 0
    TvStandard standard = TvStandard::PAL;
    AspectCorrection aspect = AspectCorrection::NoCorrection;
    int cropPercent = 0;
};

// The page for encoding: the canvas scaled into the TV-safe area of the HighRes frame,
// black around it, squeezed to 704 pixels wide.
StillFrame composeMenuFrame(const MenuFrameRequest& request);

// The screen-mode thumbnail of a photo: a JPEG-reduced load, rotated, fitted into
// 240 x 180. Taken from `cache` when there, stored in it otherwise.
std::shared_ptr<const Picture> menuThumbnail(const std::string& path, int rotation, ThumbnailCache* cache);

}  // namespace tellavine
