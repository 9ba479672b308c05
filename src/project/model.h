#pragma once
// The project model: the one in-memory document of the program. It belongs to the UI
// thread; the build thread reads it while the modal progress window blocks editing,
// so nothing here is locked.

#include "project/logfont.h"
#include "project/messages.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tellavine {

inline constexpr int kMaxAlbums = 99;
inline constexpr int kMaxSlidesPerAlbum = 1980;
inline constexpr std::size_t kMaxTextLength = 259;  // fits a 260-byte field with its NUL
inline constexpr int kMaxPlayTimeSeconds = 120;

// Menu pages for `albums` at `itemsPerPage` a page; none without album buttons.
inline int menuPageCount(int albums, int itemsPerPage) {
    return itemsPerPage > 0 ? (albums + itemsPerPage - 1) / itemsPerPage : 0;
}
inline constexpr int kDefaultPlayTimeSeconds = 4;
inline constexpr int kMusicBytesPerSecond = 176400;  // 44.1 kHz, 16-bit, stereo

// 32-bit Windows colour: red in the low byte, then green, then blue.
using ColourRef = std::uint32_t;
constexpr ColourRef makeColourRef(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | (green << 8) | (static_cast<ColourRef>(blue) << 16);
}

enum class CaptionAlign : std::int32_t {
    TopLeft = 0,
    TopCenter = 1,
    TopRight = 2,
    BottomLeft = 3,
    BottomCenter = 4,
    BottomRight = 5,
    UserDefined = 6,
};
const char* captionAlignLabel(CaptionAlign align);

struct SlideCaption {
    LogFont font = LogFont::captionDefault();
    std::string text;
    std::int32_t x = -1;
    std::int32_t y = -1;
    ColourRef textColour = makeColourRef(255, 255, 255);
    std::int32_t pointSize = 0;
    bool shadow = true;
    ColourRef shadowColour = 0;
    CaptionAlign align = CaptionAlign::BottomCenter;
};

struct Slide {
    std::string path;
    std::string displayName;
    bool rotated = false;
    std::int32_t rotation = 0;  // clockwise degrees: 0, 90, 180, 270
    bool hasCaption = false;
    SlideCaption caption;
};

struct Album {
    std::string name;
    std::int32_t playTime = kDefaultPlayTimeSeconds;
    std::string musicPath;
    std::int32_t musicLength = 0;  // bytes of 44.1 kHz 16-bit stereo sound
    // Slides keep their address while the album changes, so callers may hold on to
    // a slide (the editor's list rows, the build) across edits of other slides.
    std::vector<std::unique_ptr<Slide>> slides;

    bool hasMusic() const { return !musicPath.empty(); }
};

struct MenuSettings {
    std::string templatePath = "template\\classic.ini";
    std::string musicPath;
    std::int32_t musicLength = 0;
    std::string backgroundPicturePath;
};

enum class TvStandard { NTSC = 0, PAL = 1 };
enum class AspectCorrection { NoCorrection = 0, Aspect4x3 = 1, Aspect16x9 = 2 };
enum class OutputTarget { Recorder, ImageFile };
// The sample levels of the stills: Studio is what MPEG-1 decoders and televisions take
// (Y 16..235, Cb and Cr 16..240); Full (Y 0..255) crushes shadows and burns out
// highlights on them, and is kept only for those who want the old stills.
enum class StillLevels { Studio, Full };
const char* aspectCorrectionLabel(AspectCorrection correction);

inline constexpr const char* kSpeedLabels[] = {
    "1x    (150 kb/s)", "2x    (300 kb/s)", "4x    (600 kb/s)", "8x    (1200 kb/s)",
    "12x  (1800 kb/s)", "24x  (3600 kb/s)", "Max. Speed"};

struct DiscOptions {
    TvStandard tvStandard = TvStandard::NTSC;
    AspectCorrection aspectCorrection = AspectCorrection::Aspect4x3;
    int tvCropping = 5;  // percent, 0..20
    std::string volumeLabel = "My Photo Slideshow";
    bool includePhotoFiles = true;
    bool includeAudioFiles = true;
    OutputTarget outputTarget = OutputTarget::ImageFile;
    std::string imagePath;  // the CUE file; the BIN file is the same path ending ".bin"
    int recorderIndex = 0;
    int speedIndex = 2;
    bool burnProof = false;
    bool simulate = false;
    StillLevels stillLevels = StillLevels::Studio;
};

// The length of a music file in bytes of 44.1 kHz 16-bit stereo sound, or nothing when
// it cannot be determined. The music subsystem supplies the MP3 measurement.
using MusicLengthQuery = std::function<std::optional<std::int32_t>(const std::string& path)>;

enum class AlbumRefusal { None, TooManyAlbums, DuplicateName };

class Project {
public:
    Project();

    // --- albums -------------------------------------------------------------------
    const std::vector<Album>& albums() const { return albums_; }
    int albumCount() const { return static_cast<int>(albums_.size()); }
    Album& album(int index) { return albums_.at(static_cast<std::size_t>(index)); }
    const Album& album(int index) const { return albums_.at(static_cast<std::size_t>(index)); }

