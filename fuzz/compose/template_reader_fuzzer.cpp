// libFuzzer harness for the menu template reader: any description file must read into a
// bounded template (sizes within kMaxTemplateSide, items within kMaxTemplateItems), and
// drawing its thumbnail must not crash.

#include "compose/menu_page.h"
#include "compose/menu_template.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

const std::string& programDir() {
    static const std::string dir = [] {
        const auto root = std::filesystem::temp_directory_path() / ("tellavine-template-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "template");
        return root.string() + "/";
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tellavine;
    {
        std::ofstream file(programDir() + "template/fuzz.ini", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const MenuTemplate t = readTemplate(programDir(), "template\\fuzz.ini");
    if (t.itemsCount > kMaxTemplateItems || t.items.size() != static_cast<std::size_t>(std::max(0, t.itemsCount))) std::abort();
    for (int side : {t.canvasWidth, t.canvasHeight, t.frameWidth, t.frameHeight, t.imageWidth, t.imageHeight,
                     t.textWidth, t.textHeight, t.nextWidth, t.prevHeight})
        if (side > kMaxTemplateSide || side < -kMaxTemplateSide) std::abort();
    Picture thumb = Picture::create(32, 24);
    drawTemplateThumbnail(thumb, {0, 0, 32, 24}, programDir(), "fuzz.ini", "");
    return 0;
}
