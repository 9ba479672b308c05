#include "imaging/picture_fixtures.h"

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tellavine::testing {

// The fixtures are made once per build tree and kept: every test runs in its own process.
// A newer script remakes them; they are made aside and renamed into place, so tests
// running side by side never see half a set.
const std::string& pictureFixtureFolder() {
    static const std::string path = [] {
        namespace fs = std::filesystem;
        const fs::path script = fs::path(TELLAVINE_SOURCE_DIR) / "scripts" / "make-picture-fixtures.sh";
        const fs::path folder = fs::path(TELLAVINE_BINARY_DIR) / "fixtures" / "pictures";
        std::error_code ec;
        const auto manifest = folder / "manifest.txt";
        auto fresh = [&] {
            return fs::exists(manifest, ec) && fs::last_write_time(manifest, ec) >= fs::last_write_time(script, ec);
        };
        if (!fresh()) {
            const fs::path scratch = folder.string() + ".making." + std::to_string(::getpid());
            const RunResult made = runShell(shellQuoted(script.string()) + " " + shellQuoted(scratch.string()));
            if (!made.succeeded()) throw std::runtime_error("make-picture-fixtures.sh failed:\n" + made.output);
            if (!fresh()) {  // unless another test process finished first and is reading its set
                fs::remove_all(folder, ec);
                fs::rename(scratch, folder, ec);
            }
            fs::remove_all(scratch, ec);
        }
        return folder.string() + "/";
    }();
    return path;
}

const std::vector<PictureFixture>& pictureFixtures() {
    static const std::vector<PictureFixture> fixtures = [] {
        std::vector<PictureFixture> list;
        const std::string folder = pictureFixtureFolder();
        std::ifstream manifest(folder + "manifest.txt");
        PictureFixture f;
        std::string file, reference;
        while (manifest >> file >> reference >> f.width >> f.height >> f.allowedMeanError) {
            f.file = folder + file;
            f.reference = folder + reference;
            list.push_back(f);
        }
        return list;
    }();
    return fixtures;
}

const PictureFixture& pictureFixture(const std::string& name) {
    for (const auto& fixture : pictureFixtures())
        if (fixture.file == pictureFixtureFolder() + name) return fixture;
    throw std::runtime_error("no fixture " + name);
}

bool runImageMagick(const std::string& arguments) { return runShell("convert-im6.q16 " + arguments).succeeded(); }

Picture imageMagickDecode(const std::string& input, const std::string& options) {
    const std::string command = "convert-im6.q16 " + input + " " + options + " -depth 8 -format '%w %h\\n' -write info:- rgb:-";
    const std::string output = shellOutput(command);
    const std::size_t headerEnd = output.find('\n');
    int width = 0, height = 0;
    if (headerEnd == std::string::npos || std::sscanf(output.c_str(), "%d %d", &width, &height) != 2) return {};
    Picture picture = Picture::create(width, height);
    if (height <= 0 || output.size() - headerEnd - 1 < picture.byteSize()) return {};
    std::memcpy(picture.row(0), output.data() + headerEnd + 1, picture.byteSize());  // rows are contiguous
    return picture;
}

double meanError(const Picture& picture, const std::vector<unsigned char>& rgb, int width, int height) {
    if (picture.width() != width || picture.height() != height || rgb.size() != picture.byteSize()) return -1;
    double sum = 0;
    for (std::size_t i = 0; i < rgb.size(); ++i) sum += std::abs(int(picture.pixels()[i]) - int(rgb[i]));
    return sum / static_cast<double>(rgb.size());
}

}  // namespace tellavine::testing
