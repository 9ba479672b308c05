#include "project/model.h"

#include "platform/text.h"
#include "project/messages.h"
#include "project/strings.h"
#include "project/text_catalog.h"

#include <algorithm>
#include <filesystem>

namespace tellavine {

const char* captionAlignLabel(CaptionAlign align) {
    switch (align) {
        case CaptionAlign::TopLeft: return "Top Left";
        case CaptionAlign::TopCenter: return "Top Center";
        case CaptionAlign::TopRight: return "Top Right";
        case CaptionAlign::BottomLeft: return "Bottom Left";
        case CaptionAlign::BottomCenter: return "Bottom Center";
        case CaptionAlign::BottomRight: return "Bottom Right";
        case CaptionAlign::UserDefined: return "User Defined";
    }
    return "";
}

const char* aspectCorrectionLabel(AspectCorrection correction) {
    switch (correction) {
        case AspectCorrection::NoCorrection: return "No correction";
        case AspectCorrection::Aspect4x3: return "4:3";
        case AspectCorrection::Aspect16x9: return "16:9";
    }
    return "";
}

std::optional<std::int32_t> musicFileLength(const std::string& path, const MusicLengthQuery& mp3Length,
                                            const EngineServices& services) {
    if (endsWithIgnoreCase(path, ".MP3")) {
        auto length = mp3Length ? mp3Length(path) : std::nullopt;
        if (!length) services.showMessage(IDS_MP3_LENGTH_FAILED);
        return length;
    }
    if (endsWithIgnoreCase(path, ".WAV")) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (ec) {
            services.showMessage(IDS_WAV_LENGTH_FAILED);
            return std::nullopt;
        }
        return static_cast<std::int32_t>(std::min<std::uintmax_t>(size, 0x7fffffff));
    }
    return std::nullopt;
}

Project::Project() = default;

void Project::clear() {
    albums_.clear();
    // An empty project has no album to show; the editor treats 0 with no albums alike.
    currentAlbum_ = 0;
    changed();
}

bool Project::albumNameTaken(const std::string& name, int except) const {
    for (int i = 0; i < albumCount(); ++i) {
        if (i != except && equalsIgnoreCase(albums_[static_cast<std::size_t>(i)].name, name)) return true;
    }
    return false;
}

int Project::addAlbum(const std::string& name, AlbumRefusal* refusal) {
    auto refuse = [&](AlbumRefusal why, int message) {
        if (refusal) *refusal = why;
        services_.showMessage(message);
        return -1;
    };
    if (albumCount() >= kMaxAlbums) return refuse(AlbumRefusal::TooManyAlbums, IDS_MAX_ALBUMS);
    const auto fitted = truncateUtf8(name, kMaxTextLength);
    if (albumNameTaken(fitted)) return refuse(AlbumRefusal::DuplicateName, IDS_DUPLICATE_ALBUM_NAME);
    if (refusal) *refusal = AlbumRefusal::None;
    Album album;
    album.name = fitted;
    album.playTime = defaultPlayTime_;
    albums_.push_back(std::move(album));
    currentAlbum_ = albumCount() - 1;
    changed();
    return currentAlbum_;
}

int Project::appendAlbum(Album album) {
    if (albumCount() >= kMaxAlbums) return -1;
    albums_.push_back(std::move(album));
    currentAlbum_ = albumCount() - 1;
    changed();
    return currentAlbum_;
}

bool Project::renameAlbum(int index, const std::string& name) {
    const auto fitted = truncateUtf8(name, kMaxTextLength);
    if (albumNameTaken(fitted, index)) {
        services_.showMessage(IDS_DUPLICATE_ALBUM_NAME);
        return false;
    }
    album(index).name = fitted;
    changed();
    return true;
}

void Project::removeAlbum(int index) {
    if (index < 0 || index >= albumCount()) return;
    albums_.erase(albums_.begin() + index);  // later albums move up with all they hold
    currentAlbum_ = albumCount() - 1;
    changed();
}

bool Project::setAlbumProperties(int index, const std::string& name, int playTime,
                                 const std::string& musicPath) {
    const auto fitted = truncateUtf8(name, kMaxTextLength);
    if (albumNameTaken(fitted, index)) {
        services_.showMessage(IDS_DUPLICATE_ALBUM_NAME);
        return false;
    }
    Album& target = album(index);
    target.name = fitted;
    target.playTime = playTime;
    target.musicPath = truncateUtf8(musicPath, kMaxTextLength);
    target.musicLength = target.musicPath.empty() ? 0 : measureMusic(target.musicPath);
    changed();
    return true;
}

void Project::clearAlbumMusic(int index) {
    album(index).musicPath.clear();
    changed();
}

