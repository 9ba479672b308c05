// The image reader behind `inspect` over arbitrary input: the text up to the first NUL is
// the cue sheet, the bytes after it the BIN from sector 16 on (the sectors before it are
// blank), padded to whole sectors. The parsed sheet, the ISO 9660 tree, the control files
// and every track are read back as `inspect` reads them.

#include "cli/disc_image.h"
#include "platform/text.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tellavine::cli;

namespace {

constexpr std::size_t kRawSector = 2352;
constexpr std::size_t kBlankSectors = 16;

// Only plain names next to the cue: the harness never follows a sheet elsewhere.
bool plainName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 64) return false;
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '_' || c == '-';
        if (!plain) return false;
    }
    return true;
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("tellavine-fuzz-cue-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    std::size_t split = 0;
    while (split < size && data[split] != 0) ++split;
    const std::string text(reinterpret_cast<const char*>(data), split);

    std::string error;
    const auto sheet = parseCueSheet(text, error);
    if (!sheet) {
        if (error.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    if (!sheet->binFile.empty() && sheet->binFile.front() == '/') return 0;
    const std::string binName = tellavine::fileNamePart(sheet->binFile);
    if (!plainName(binName)) return 0;

    std::vector<std::uint8_t> bin(kBlankSectors * kRawSector, 0);
    if (split < size) bin.insert(bin.end(), data + split + 1, data + size);
    bin.resize((bin.size() + kRawSector - 1) / kRawSector * kRawSector, 0);
    std::vector<std::uint8_t> cueBytes(text.begin(), text.end());
    const auto cuePath = folder / "image.cue";
    const auto binPath = folder / binName;
    if (binName == "image.cue" || !writeFile(cuePath, cueBytes) || !writeFile(binPath, bin)) {
        std::filesystem::remove(binPath);
        return 0;
    }

    DiscImage image;
    if (image.open(cuePath.string(), error)) {
        if (image.sectorCount() != bin.size() / kRawSector) __builtin_trap();
        if (image.readFileSystem(error)) {
            for (const auto& file : image.files()) (void)image.fileBytes(file);
            if (image.readControlFiles(error)) (void)image.segments();
        }
        for (const auto& track : image.cue().tracks) (void)image.trackBytes(track.number);
    }
    std::filesystem::remove(binPath);
    return 0;
}
