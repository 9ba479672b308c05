#include "compose/menu_page.h"

#include "compose/frame_geometry.h"
#include "compose/slide_frame.h"
#include "compose/text_renderer.h"
#include "imaging/codec.h"
#include "platform/folders.h"
#include "platform/text.h"

#include <algorithm>

namespace tellavine {

LogFont menuTitleFont() {
    LogFont font;
    font.setFace("Arial");
    font.height = 24;
    font.weight = 400;
    font.charSet = logfont::kAnsiCharset;
    font.quality = 3;  // NONANTIALIASED_QUALITY
    font.pitchAndFamily = logfont::kVariablePitch;
    return font;
}

namespace {

Picture loadOptional(const std::string& path) {
    if (path.empty()) return {};
    return loadPicture(path).picture;
}

// Fits w x h into the 240 x 180 thumbnail box.
FrameSize thumbnailSize(int w, int h) {
    if (w > h) {
        const int height = static_cast<int>(static_cast<double>(h) / w * kMenuThumbnailWidth);
        if (height <= kMenuThumbnailHeight) return {kMenuThumbnailWidth, height};
        return {static_cast<int>(static_cast<double>(w) * kMenuThumbnailHeight / h), kMenuThumbnailHeight};
    }
    return {static_cast<int>(static_cast<double>(w) / h * kMenuThumbnailHeight), kMenuThumbnailHeight};
}

// Stretches `canvas` into `destination` of `target` with area averaging.
void stretchInto(Picture& target, Rect destination, Picture canvas) {
    if (destination.width() <= 0 || destination.height() <= 0 || !canvas.valid()) return;
    if (!canvas.resample(destination.width(), destination.height())) return;
    target.mix(canvas, destination.left, target.height() - destination.top - canvas.height());
}

void drawTitle(Canvas& canvas, const MenuTemplate& t, int n, const std::string& albumName) {
    if (t.textWidth <= 0 || t.textHeight <= 0) return;
    const TemplatePoint at = t.texts[static_cast<std::size_t>(n - 1)];
    cairo_t* cr = canvas.context();
    cairo_save(cr);
    cairo_rectangle(cr, at.x, at.y, t.textWidth, t.textHeight);
    cairo_clip(cr);
    TextLine title(cr, menuTitleFont(), formatText("%02d %s", n, albumName.c_str()));
    title.ellipsizeTo(t.textWidth);
    title.draw(at.x, at.y, t.textColour);
    cairo_restore(cr);
}

std::shared_ptr<const Picture> albumPhoto(const Album& album, const MenuPageRequest& request) {
    const Slide& first = *album.slides.front();
    if (request.mode == MenuPhotoMode::Screen) return menuThumbnail(first.path, first.rotation, request.thumbnails);
    Picture photo = loadPicture(first.path).picture;
    if (!photo.valid()) return nullptr;
    rotateBySlide(photo, first.rotation);
    return std::make_shared<const Picture>(std::move(photo));
}

}  // namespace

std::shared_ptr<const Picture> menuThumbnail(const std::string& path, int rotation, ThumbnailCache* cache) {
    if (cache) {
        if (auto found = cache->find(path, rotation)) return found;
    }
    Picture photo = loadPictureReduced(path, kMenuThumbnailMinimumDecodeWidth).picture;
    if (!photo.valid()) return nullptr;
    rotateBySlide(photo, rotation);
    const FrameSize size = thumbnailSize(photo.width(), photo.height());
    photo.resample(size.width, size.height);
    if (!cache) return std::make_shared<const Picture>(std::move(photo));
    // The stored copy itself: another thread may evict the entry before a second look-up.
    return cache->store(path, std::move(photo), rotation);
}

namespace {

const std::string& programDirOr(const std::string& given) { return given.empty() ? appFolders().programDir : given; }

}  // namespace

void drawMenuPage(Picture& target, Rect destination, const MenuPageRequest& request) {
    if (!request.project) return;
    const Project& project = *request.project;
    const MenuTemplate t = readUsableTemplate(programDirOr(request.programDir), project.menu().templatePath);
    Canvas canvas(t.drawWidth(), t.drawHeight());
    if (!canvas.valid()) return;

    const std::string& override = project.menu().backgroundPicturePath;
    Picture background = loadOptional(override.empty() ? t.backgroundImage : override);
    if (background.valid() && background.resample(canvas.width(), canvas.height())) canvas.drawPicture(background, 0, 0);
    background = Picture();

    const Picture frame = loadOptional(t.frameImage);
    const int albums = project.albumCount();
    const int first = request.firstAlbum;
    for (int n = 1; n <= t.itemsCount; ++n) {
        if (first + n - 1 >= albums) break;
        const Album& album = project.album(first + n - 1);
        const TemplatePoint at = t.items[static_cast<std::size_t>(n - 1)];
        if (!album.slides.empty()) {
            if (auto photo = albumPhoto(album, request); photo && t.imageWidth > 0 && t.imageHeight > 0) {
                const Placement place = fitPhoto(photo->width(), photo->height(), t.imageWidth, t.imageHeight);
                Picture fitted = photo->clone();
                photo.reset();
                fitted.resample(place.width, place.height);
                canvas.drawPicture(fitted, at.x + t.frameOffsetX + place.x, at.y + t.frameOffsetY + place.y);
            }
            drawTitle(canvas, t, n, album.name);
        }
        canvas.drawPictureRedTransparent(frame, at.x, at.y, t.frameWidth, t.frameHeight);
    }
    if (first + t.itemsCount < albums)
        canvas.drawPictureRedTransparent(loadOptional(t.nextButton), t.nextPosition.x, t.nextPosition.y, t.nextWidth, t.nextHeight);
    if (first > 0)
        canvas.drawPictureRedTransparent(loadOptional(t.prevButton), t.prevPosition.x, t.prevPosition.y, t.prevWidth, t.prevHeight);
    stretchInto(target, destination, canvas.toPicture());
}

void drawTemplateThumbnail(Picture& target, Rect destination, const std::string& programDir,
                           const std::string& templateFile, const std::string& backgroundOverride) {
    const MenuTemplate t = readTemplate(programDirOr(programDir), templateFile);
    Canvas canvas(t.drawWidth(), t.drawHeight());
    if (!canvas.valid()) return;
    canvas.drawPicture(loadOptional(backgroundOverride.empty() ? t.backgroundImage : backgroundOverride), 0, 0);
    const Picture frame = loadOptional(t.frameImage);
    for (const TemplatePoint& at : t.items) canvas.drawPictureRedTransparent(frame, at.x, at.y, t.frameWidth, t.frameHeight);
    stretchInto(target, destination, canvas.toPicture());
}

StillFrame composeMenuFrame(const MenuFrameRequest& request) {
    const FrameSize frameSize = compositionFrameSize(request.standard, request.aspect, StillResolution::HighRes);
    const FrameSize output = outputStillSize(request.standard, StillResolution::HighRes);
    const SafeArea area = safeArea(frameSize, request.cropPercent);

    MenuPageRequest page;
    page.project = request.project;
    page.programDir = request.programDir;
    page.mode = MenuPhotoMode::Full;
    const int perPage = request.project ? templateItemsPerPage(programDirOr(request.programDir), request.project->menu().templatePath) : 1;
    page.firstAlbum = request.page * perPage;
    Picture safe = Picture::create(area.width, area.height);
    drawMenuPage(safe, {0, 0, area.width, area.height}, page);

    Picture working;
    if (area.width == frameSize.width && area.height == frameSize.height) {
        working = std::move(safe);
    } else {
        working = Picture::create(frameSize.width, frameSize.height);
        working.mix(safe, (frameSize.width - area.width) / 2, (frameSize.height - area.height) / 2);
    }
    if (working.width() != output.width || working.height() != output.height) working.resample(output.width, output.height);
    return makeStillFrame(working, StillResolution::HighRes);
}

}  // namespace tellavine
