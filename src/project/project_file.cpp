#include "project/project_file.h"

#include "platform/bytes.h"
#include "platform/file_replace.h"
#include "platform/profile.h"
#include "platform/regular_file.h"
#include "platform/text.h"
#include "project/messages.h"
#include "project/strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tellavine {
namespace {

// The largest project the model can hold is about 120 MB of slide records; a larger
// file is not one of ours and is not read at all.
constexpr std::uint64_t kMaxProjectFileBytes =
    kProjectHeaderSize + kMenuBlockSize + kMaxAlbums * (kAlbumRecordSize + kMaxSlidesPerAlbum * kSlideRecordSize);
// An old project names every photo on a line of its own; full albums with long paths fit.
constexpr std::uint64_t kMaxOldProjectFileBytes = 64u << 20;

void noteDamage(std::string* damage, const std::string& what) {
    if (damage && damage->empty()) *damage = what;
}

void showFileFailure(const Project& project, const std::string& reason) {
    project.services().showText(fillPlaceholder(tableText(IDS_PROJECT_FILE_FAILED), reason));
}

void writeText(ByteWriter& out, const std::string& text) {
    out.fixedText(truncateUtf8(text, kFileTextSize - 1), kFileTextSize);
}

void writeLogFont(ByteWriter& out, const LogFont& font) {
    out.i32le(font.height);
    out.i32le(font.width);
    out.i32le(font.escapement);
    out.i32le(font.orientation);
    out.i32le(font.weight);
    out.u8(font.italic);
    out.u8(font.underline);
    out.u8(font.strikeOut);
    out.u8(font.charSet);
    out.u8(font.outPrecision);
    out.u8(font.clipPrecision);
    out.u8(font.quality);
    out.u8(font.pitchAndFamily);
    // The face name keeps its bytes as read; only the terminator is guaranteed.
    std::array<char, 32> face = font.faceName;
    face.back() = '\0';
    out.bytes(std::string_view(face.data(), face.size()));
}

LogFont readLogFont(ByteReader& in) {
    LogFont font;
    font.height = in.i32le();
    font.width = in.i32le();
    font.escapement = in.i32le();
    font.orientation = in.i32le();
    font.weight = in.i32le();
    font.italic = in.u8();
    font.underline = in.u8();
    font.strikeOut = in.u8();
    font.charSet = in.u8();
    font.outPrecision = in.u8();
    font.clipPrecision = in.u8();
    font.quality = in.u8();
    font.pitchAndFamily = in.u8();
    const auto face = in.bytes(font.faceName.size());
    if (face.size() == font.faceName.size()) std::memcpy(font.faceName.data(), face.data(), face.size());
    font.faceName.back() = '\0';
    return font;
}

void writeSlide(ByteWriter& out, const Slide& slide) {
    writeText(out, slide.path);
    out.i32le(slide.rotated ? 1 : 0);
    out.i32le(slide.rotation);
    out.i32le(slide.hasCaption ? 1 : 0);
    writeLogFont(out, slide.caption.font);
    writeText(out, slide.caption.text);
    out.i32le(slide.caption.x);
    out.i32le(slide.caption.y);
    out.u32le(slide.caption.textColour);
    out.i32le(slide.caption.pointSize);
    out.i32le(slide.caption.shadow ? 1 : 0);
    out.u32le(slide.caption.shadowColour);
    out.i32le(static_cast<std::int32_t>(slide.caption.align));
}

CaptionAlign alignFromFile(std::int32_t value) {
    // Values outside the list fall back to the default placement.
    return value >= 0 && value <= 6 ? static_cast<CaptionAlign>(value) : CaptionAlign::BottomCenter;
}

int rotationFromFile(std::int32_t value) {
    return value == 90 || value == 180 || value == 270 ? value : 0;
}

}  // namespace

std::string programFilePath(const std::string& programDir, const std::string& relativePath) {
    std::string path = relativePath;
    for (auto& c : path) {
        if (c == '\\') c = '/';
    }
    if (!path.empty() && path.front() == '/') return path;
    return programDir + path;
}

std::vector<std::uint8_t> serializeProject(const Project& project) {
    ByteWriter out;
    // Header.
    out.fixedText(kProjectSignature, kFileTextSize);
    out.i32le(kProjectVersion);
    out.i32le(project.albumCount());
    // Menu block.
    const MenuSettings& menu = project.menu();
    writeText(out, menu.templatePath);
    writeText(out, menu.musicPath);
    out.i32le(menu.musicLength);
    writeText(out, menu.backgroundPicturePath);
    // Albums, each followed by its slides.
    for (const Album& album : project.albums()) {
        writeText(out, album.name);
        out.i32le(album.playTime);
        writeText(out, album.musicPath);
        out.i32le(album.musicLength);
        out.i32le(static_cast<std::int32_t>(album.slides.size()));
        for (const auto& slide : album.slides) writeSlide(out, *slide);
    }
    return out.take();
}

