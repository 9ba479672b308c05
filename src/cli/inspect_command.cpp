// tellavine-cli inspect: a readable (or JSON) listing of a Video CD image.
#include "cli/cli_options.h"
#include "cli/disc_image.h"
#include "cli/extract_folder.h"
#include "platform/text.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace tellavine::cli {
namespace {

const char* videoType(int content) {
    static const char* names[] = {"none", "NTSC still", "NTSC hi-res still", "NTSC motion",
                                  "?", "PAL still", "PAL hi-res still", "PAL motion"};
    return names[(content >> 2) & 7];
}

const char* audioType(int content) {
    static const char* names[] = {"no audio", "mono audio", "stereo audio", "dual-channel audio"};
    return names[content & 3];
}

std::string lidText(int lid) { return lid ? formatText("list %d", lid) : std::string("-"); }

std::string waitText(int encoded) {
    if (encoded == 0xFF) return "wait forever";
    if (encoded <= 60) return formatText("%d s", encoded);
    return formatText("%d s", 60 + (encoded - 60) * 10);
}

void printText(const DiscImage& disc) {
    std::printf("Image: %u sectors\nTracks:\n", disc.sectorCount());
    for (const auto& track : disc.cue().tracks) {
        std::printf("  %02d  %s  starts at sector %u\n", track.number, track.mode.c_str(), track.startLsn);
    }
    const VcdInfo& info = disc.info();
    std::printf("Volume: \"%s\"  Album: \"%s\"  %s version %d, volume %d of %d\n", disc.volumeId().c_str(),
                info.album.c_str(), info.system.c_str(), info.version, info.volumeNumber, info.volumeCount);
    std::printf("Files:\n");
    for (const auto& file : disc.files()) {
        if (file.directory) std::printf("  %s/\n", file.path.c_str());
        else std::printf("  %-40s %10u bytes%s\n", file.path.c_str(), file.size, file.form2 ? "  (Form 2)" : "");
    }
    std::printf("Entries:\n");
    for (const auto& entry : disc.entries()) std::printf("  track %02d at %s\n", entry.track, entry.msf.c_str());
    std::printf("Segment play items:\n");
    for (const auto& segment : disc.segments()) {
        std::printf("  item %d: %d unit%s, %s, %s\n", segment.playItem, segment.units, segment.units == 1 ? "" : "s",
                    videoType(segment.content), audioType(segment.content));
    }
    if (disc.lists().empty()) {
        std::printf("No playback control.\n");
        return;
    }
    std::printf("Playback control (%d lists):\n", info.maxLid);
    for (const auto& list : disc.lists()) {
        std::printf("  list %d (%s) shows item %d", list.lid, list.kind.c_str(), list.itemNumber);
        if (list.kind == "selection") {
            std::printf("; previous %s, next %s, return %s; timeout %s -> %s%s\n", lidText(list.prevLid).c_str(),
                        lidText(list.nextLid).c_str(), lidText(list.returnLid).c_str(),
                        waitText(list.timeoutTime).c_str(), lidText(list.timeoutLid).c_str(),
                        list.jumpDelayed ? " (jump delayed)" : "");
            for (std::size_t key = 0; key < list.selectionLids.size(); ++key) {
                std::printf("      key %zu -> %s\n", list.bsn + key,
                            list.selectionLids[key] ? lidText(list.selectionLids[key]).c_str() : "nothing");
            }
        } else {
            std::printf("\n");
        }
    }
}

// The listing as JSON. Names on a disc need not be UTF-8 (ISO 9660 names and the INFO
// album are bytes); such bytes are written as replacement characters, so the output is
// always valid JSON.
void printJson(const DiscImage& disc) {
    using Json = nlohmann::ordered_json;
    const VcdInfo& info = disc.info();
    Json root;
    root["sectors"] = disc.sectorCount();
    Json tracks = Json::array();
    for (const auto& track : disc.cue().tracks) {
        tracks.push_back(
            {{"number", track.number}, {"mode", track.mode}, {"start", track.startLsn}, {"pregap", track.pregapLsn}});
    }
    root["tracks"] = std::move(tracks);
    root["volumeId"] = disc.volumeId();
    Json palFlags = Json::array();
    for (std::size_t i = 0; i < disc.entries().size() && i < info.palFlags.size(); ++i) {
        palFlags.push_back(static_cast<bool>(info.palFlags[i]));
    }
    root["info"] = {{"system", info.system},
                    {"version", info.version},
                    {"profile", info.profile},
                    {"album", info.album},
                    {"volumeCount", info.volumeCount},
                    {"volumeNumber", info.volumeNumber},
                    {"statusFlags", info.statusFlags},
                    {"psdSize", info.psdSize},
                    {"firstSegment", info.firstSegmentMsf},
                    {"offsetMultiplier", info.offsetMultiplier},
                    {"maxLid", info.maxLid},
                    {"palFlags", std::move(palFlags)},
                    {"segmentContent", info.segmentContent}};
    Json files = Json::array();
    for (const auto& file : disc.files()) {
        files.push_back({{"path", file.path}, {"size", file.size}, {"extent", file.extent},
                         {"directory", file.directory}, {"form2", file.form2}});
    }
    root["files"] = std::move(files);
    Json entries = Json::array();
    for (const auto& entry : disc.entries()) {
        entries.push_back({{"track", entry.track}, {"msf", entry.msf}, {"lsn", entry.lsn}});
    }
    root["entries"] = std::move(entries);
    Json segments = Json::array();
    for (const auto& segment : disc.segments()) {
        segments.push_back({{"playItem", segment.playItem}, {"units", segment.units}, {"content", segment.content}});
    }
    root["segments"] = std::move(segments);
    Json lists = Json::array();
    for (const auto& list : disc.lists()) {
        lists.push_back({{"lid", list.lid},           {"offset", list.offset},       {"kind", list.kind},
                         {"item", list.itemNumber},   {"prev", list.prevLid},        {"next", list.nextLid},
                         {"return", list.returnLid},  {"default", list.defaultLid},  {"timeout", list.timeoutLid},
                         {"timeoutTime", list.timeoutTime}, {"loopCount", list.loopCount},
                         {"jumpDelayed", list.jumpDelayed}, {"bsn", list.bsn}, {"selections", list.selectionLids}});
    }
    root["lists"] = std::move(lists);
    std::printf("%s\n", root.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
}

// Why a file's sectors are not all in the image; empty when they are.
std::string fileBeyondImage(const DiscImage& disc, const IsoFile& file) {
    const std::uint64_t sectors = (std::uint64_t{file.size} + 2047) / 2048;
    if (std::uint64_t{file.extent} + sectors <= disc.sectorCount()) return {};
    return formatText("%s (sectors %u to %llu) lies beyond the end of the image (%u sectors)", file.path.c_str(),
                      file.extent, static_cast<unsigned long long>(file.extent + sectors) - 1, disc.sectorCount());
}

// The same for track `index` of the cue sheet: from its INDEX 01 to the next track's start.
std::string trackBeyondImage(const DiscImage& disc, std::size_t index) {
    const auto& tracks = disc.cue().tracks;
    const std::uint32_t start = tracks[index].startLsn;
    const std::uint32_t end = index + 1 < tracks.size() ? tracks[index + 1].pregapLsn : disc.sectorCount();
    if (start < disc.sectorCount() && end <= disc.sectorCount() && start <= end) return {};
    return formatText("track %02d (sectors %u to %u) lies beyond the end of the image (%u sectors)",
                      tracks[index].number, start, end, disc.sectorCount());
}

// Writes every file and every MPEG track; a part the image does not hold, or that cannot
// be written, is named in `error` and ends the extraction.
bool extract(const DiscImage& disc, const std::string& folder, std::string& error) {
    ExtractFolder target;
    if (!target.open(folder, error)) return false;
    for (const auto& file : disc.files()) {
        if (file.directory) continue;
        if (error = fileBeyondImage(disc, file); !error.empty()) return false;
        if (!target.writeNewFile(file.path, disc.fileBytes(file), error)) return false;
    }
    const auto& tracks = disc.cue().tracks;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].number < 2) continue;
        if (error = trackBeyondImage(disc, i); !error.empty()) return false;
        if (!target.writeNewFile(formatText("track%02d.mpg", tracks[i].number), disc.trackBytes(tracks[i].number),
                                 error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int runInspectCommand(const InspectCommand& command) {
    DiscImage disc;
    std::string error;
    if (!disc.open(command.cuePath, error) || !disc.readFileSystem(error) || !disc.readControlFiles(error)) {
        std::fprintf(stderr, "tellavine-cli: %s\n", error.c_str());
        return kExitFailure;
    }
    if (command.json) printJson(disc);
    else printText(disc);
    if (!command.extractDir.empty() && !extract(disc, command.extractDir, error)) {
        std::fprintf(stderr, "tellavine-cli: cannot extract everything into %s: %s.\n", command.extractDir.c_str(),
                     error.c_str());
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace tellavine::cli
