#include "pipeline/folder_project.h"

#include "imaging/codec.h"
#include "imaging/exif_date.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace tellavine {
namespace {

namespace fs = std::filesystem;

struct FolderContent {
    std::vector<std::string> pictures;  // full paths, natural order
    std::vector<std::string> music;
    std::vector<std::string> folders;
    std::vector<std::string> tooLong;  // pictures whose path does not fit a project's 259 bytes
};

struct AlbumSource {
    std::string name;
    std::string shownName;  // how warnings name the folder
    FolderContent content;
};

class FolderScan {
public:
    FolderScan(const fs::path& root, const fs::path& realRoot, const EngineServices& services)
        : root_(root), realRoot_(realRoot), services_(services) {}

    FolderContent list(const fs::path& folder) const {
        FolderContent content;
        std::vector<std::pair<std::string, bool>> names;  // name, is a folder
        std::error_code ec;
        for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.empty() || name[0] == '.') continue;  // hidden
            std::error_code statusError;
            if (it->is_symlink(statusError) && !leadsInside(it->path())) {
                services_.showText("Skipping " + shown(it->path()) +
                                   ": the link leads outside the folder, or nowhere.");
                continue;
            }
            const auto status = fs::status(it->path(), statusError);  // follows the link
            if (fs::is_directory(status))
                names.emplace_back(name, true);
            else if (fs::is_regular_file(status))
                names.emplace_back(name, false);
        }
        std::sort(names.begin(), names.end(),
                  [](const auto& a, const auto& b) { return naturalLess(a.first, b.first); });
        for (const auto& [name, isFolder] : names) {
            const std::string path = (folder / name).string();
            if (isFolder)
                content.folders.push_back(name);
            else if (hasReadablePictureExtension(name))
                (path.size() > kMaxTextLength ? content.tooLong : content.pictures).push_back(path);
            else if (endsWithIgnoreCase(name, ".mp3") || endsWithIgnoreCase(name, ".wav"))
                content.music.push_back(path);
        }
        return content;
    }

    // The path as the user knows it: relative to the folder given.
    std::string shown(const fs::path& path) const { return path.lexically_relative(root_.parent_path()).string(); }

private:
    bool leadsInside(const fs::path& link) const {
        std::error_code ec;
        const fs::path target = fs::canonical(link, ec);
        if (ec) return false;
        const auto relative = target.lexically_relative(realRoot_);
        return !relative.empty() && *relative.begin() != "..";
    }

    fs::path root_;
    fs::path realRoot_;
    const EngineServices& services_;
};

void sortByDateTaken(std::vector<std::string>& pictures) {
    std::vector<std::pair<std::string, std::string>> dated;  // date, path
    dated.reserve(pictures.size());
    for (const auto& path : pictures) dated.emplace_back(pictureDateTaken(path), path);
    std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) {
        if (a.first.empty() != b.first.empty()) return b.first.empty();  // undated ones last
        return a.first < b.first;
    });
    for (std::size_t i = 0; i < dated.size(); ++i) pictures[i] = std::move(dated[i].second);
}

std::string joined(const std::vector<std::string>& names, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < names.size(); ++i) text += (text.empty() ? "" : ", ") + fileNamePart(names[i]);
    return text;
}

std::string stem(const std::string& path) {
    std::string name = fileNamePart(path);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

// The music of a folder: the first one, the others named as left out. Empty when none fits.
std::string chooseMusic(const std::vector<std::string>& music, const std::string& owner,
                        const EngineServices& services) {
    if (music.empty()) return {};
    if (music.size() > 1) {
        services.showText(owner + " has " + std::to_string(music.size()) + " music files; it plays " +
                          fileNamePart(music[0]) + " and leaves out " + joined(music, 1) + ".");
    }
    if (music[0].size() > kMaxTextLength) {
        services.showText("Leaving out the music " + music[0] + ": its path is longer than 259 bytes.");
        return {};
    }
    return music[0];
}

std::string uniqueAlbumName(const Project& project, const std::string& name) {
    std::string candidate = truncateUtf8(name, kMaxTextLength);
    for (int n = 2; project.albumNameTaken(candidate); ++n) {
        const std::string suffix = formatText(" (%d)", n);
        candidate = truncateUtf8(name, kMaxTextLength - suffix.size()) + suffix;
    }
    return candidate;
}

void addPhotos(Project& project, int index, const AlbumSource& source, const FolderProjectOptions& options) {
    const EngineServices& services = project.services();
    const auto& pictures = source.content.pictures;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        Slide* slide = project.addSlide(index, pictures[i], fileNamePart(pictures[i]), 0);
        if (!slide) {  // the album is full; the model has said so
            services.showText(formatText("Album \"%s\" holds at most %d photos; left out: ",
                                         project.album(index).name.c_str(), kMaxSlidesPerAlbum) +
                              joined(pictures, i) + ".");
            break;
        }
        if (options.captions == CaptionSource::FileName) {
            SlideCaption caption;
            caption.text = stem(pictures[i]);
            project.setCaption(*slide, caption);
        }
    }
}

