#include "cli/project_json.h"

#include "cli/json_positions.h"
#include "platform/text.h"
#include "project/project_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace tellavine::cli {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr CaptionAlign kAligns[] = {CaptionAlign::TopLeft,    CaptionAlign::TopCenter,    CaptionAlign::TopRight,
                                    CaptionAlign::BottomLeft, CaptionAlign::BottomCenter, CaptionAlign::BottomRight,
                                    CaptionAlign::UserDefined};

// "#RRGGBB" as in HTML; a COLORREF whose top byte is set (palette colours) as "#TTRRGGBB".
std::string colourText(ColourRef colour) {
    const unsigned red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF, top = colour >> 24;
    return top ? formatText("#%02X%02X%02X%02X", top, red, green, blue) : formatText("#%02X%02X%02X", red, green, blue);
}

OrderedJson fontJson(const LogFont& font) {
    return OrderedJson{{"face", font.face()},
                       {"height", font.height},
                       {"width", font.width},
                       {"escapement", font.escapement},
                       {"orientation", font.orientation},
                       {"weight", font.weight},
                       {"italic", font.italic},
                       {"underline", font.underline},
                       {"strikeOut", font.strikeOut},
                       {"charSet", font.charSet},
                       {"outPrecision", font.outPrecision},
                       {"clipPrecision", font.clipPrecision},
                       {"quality", font.quality},
                       {"pitchAndFamily", font.pitchAndFamily}};
}

OrderedJson captionJson(const Slide& slide) {
    const SlideCaption& caption = slide.caption;
    return OrderedJson{{"shown", slide.hasCaption},
                       {"text", caption.text},
                       {"x", caption.x},
                       {"y", caption.y},
                       {"colour", colourText(caption.textColour)},
                       {"pointSize", caption.pointSize},
                       {"shadow", caption.shadow},
                       {"shadowColour", colourText(caption.shadowColour)},
                       {"align", captionAlignLabel(caption.align)},
                       {"font", fontJson(caption.font)}};
}

bool sameCaption(const SlideCaption& a, const SlideCaption& b) {
    return a.font == b.font && a.text == b.text && a.x == b.x && a.y == b.y && a.textColour == b.textColour &&
           a.pointSize == b.pointSize && a.shadow == b.shadow && a.shadowColour == b.shadowColour && a.align == b.align;
}

// --- reading ------------------------------------------------------------------------

// A field that is not what a project holds; thrown and caught inside projectFromJson.
struct FieldProblem {
    std::string path;
    std::string problem;
};

std::string quotedList(std::initializer_list<const char*> words) {
    std::string list;
    for (const char* word : words) list += std::string(list.empty() ? "" : ", ") + word;
    return list;
}

class FieldReader {
public:
    [[noreturn]] static void fail(const std::string& path, const std::string& problem) {
        throw FieldProblem{path, problem};
    }

    static const Json& object(const Json& value, const std::string& path, std::initializer_list<const char*> fields) {
        if (!value.is_object()) fail(path, "must be an object {...}");
        for (const auto& [key, member] : value.items()) {
            if (std::none_of(fields.begin(), fields.end(), [&](const char* field) { return key == field; })) {
                fail(JsonPositions::memberPath(path, key),
                     "is not a field here (the fields are " + quotedList(fields) + ")");
            }
        }
        return value;
    }

    static const Json* member(const Json& object, const char* key) {
        const auto found = object.find(key);
        return found == object.end() ? nullptr : &*found;
    }

    static std::string text(const Json& object, const std::string& path, const char* key, std::string fallback,
                            std::size_t maxBytes = kMaxTextLength) {
        const Json* value = member(object, key);
        if (!value) return fallback;
        const std::string at = JsonPositions::memberPath(path, key);
        if (!value->is_string()) fail(at, "must be a text in quotes");
        std::string result = value->get<std::string>();
        if (result.size() > maxBytes) {
            fail(at, formatText("is %zu bytes long; at most %zu fit", result.size(), maxBytes));
        }
        if (result.find('\0') != std::string::npos) fail(at, "must not hold a NUL character");
        return result;
    }