std::int32_t Project::measureMusic(const std::string& path) const {
    return musicFileLength(path, mp3Length_, services_).value_or(0);
}

Slide* Project::addSlide(int albumIndex, const std::string& path, const std::string& displayName,
                         int rotation) {
    // The limit is tested on the current album, which is the one callers append to.
    const int current = currentAlbum_ >= 0 && currentAlbum_ < albumCount() ? currentAlbum_ : albumIndex;
    if (album(current).slides.size() >= static_cast<std::size_t>(kMaxSlidesPerAlbum)) {
        services_.showMessage(IDS_MAX_PHOTOS);
        return nullptr;
    }
    auto slide = std::make_unique<Slide>();
    slide->path = truncateUtf8(path, kMaxTextLength);
    slide->displayName = truncateUtf8(displayName, kMaxTextLength);
    slide->rotation = rotation;
    slide->rotated = rotation != 0;
    Slide* added = slide.get();
    album(albumIndex).slides.push_back(std::move(slide));
    changed();
    return added;
}

void Project::removeSlides(int albumIndex, const std::set<const Slide*>& slides) {
    auto& list = album(albumIndex).slides;
    std::erase_if(list, [&](const std::unique_ptr<Slide>& slide) { return slides.count(slide.get()) != 0; });
    changed();
}

void Project::removeAllSlides(int albumIndex) {
    album(albumIndex).slides.clear();
    changed();
}

void Project::rotateClockwise(Slide& slide) {
    slide.rotation = slide.rotated ? slide.rotation + 90 : 90;
    if (slide.rotation >= 360) slide.rotation = 0;
    slide.rotated = slide.rotation != 0;
    changed();
}

void Project::rotateCounterClockwise(Slide& slide) {
    slide.rotation = slide.rotated ? slide.rotation - 90 : 270;
    if (slide.rotation < 0) slide.rotation = 270;
    slide.rotated = slide.rotation != 0;
    changed();
}

void Project::setCaption(Slide& slide, const SlideCaption& caption) {
    slide.caption = caption;
    slide.caption.text = truncateUtf8(caption.text, kMaxTextLength);
    // Only dragging the text makes a user-defined position.
    if (slide.caption.align == CaptionAlign::UserDefined) slide.caption.align = CaptionAlign::BottomCenter;
    slide.hasCaption = true;
    changed();
}

void Project::moveCaption(Slide& slide, int dx, int dy) {
    slide.caption.x += dx;
    slide.caption.y += dy;
    slide.caption.align = CaptionAlign::UserDefined;
    changed();
}

void Project::replaceCaption(Slide& slide, const SlideCaption& caption) {
    slide.caption = caption;
    slide.caption.text = truncateUtf8(caption.text, kMaxTextLength);
    slide.hasCaption = true;
    changed();
}

void Project::setCaptionShown(Slide& slide, bool shown) {
    slide.hasCaption = shown;
    changed();
}

void Project::setMenu(const MenuSettings& menu) {
    menu_ = menu;
    menu_.templatePath = truncateUtf8(menu.templatePath, kMaxTextLength);
    menu_.musicPath = truncateUtf8(menu.musicPath, kMaxTextLength);
    menu_.backgroundPicturePath = truncateUtf8(menu.backgroundPicturePath, kMaxTextLength);
    changed();
}

void Project::setMenuMusic(const std::string& musicPath) {
    menu_.musicPath = truncateUtf8(musicPath, kMaxTextLength);
    menu_.musicLength = menu_.musicPath.empty() ? 0 : measureMusic(menu_.musicPath);
    changed();
}

void Project::setDefaultPlayTime(int oldSeconds, int newSeconds) {
    bool anyChanged = false;
    for (auto& each : albums_) {
        if (each.playTime == oldSeconds && oldSeconds != newSeconds) {
            each.playTime = newSeconds;
            anyChanged = true;
        }
    }
    defaultPlayTime_ = newSeconds;
    if (anyChanged) changed();  // setting the start-up default alone changes no album
}

int Project::totalPhotoCount() const {
    int total = 0;
    for (const auto& each : albums_) total += static_cast<int>(each.slides.size());
    return total;
}

void Project::setModified(bool modified) {
    modified_ = modified;
}

void Project::setStatusCallback(std::function<void(const std::string&)> callback) {
    statusCallback_ = std::move(callback);
}

std::string Project::statusLine() const {
    return fillArguments(translated("Total : %1 Albums, %2 Photos"),
                         {std::to_string(albumCount()), std::to_string(totalPhotoCount())});
}

void Project::changed() {
    modified_ = true;
    if (batchDepth_ > 0) {
        batchChanged_ = true;
        return;
    }
    if (statusCallback_) statusCallback_(statusLine());
}

}  // namespace tellavine
