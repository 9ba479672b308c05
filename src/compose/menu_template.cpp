#include "compose/menu_template.h"

#include "platform/profile.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace tellavine {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxTemplatePosition = 4 * kMaxTemplateSide;

// Splits "template\classic.ini" or "template/classic.ini" into its parts.
std::vector<std::string> pathParts(const std::string& relative) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : relative) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// The entry of `folder` named `name`, letter case ignored; `name` itself when none is.
std::string matchEntry(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec)) return name;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (fileNamesEqualIgnoreCase(it->path().filename().string(), name)) return it->path().filename().string();
    return name;
}

int readInt(const std::string& file, const char* section, const std::string& key, int fallback, int low, int high) {
    const std::string text = readProfileString(file, section, key, "");
    int value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr == begin) return fallback;
    return std::clamp(value, low, high);
}

int readSize(const std::string& file, const std::string& key, int fallback = 0) {
    return readInt(file, "General", key, fallback, -kMaxTemplateSide, kMaxTemplateSide);
}

TemplatePoint readPoint(const std::string& file, const std::string& xKey, const std::string& yKey) {
    return {readInt(file, "POSITIONS", xKey, 0, -kMaxTemplatePosition, kMaxTemplatePosition),
            readInt(file, "POSITIONS", yKey, 0, -kMaxTemplatePosition, kMaxTemplatePosition)};
}

}  // namespace

std::string resolveProgramPath(const std::string& programDir, const std::string& relative) {
    fs::path path(programDir);
    for (const std::string& part : pathParts(relative)) path /= matchEntry(path, part);
    return path.string();
}

std::vector<TemplateEntry> listTemplates(const std::string& programDir) {
    std::vector<TemplateEntry> entries;
    const fs::path folder = resolveProgramPath(programDir, "template");
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string fileName = it->path().filename().string();
        if (!it->is_regular_file(ec) || !endsWithIgnoreCase(fileName, ".ini")) continue;
        entries.push_back({fileName, readProfileString(it->path().string(), "General", "NAME", "Template")});
    }
    std::sort(entries.begin(), entries.end(), [](const TemplateEntry& a, const TemplateEntry& b) {
        return toUpperAscii(a.fileName) < toUpperAscii(b.fileName);
    });
    return entries;
}

MenuTemplate readTemplate(const std::string& programDir, const std::string& relativePath) {
    const std::string relative = pathParts(relativePath).size() == 1 ? "template\\" + relativePath : relativePath;
    const std::string file = resolveProgramPath(programDir, relative);
    MenuTemplate t;
    t.name = readProfileString(file, "General", "NAME", "Template");
    t.folderName = readProfileString(file, "General", "Folder_name", "");
    auto picture = [&](const char* key) -> std::string {
        const std::string name = readProfileString(file, "General", key, "");
        if (name.empty()) return {};
        return resolveProgramPath(programDir, "template\\" + t.folderName + "\\" + name);
    };
    t.backgroundImage = picture("Bkground_image");
    t.frameImage = picture("Frame_image");
    t.nextButton = picture("Next_button");
    t.prevButton = picture("Prev_button");
    t.canvasWidth = readSize(file, "Bkground_image_cx", kDefaultCanvasWidth);
    t.canvasHeight = readSize(file, "Bkground_image_cy", kDefaultCanvasHeight);
    t.frameWidth = readSize(file, "frame_cx");
    t.frameHeight = readSize(file, "frame_cy");
    t.frameOffsetX = readSize(file, "Frame_off_x");
    t.frameOffsetY = readSize(file, "Frame_off_y");
    t.imageWidth = readSize(file, "image_cx");
    t.imageHeight = readSize(file, "image_cy");
    t.textWidth = readSize(file, "Text_cx");
    t.textHeight = readSize(file, "Text_cy");
    t.itemsCount = readInt(file, "General", "Items_count", 0, -1, kMaxTemplateItems);
    t.nextWidth = readSize(file, "next_cx");
    t.nextHeight = readSize(file, "next_cy");
    t.prevWidth = readSize(file, "prev_cx");
    t.prevHeight = readSize(file, "prev_cy");
    t.textColour = static_cast<ColourRef>(readInt(file, "COLOR", "Text_color", 0, 0, 0xFFFFFF));
    for (int n = 1; n <= t.itemsCount; ++n) {
        t.items.push_back(readPoint(file, formatText("Item_%02d_x", n), formatText("Item_%02d_y", n)));
        t.texts.push_back(readPoint(file, formatText("Text_%02d_x", n), formatText("Text_%02d_y", n)));
    }
    t.nextPosition = readPoint(file, "Next_button_x", "Next_button_y");
    t.prevPosition = readPoint(file, "Prev_button_x", "Prev_button_y");
    return t;
}

MenuTemplate readUsableTemplate(const std::string& programDir, const std::string& relativePath, std::string* notice) {
    MenuTemplate chosen = readTemplate(programDir, relativePath);
    if (chosen.usable()) return chosen;
    if (notice)
        *notice = formatText("The menu template \"%s\" has no album items and cannot be used; "
                             "the classic template is used instead.", fileNamePart(relativePath).c_str());
    return readTemplate(programDir, kDefaultTemplatePath);
}

int templateItemsPerPage(const std::string& programDir, const std::string& relativePath, std::string* notice) {
    return std::max(1, readUsableTemplate(programDir, relativePath, notice).itemsCount);
}

}  // namespace tellavine