    static std::int64_t number(const Json& object, const std::string& path, const char* key, std::int64_t fallback,
                               std::int64_t min, std::int64_t max) {
        const Json* value = member(object, key);
        if (!value) return fallback;
        const std::string at = JsonPositions::memberPath(path, key);
        if (!value->is_number_integer()) fail(at, "must be a whole number");
        const std::int64_t result = value->is_number_unsigned()
                                        ? static_cast<std::int64_t>(std::min<std::uint64_t>(
                                              value->get<std::uint64_t>(), std::numeric_limits<std::int64_t>::max()))
                                        : value->get<std::int64_t>();
        if (result < min || result > max) {
            fail(at, formatText("must be %lld to %lld, not %lld", static_cast<long long>(min),
                                static_cast<long long>(max), static_cast<long long>(result)));
        }
        return result;
    }

    static std::int32_t int32(const Json& object, const std::string& path, const char* key, std::int32_t fallback) {
        return static_cast<std::int32_t>(number(object, path, key, fallback, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max()));
    }

    static std::uint8_t byte(const Json& object, const std::string& path, const char* key, std::uint8_t fallback) {
        return static_cast<std::uint8_t>(number(object, path, key, fallback, 0, 255));
    }

    static bool flag(const Json& object, const std::string& path, const char* key, bool fallback) {
        const Json* value = member(object, key);
        if (!value) return fallback;
        if (!value->is_boolean()) fail(JsonPositions::memberPath(path, key), "must be true or false");
        return value->get<bool>();
    }

    static ColourRef colour(const Json& object, const std::string& path, const char* key, ColourRef fallback) {
        const Json* value = member(object, key);
        if (!value) return fallback;
        const std::string at = JsonPositions::memberPath(path, key);
        const std::string text = value->is_string() ? value->get<std::string>() : std::string();
        const bool hex = (text.size() == 7 || text.size() == 9) && text[0] == '#' &&
                         text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
        if (!hex) fail(at, "must be a colour \"#RRGGBB\"");
        const unsigned long digits = std::stoul(text.substr(1), nullptr, 16);
        const unsigned long rgb = digits & 0xFFFFFF, top = digits >> 24;
        const ColourRef red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
        return static_cast<ColourRef>(top << 24 | blue << 16 | green << 8 | red);
    }

    static const Json& array(const Json& object, const std::string& path, const char* key, std::size_t maxItems,
                             const char* limitText) {
        static const Json empty = Json::array();
        const Json* value = member(object, key);
        if (!value) return empty;
        const std::string at = JsonPositions::memberPath(path, key);
        if (!value->is_array()) fail(at, "must be a list [...]");
        if (value->size() > maxItems) fail(JsonPositions::elementPath(at, maxItems), limitText);
        return *value;
    }
};

LogFont readFont(const Json& value, const std::string& path) {
    const Json& font =
        FieldReader::object(value, path,
                            {"face", "height", "width", "escapement", "orientation", "weight", "italic", "underline",
                             "strikeOut", "charSet", "outPrecision", "clipPrecision", "quality", "pitchAndFamily"});
    const LogFont defaults = LogFont::captionDefault();
    LogFont result;
    result.setFace(FieldReader::text(font, path, "face", defaults.face(), result.faceName.size() - 1));
    result.height = FieldReader::int32(font, path, "height", defaults.height);
    result.width = FieldReader::int32(font, path, "width", defaults.width);
    result.escapement = FieldReader::int32(font, path, "escapement", defaults.escapement);
    result.orientation = FieldReader::int32(font, path, "orientation", defaults.orientation);
    result.weight = FieldReader::int32(font, path, "weight", defaults.weight);
    result.italic = FieldReader::byte(font, path, "italic", defaults.italic);
    result.underline = FieldReader::byte(font, path, "underline", defaults.underline);
    result.strikeOut = FieldReader::byte(font, path, "strikeOut", defaults.strikeOut);
    result.charSet = FieldReader::byte(font, path, "charSet", defaults.charSet);
    result.outPrecision = FieldReader::byte(font, path, "outPrecision", defaults.outPrecision);
    result.clipPrecision = FieldReader::byte(font, path, "clipPrecision", defaults.clipPrecision);
    result.quality = FieldReader::byte(font, path, "quality", defaults.quality);
    result.pitchAndFamily = FieldReader::byte(font, path, "pitchAndFamily", defaults.pitchAndFamily);
    return result;
}