    // Removes all albums and their slides; the menu settings stay.
    void clear();
    // The new album's index, or -1 with the reason in `refusal` (and the message shown).
    int addAlbum(const std::string& name, AlbumRefusal* refusal = nullptr);
    bool renameAlbum(int index, const std::string& name);
    void removeAlbum(int index);
    // Stores name, play time and music, measuring the music's length. False when the
    // name is taken by another album (nothing changes then).
    bool setAlbumProperties(int index, const std::string& name, int playTime,
                            const std::string& musicPath);
    void clearAlbumMusic(int index);
    // Appends an album read from a project file as it stands (files are not checked for
    // unique names); makes it current. -1 when the project already holds 99 albums.
    int appendAlbum(Album album);
    // True when another album than `except` has `name` (letter case ignored).
    bool albumNameTaken(const std::string& name, int except = -1) const;

    // --- slides -------------------------------------------------------------------
    // The new slide, or nullptr when the current album is full (the message is shown).
    Slide* addSlide(int albumIndex, const std::string& path, const std::string& displayName,
                    int rotation);
    void removeSlides(int albumIndex, const std::set<const Slide*>& slides);
    void removeAllSlides(int albumIndex);
    void rotateClockwise(Slide& slide);
    void rotateCounterClockwise(Slide& slide);
    void setCaption(Slide& slide, const SlideCaption& caption);
    void moveCaption(Slide& slide, int dx, int dy);
    // Stores the caption as edited, a User Defined alignment included: editing the text
    // of a caption placed by hand leaves it where it was put.
    void replaceCaption(Slide& slide, const SlideCaption& caption);
    // Shows or hides the slide's caption; its text and settings are kept.
    void setCaptionShown(Slide& slide, bool shown);

    // --- menu and defaults ----------------------------------------------------------
    const MenuSettings& menu() const { return menu_; }
    // Changes the menu settings (the disc menu page's edits) and marks the project.
    void setMenu(const MenuSettings& menu);
    void setMenuMusic(const std::string& musicPath);
    void setDefaultPlayTime(int oldSeconds, int newSeconds);
    int defaultPlayTime() const { return defaultPlayTime_; }

    int totalPhotoCount() const;
    int menuPageCount() const { return tellavine::menuPageCount(albumCount(), itemsPerPage_); }

    int currentAlbum() const { return currentAlbum_; }
    void setCurrentAlbum(int index) { currentAlbum_ = index; }
    int itemsPerPage() const { return itemsPerPage_; }
    void setItemsPerPage(int count) { itemsPerPage_ = count; }
    // How the front end counts a template's items per page (the menu composition's
    // answer); asked when a project is loaded or the template is set.
    void setTemplateItemsQuery(std::function<int(const std::string& templatePath)> query) {
        templateItems_ = std::move(query);
    }
    // Reads itemsPerPage from the template through the query; unchanged without one.
    void refreshItemsPerPage() {
        if (templateItems_) itemsPerPage_ = templateItems_(menu_.templatePath);
    }
    const std::string& filePath() const { return filePath_; }
    void setFilePath(const std::string& path) {
        filePath_ = path;
        fileUnreadable_ = false;
    }
    // The file named by filePath() could not be read: saving asks for a name rather than
    // replace it with what is (not) in memory.
    bool fileUnreadable() const { return fileUnreadable_; }
    void setFileUnreadable() { fileUnreadable_ = true; }

    bool modified() const { return modified_; }
    void setModified(bool modified);
    // Called after every change with the status line "Total : %d Albums, %d Photos".
    void setStatusCallback(std::function<void(const std::string&)> callback);
    std::string statusLine() const;

    void setMusicLengthQuery(MusicLengthQuery query) { mp3Length_ = std::move(query); }
    // The front end's message boxes, for the model's refusals and the file readers.
    void setServices(EngineServices services) { services_ = std::move(services); }
    const EngineServices& services() const { return services_; }

private:
    void changed();
    std::int32_t measureMusic(const std::string& path) const;

    std::vector<Album> albums_;
    MenuSettings menu_;
    int currentAlbum_ = -1;
    std::string filePath_;
    bool modified_ = false;
    bool fileUnreadable_ = false;
    int itemsPerPage_ = 0;
    int defaultPlayTime_ = kDefaultPlayTimeSeconds;
    std::function<void(const std::string&)> statusCallback_;
    MusicLengthQuery mp3Length_;
    std::function<int(const std::string&)> templateItems_;
    EngineServices services_;
};

// The music length stored for a file: the MP3 query for ".MP3", the file size for
// ".WAV", nothing when it cannot be measured. Shows the Part's messages on failure.
std::optional<std::int32_t> musicFileLength(const std::string& path, const MusicLengthQuery& mp3Length,
                                            const EngineServices& services);

}  // namespace tellavine