bool saveProject(const Project& project, const std::string& path) {
    const auto bytes = serializeProject(project);
    if (const int error = replaceFileContent(path, bytes); error != 0) {
        showFileFailure(project, std::strerror(error));
        return false;
    }
    return true;
}

ProjectReadResult loadProject(Project& project, const std::string& path, const std::string& programDir,
                              std::string* damage, MissingTemplate missing) {
    std::string content;
    std::string error;
    if (!readRegularFile(path, kMaxProjectFileBytes, content, error)) {
        noteDamage(damage, error);
        showFileFailure(project, error);
        return ProjectReadResult::OpenFailed;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(content.data());
    return loadProjectBytes(project, std::span(data, content.size()), programDir, damage, missing);
}

ProjectReadResult loadProjectBytes(Project& project, std::span<const std::uint8_t> bytes,
                                   const std::string& programDir, std::string* damage, MissingTemplate missing) {
    ByteReader in(bytes);
    if (bytes.size() < kProjectHeaderSize || in.fixedText(kFileTextSize) != kProjectSignature) {
        noteDamage(damage, "it does not start with the project signature");
        project.services().showMessage(IDS_INVALID_PROJECT);
        return ProjectReadResult::Invalid;
    }
    if (const std::int32_t version = in.i32le(); version != kProjectVersion) {
        noteDamage(damage, formatText("its version %d is not %d", version, kProjectVersion));
        project.services().showMessage(IDS_VERSION_UNSUPPORTED);
        return ProjectReadResult::Unsupported;
    }
    // A count no project can have is damage, not an empty project.
    const std::int32_t albumCount = in.i32le();
    if (albumCount < 0) {
        noteDamage(damage, formatText("its album count is %d", albumCount));
        project.services().showMessage(IDS_INVALID_PROJECT);
        return ProjectReadResult::Invalid;
    }

    bool truncated = bytes.size() < kProjectHeaderSize + kMenuBlockSize;
    bool overLimits = false;
    if (truncated) noteDamage(damage, "it ends inside the menu settings");
    if (!truncated) {
        MenuSettings menu;
        menu.templatePath = in.fixedText(kFileTextSize);
        menu.musicPath = in.fixedText(kFileTextSize);
        menu.musicLength = in.i32le();
        menu.backgroundPicturePath = in.fixedText(kFileTextSize);
        std::error_code ec;
        if (missing == MissingTemplate::UseClassic &&
            !std::filesystem::exists(programFilePath(programDir, menu.templatePath), ec)) {
            menu.templatePath = kDefaultTemplatePath;
        }
        project.setMenu(menu);
    }
    project.refreshItemsPerPage();

    for (std::int32_t a = 0; a < albumCount && !truncated; ++a) {
        if (in.remaining() < kAlbumRecordSize) {
            truncated = true;
            noteDamage(damage, formatText("it ends before album %d of the %d it counts", a + 1, albumCount));
            break;
        }
        if (a >= kMaxAlbums) {
            overLimits = true;
            noteDamage(damage, formatText("it counts %d albums (max. %d)", albumCount, kMaxAlbums));
            break;
        }
        Album album;
        album.name = in.fixedText(kFileTextSize);
        album.playTime = in.i32le();
        album.musicPath = in.fixedText(kFileTextSize);
        album.musicLength = in.i32le();
        const std::int32_t slideCount = in.i32le();
        if (slideCount < 0) {
            project.clear();
            noteDamage(damage, formatText("album %d counts %d photos", a + 1, slideCount));
            project.services().showMessage(IDS_INVALID_PROJECT);
            return ProjectReadResult::Invalid;
        }
        const int index = project.appendAlbum(std::move(album));

        for (std::int32_t s = 0; s < slideCount; ++s) {
            if (in.remaining() < kSlideRecordSize) {
                truncated = true;
                noteDamage(damage, formatText("it ends inside album %d, before photo %d of the %d it counts", a + 1,
                                              s + 1, slideCount));
                break;
            }
            ByteReader record(in.bytes(kSlideRecordSize));
            const std::string path = record.fixedText(kFileTextSize);
            const bool rotated = record.i32le() != 0;
            const int rotation = rotationFromFile(record.i32le());
            const bool hasCaption = record.i32le() != 0;
            SlideCaption caption;
            caption.font = readLogFont(record);
            caption.text = record.fixedText(kFileTextSize);
            caption.x = record.i32le();
            caption.y = record.i32le();
            caption.textColour = record.u32le();
            caption.pointSize = record.i32le();
            caption.shadow = record.i32le() != 0;
            caption.shadowColour = record.u32le();
            caption.align = alignFromFile(record.i32le());
            if (path.empty()) continue;
            if (project.album(index).slides.size() >= static_cast<std::size_t>(kMaxSlidesPerAlbum)) {
                overLimits = true;  // the remaining records are read past, not kept
                noteDamage(damage, formatText("album %d holds more than %d photos", a + 1, kMaxSlidesPerAlbum));
                continue;
            }
            Slide* slide = project.addSlide(index, path, fileNamePart(path), rotation);
            if (!slide) continue;
            slide->rotated = rotated && rotation != 0;
            slide->hasCaption = hasCaption;
            slide->caption = caption;
        }
    }
    project.setCurrentAlbum(project.albumCount() - 1);

    if (truncated) project.services().showMessage(IDS_PROJECT_INCOMPLETE);
    if (overLimits) project.services().showMessage(IDS_PROJECT_OVER_LIMITS);
    return truncated || overLimits ? ProjectReadResult::Partial : ProjectReadResult::Loaded;
}

ProjectReadResult loadOldProject(Project& project, const std::string& path, std::string* damage) {
    const ProfileDocument file = ProfileDocument::load(path, kMaxOldProjectFileBytes);
    if (!file.error().empty()) {  // a missing file reads as no project (Invalid) below
        noteDamage(damage, file.error());
        showFileFailure(project, file.error());
        return ProjectReadResult::OpenFailed;
    }
    return loadOldProjectDocument(project, file, damage);
}

ProjectReadResult loadOldProjectDocument(Project& project, const ProfileDocument& file, std::string* damage) {
    auto read = [&](const std::string& section, const std::string& key) {
        return truncateUtf8(file.getString(section, key, "", 1023), kMaxTextLength);
    };
    if (read("GENERAL", "Description") != kOldProjectDescription) {
        noteDamage(damage, "it has no project description");
        project.services().showMessage(IDS_INVALID_OLD_PROJECT);
        return ProjectReadResult::Invalid;
    }
    MenuSettings menu = project.menu();
    auto existingOrEmpty = [](const std::string& file) {
        std::error_code ec;
        return !file.empty() && std::filesystem::is_regular_file(file, ec) ? file : std::string();
    };
    menu.musicPath = existingOrEmpty(read("MENU", "bk_music"));
    menu.backgroundPicturePath = existingOrEmpty(read("MENU", "bk_picture"));
    project.setMenu(menu);

    const int albumCount = file.getInt("GENERAL", "Album_Count", 0);
    if (albumCount < 0) {
        noteDamage(damage, formatText("its album count is %d", albumCount));
        project.services().showMessage(IDS_INVALID_OLD_PROJECT);
        return ProjectReadResult::Invalid;
    }
    bool overLimits = albumCount > kMaxAlbums;
    if (overLimits) noteDamage(damage, formatText("it counts %d albums (max. %d)", albumCount, kMaxAlbums));
    for (int a = 1; a <= std::min(albumCount, kMaxAlbums); ++a) {
        const std::string section = formatText("Album_%02d", a);
        Album album;
        album.name = read(section, "Name");
        album.musicPath = read(section, "bk_music");
        album.playTime = file.getInt(section, "interval", 5);
        const int index = project.appendAlbum(std::move(album));
        const int imageCount = file.getInt(section, "Image_Count", 0);
        if (imageCount > kMaxSlidesPerAlbum) {
            overLimits = true;
            noteDamage(damage, formatText("album %d counts %d photos (max. %d)", a, imageCount, kMaxSlidesPerAlbum));
        }
        for (int i = 1; i <= std::min(imageCount, kMaxSlidesPerAlbum); ++i) {
            const std::string photo = read(section, formatText("Image_%02d", i));
            if (photo.empty()) continue;
            const int rotation = rotationFromFile(file.getInt(section, formatText("Image_%02d_degree", i), 0));
            project.addSlide(index, photo, fileNamePart(photo), rotation);
        }
    }
    project.setCurrentAlbum(project.albumCount() - 1);
    if (overLimits) project.services().showMessage(IDS_PROJECT_OVER_LIMITS);
    return overLimits ? ProjectReadResult::Partial : ProjectReadResult::Loaded;
}

}  // namespace tellavine