CaptionAlign readAlign(const Json& caption, const std::string& path) {
    const std::string label = FieldReader::text(caption, path, "align", captionAlignLabel(CaptionAlign::BottomCenter));
    for (const CaptionAlign align : kAligns) {
        if (label == captionAlignLabel(align)) return align;
    }
    FieldReader::fail(JsonPositions::memberPath(path, "align"),
                      "must be one of \"Top Left\", \"Top Center\", \"Top Right\", \"Bottom Left\", \"Bottom Center\", "
                      "\"Bottom Right\", \"User Defined\"");
}

void readPhoto(Project& project, int albumIndex, const Json& value, const std::string& path) {
    const Json& photo = FieldReader::object(value, path, {"path", "rotation", "caption"});
    if (!FieldReader::member(photo, "path")) FieldReader::fail(JsonPositions::memberPath(path, "path"), "is missing");
    const std::string file = FieldReader::text(photo, path, "path", "");
    if (file.empty()) FieldReader::fail(JsonPositions::memberPath(path, "path"), "must name the photo's file");
    const auto rotation = static_cast<int>(FieldReader::number(photo, path, "rotation", 0, 0, 270));
    if (rotation % 90 != 0) {
        FieldReader::fail(JsonPositions::memberPath(path, "rotation"),
                          formatText("must be 0, 90, 180 or 270, not %d", rotation));
    }
    Slide* slide = project.addSlide(albumIndex, file, fileNamePart(file), rotation);
    if (!slide) FieldReader::fail(path, "the album is full");  // the array's size was checked
    const Json* captionValue = FieldReader::member(photo, "caption");
    if (!captionValue) return;
    const std::string at = JsonPositions::memberPath(path, "caption");
    const Json& caption = FieldReader::object(
        *captionValue, at,
        {"shown", "text", "x", "y", "colour", "pointSize", "shadow", "shadowColour", "align", "font"});
    const SlideCaption defaults;
    slide->hasCaption = FieldReader::flag(caption, at, "shown", false);
    SlideCaption& result = slide->caption;
    result.text = FieldReader::text(caption, at, "text", "");
    result.x = FieldReader::int32(caption, at, "x", defaults.x);
    result.y = FieldReader::int32(caption, at, "y", defaults.y);
    result.textColour = FieldReader::colour(caption, at, "colour", defaults.textColour);
    result.pointSize = FieldReader::int32(caption, at, "pointSize", defaults.pointSize);
    result.shadow = FieldReader::flag(caption, at, "shadow", defaults.shadow);
    result.shadowColour = FieldReader::colour(caption, at, "shadowColour", defaults.shadowColour);
    result.align = readAlign(caption, at);
    if (const Json* font = FieldReader::member(caption, "font"))
        result.font = readFont(*font, JsonPositions::memberPath(at, "font"));
}

void readAlbum(Project& project, const Json& value, const std::string& path) {
    const Json& album = FieldReader::object(value, path, {"name", "playTime", "music", "musicLength", "photos"});
    Album record;
    record.name = FieldReader::text(album, path, "name", "");
    if (project.albumNameTaken(record.name)) {
        FieldReader::fail(JsonPositions::memberPath(path, "name"),
                          "another album is named \"" + record.name + "\" (letter case does not count)");
    }
    record.playTime = static_cast<std::int32_t>(
        FieldReader::number(album, path, "playTime", project.defaultPlayTime(), 0, kMaxPlayTimeSeconds));
    record.musicPath = FieldReader::text(album, path, "music", "");
    const bool measure = !record.musicPath.empty() && !FieldReader::member(album, "musicLength");
    record.musicLength = static_cast<std::int32_t>(
        FieldReader::number(album, path, "musicLength", 0, 0, std::numeric_limits<std::int32_t>::max()));
    const std::string photosPath = JsonPositions::memberPath(path, "photos");
    const Json& photos =
        FieldReader::array(album, path, "photos", kMaxSlidesPerAlbum, "an album holds at most 1980 photos");
    const int index = project.appendAlbum(std::move(record));
    if (measure) {
        const Album& added = project.album(index);
        project.setAlbumProperties(index, added.name, added.playTime, added.musicPath);
    }
    for (std::size_t i = 0; i < photos.size(); ++i) {
        readPhoto(project, index, photos[i], JsonPositions::elementPath(photosPath, i));
    }
}

