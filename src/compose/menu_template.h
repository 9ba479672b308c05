#pragma once
// Menu templates: an INI description file in the program's "template" folder naming a
// background picture, a frame picture drawn around every album's photo, next and
// previous button pictures, and the positions of up to Items_count albums on a page.
// Sizes and positions are template pixels of the background canvas (origin top-left).
// Template files are outside input: sizes are bounded and a template without items is
// unusable.

#include "project/model.h"
#include "project/project_file.h"

#include <string>
#include <vector>

namespace tellavine {

inline constexpr int kDefaultCanvasWidth = 768;
inline constexpr int kDefaultCanvasHeight = 576;
inline constexpr int kMaxTemplateSide = 4096;     // canvas and every item size
inline constexpr int kMaxTemplateItems = kMaxAlbums;

struct TemplatePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TemplatePoint&, const TemplatePoint&) = default;
};

struct MenuTemplate {
    std::string name = "Template";
    std::string folderName;
    std::string backgroundImage;  // full paths, empty when the key is empty
    std::string frameImage;
    std::string nextButton;
    std::string prevButton;
    int canvasWidth = kDefaultCanvasWidth;
    int canvasHeight = kDefaultCanvasHeight;
    int frameWidth = 0;
    int frameHeight = 0;
    int frameOffsetX = 0;  // the photo area relative to the item position
    int frameOffsetY = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int textWidth = 0;
    int textHeight = 0;
    int itemsCount = 0;
    int nextWidth = 0;
    int nextHeight = 0;
    int prevWidth = 0;
    int prevHeight = 0;
    ColourRef textColour = 0;
    std::vector<TemplatePoint> items;  // Item_01 .. Item_<itemsCount>
    std::vector<TemplatePoint> texts;  // Text_01 .. Text_<itemsCount>
    TemplatePoint nextPosition;
    TemplatePoint prevPosition;

    // A template with no items cannot lay out a page (nor count pages).
    bool usable() const { return itemsCount > 0; }
    // The canvas, with a non-positive size replaced by the default.
    int drawWidth() const { return canvasWidth > 0 ? canvasWidth : kDefaultCanvasWidth; }
    int drawHeight() const { return canvasHeight > 0 ? canvasHeight : kDefaultCanvasHeight; }
};

struct TemplateEntry {
    std::string fileName;  // "classic.ini"
    std::string name;      // its NAME, "Template" when it has none
};

// `relative` ("template\classic.ini", '\' or '/') under `programDir`, every part matched
// without regard to letter case when the exact spelling does not exist.
std::string resolveProgramPath(const std::string& programDir, const std::string& relative);

// Every "*.ini" of the template folder, sorted by file name without regard to case.
std::vector<TemplateEntry> listTemplates(const std::string& programDir);

// The description file at programDir + relativePath (read afresh every call). A missing
// file or key gives the defaults; a bare file name is looked up in the template folder.
MenuTemplate readTemplate(const std::string& programDir, const std::string& relativePath);

// The template to draw with: `relativePath`, or the classic template when that one is
// unusable (no items). `notice` then receives a sentence for the user.
MenuTemplate readUsableTemplate(const std::string& programDir, const std::string& relativePath,
                                std::string* notice = nullptr);

// Albums per menu page of the template that will be drawn, at least 1: the one answer
// for the menu pages, the build and both front ends. `notice` as readUsableTemplate.
int templateItemsPerPage(const std::string& programDir, const std::string& relativePath,
                         std::string* notice = nullptr);

}  // namespace tellavine