// A cut path would name no file: such photos are named and left out.
void tellTooLong(const FolderContent& content, const std::string& shownName, const EngineServices& services) {
    if (content.tooLong.empty()) return;
    services.showText("Leaving out the photos of " + shownName +
                      " whose path is longer than 259 bytes: " + joined(content.tooLong) + ".");
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = i, endB = j;
            while (endA < a.size() && isDigit(a[endA])) ++endA;
            while (endB < b.size() && isDigit(b[endB])) ++endB;
            std::string_view numberA = a.substr(i, endA - i), numberB = b.substr(j, endB - j);
            while (numberA.size() > 1 && numberA[0] == '0') numberA.remove_prefix(1);
            while (numberB.size() > 1 && numberB[0] == '0') numberB.remove_prefix(1);
            if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
            if (numberA != numberB) return numberA < numberB;
            i = endA;
            j = endB;
            continue;
        }
        const int ca = std::tolower(static_cast<unsigned char>(a[i])),
                  cb = std::tolower(static_cast<unsigned char>(b[j]));
        if (ca != cb) return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;
}

std::string makeProjectFromFolder(Project& project, const std::string& folder, const FolderProjectOptions& options) {
    std::error_code ec;
    fs::path root = fs::absolute(folder, ec).lexically_normal();
    if (!root.has_filename()) root = root.parent_path();  // "Holiday/" names Holiday
    const fs::path realRoot = fs::canonical(root, ec);
    if (ec || !fs::is_directory(realRoot, ec)) return "cannot read the folder " + folder + ".";
    const EngineServices& services = project.services();
    const FolderScan scan(root, realRoot, services);

    std::vector<AlbumSource> sources;
    const FolderContent top = scan.list(root);
    tellTooLong(top, scan.shown(root), services);
    if (!top.pictures.empty()) {
        const std::string name = root.filename().string();
        sources.push_back({name.empty() ? "Photos" : name, scan.shown(root), {top.pictures, {}, {}, {}}});
    }
    for (const std::string& name : top.folders) {
        AlbumSource source{name, scan.shown(root / name), scan.list(root / name)};
        tellTooLong(source.content, source.shownName, services);
        if (!source.content.folders.empty()) {
            services.showText("Not reading the folders inside " + source.shownName + ": " +
                              joined(source.content.folders) + " (an album is one folder).");
        }
        if (source.content.pictures.empty()) {
            services.showText(source.shownName + " holds no pictures; it makes no album.");
            continue;
        }
        sources.push_back(std::move(source));
    }
    if (sources.empty()) {
        return "there are no pictures in " + folder + " (pictures end in ." + [] {
            std::string list;
            for (const auto& extension : readablePictureExtensions()) list += (list.empty() ? "" : ", .") + extension;
            return list;
        }() + ").";
    }

    const int playTime = options.playTime.value_or(project.defaultPlayTime());
    for (std::size_t s = 0; s < sources.size(); ++s) {
        AlbumSource& source = sources[s];
        if (options.order == PhotoOrder::DateTaken) sortByDateTaken(source.content.pictures);
        const std::string name = uniqueAlbumName(project, source.name);
        if (name != truncateUtf8(source.name, kMaxTextLength)) {
            services.showText("The album of " + source.shownName + " is named \"" + name +
                              "\": another album has its name.");
        }
        const int index = project.addAlbum(name);
        if (index < 0) {  // 99 albums: the model has said so
            std::string left;
            for (std::size_t rest = s; rest < sources.size(); ++rest)
                left += (left.empty() ? "" : ", ") + sources[rest].shownName;
            services.showText("Left out: " + left + ".");
            break;
        }
        const std::string music = chooseMusic(source.content.music, source.shownName, services);
        project.setAlbumProperties(index, name, playTime, music);
        addPhotos(project, index, source, options);
    }
    if (const std::string menuMusic = chooseMusic(top.music, scan.shown(root), services); !menuMusic.empty()) {
        project.setMenuMusic(menuMusic);
    }
    project.setCurrentAlbum(project.albumCount() - 1);
    return {};
}

}  // namespace tellavine