void readProject(Project& project, const Json& root) {
    const Json& top = FieldReader::object(root, "", {"version", "menu", "albums", "disc"});
    FieldReader::number(top, "", "version", kProjectVersion, kProjectVersion, kProjectVersion);
    MenuSettings menu;
    bool measureMenuMusic = false;
    if (const Json* value = FieldReader::member(top, "menu")) {
        const Json& object = FieldReader::object(*value, "menu", {"template", "music", "musicLength", "background"});
        menu.templatePath = FieldReader::text(object, "menu", "template", kDefaultTemplatePath);
        menu.musicPath = FieldReader::text(object, "menu", "music", "");
        measureMenuMusic = !menu.musicPath.empty() && !FieldReader::member(object, "musicLength");
        menu.musicLength = static_cast<std::int32_t>(
            FieldReader::number(object, "menu", "musicLength", 0, 0, std::numeric_limits<std::int32_t>::max()));
        menu.backgroundPicturePath = FieldReader::text(object, "menu", "background", "");
    }
    project.setMenu(menu);
    if (measureMenuMusic) project.setMenuMusic(menu.musicPath);
    const Json& albums = FieldReader::array(top, "", "albums", kMaxAlbums, "a project holds at most 99 albums");
    for (std::size_t i = 0; i < albums.size(); ++i)
        readAlbum(project, albums[i], JsonPositions::elementPath("albums", i));
    project.setCurrentAlbum(project.albumCount() - 1);
}

// The line of `path`, or of the nearest enclosing value that has one (a missing field).
int lineNear(const JsonPositions& positions, std::string path) {
    while (true) {
        if (const int line = positions.lineOf(path); line > 0 || path.empty()) return line;
        const auto cut = path.find_last_of(".[");
        path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
}

}  // namespace

DiscSummary discSummary(std::uint32_t sectors) {
    return {sectors, sectors <= kSectors74Minutes, sectors <= kSectors80Minutes};
}

std::string projectToJson(const Project& project, const std::optional<DiscSummary>& disc) {
    const MenuSettings& menu = project.menu();
    OrderedJson root;
    root["version"] = kProjectVersion;
    root["menu"] = OrderedJson{{"template", menu.templatePath},
                               {"music", menu.musicPath},
                               {"musicLength", menu.musicLength},
                               {"background", menu.backgroundPicturePath}};
    OrderedJson albums = OrderedJson::array();
    for (const Album& album : project.albums()) {
        OrderedJson photos = OrderedJson::array();
        for (const auto& slide : album.slides) {
            OrderedJson photo{{"path", slide->path}, {"rotation", slide->rotation}};
            // A caption never set and never shown is left out: import gives it the defaults.
            if (slide->hasCaption || !sameCaption(slide->caption, SlideCaption{}))
                photo["caption"] = captionJson(*slide);
            photos.push_back(std::move(photo));
        }
        albums.push_back(OrderedJson{{"name", album.name},
                                     {"playTime", album.playTime},
                                     {"music", album.musicPath},
                                     {"musicLength", album.musicLength},
                                     {"photos", std::move(photos)}});
    }
    root["albums"] = std::move(albums);
    if (disc) {
        root["disc"] = OrderedJson{{"sectors", disc->sectors},
                                   {"megabytes", disc->sectors * 2352ull / 1000000},
                                   {"minutes", disc->sectors / (60 * 75)},
                                   {"fits74Minutes", disc->fits74},
                                   {"fits80Minutes", disc->fits80}};
    }
    return root.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

bool projectFromJson(Project& project, const std::string& text, std::string& error) {
    JsonPositions positions;
    Json root;
    if (!positions.parse(text, root, error)) return false;
    try {
        readProject(project, root);
    } catch (const FieldProblem& problem) {
        const int line = lineNear(positions, problem.path);
        const std::string field = problem.path.empty() ? "the project" : problem.path;
        error = (line > 0 ? formatText("line %d: ", line) : std::string()) + field + ": " + problem.problem;
        return false;
    }
    return true;
}

}  // namespace tellavine::cli
