#pragma once
// The authoring object: the one entry point of Video CD image authoring. The disc
// assembly step describes the disc to it (parameters, playback-control nodes, extra
// files, segment play items, MPEG sequences); beginOutput lays the disc out and
// writeImage formats every sector into an ImageSink.
//
// One thread (the build thread) uses an object. Lifecycle: createAuthoringObject ->
// parameters and appends in any order -> beginOutput -> writeImage once -> endOutput ->
// destroy (the unique_ptr). Nothing throws; results are codes as documented.

#include "platform/sink_owner.h"
#include "vcd/data_source.h"
#include "vcd/disc_type.h"
#include "vcd/image_sink.h"
#include "vcd/mpeg_stream.h"
#include "vcd/pbc_node.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellavine::vcd {

enum class TextParameter { VolumeId = 1, PublisherId = 2, AlbumId = 3, ApplicationId = 9 };

enum class NumberParameter {
    VolumeCount = 4,
    VolumeNumber = 5,
    Restriction = 6,
    LeadoutPregap = 17,
    TrackPregap = 18,
    TrackFrontMargin = 19,
    TrackRearMargin = 20,
};

struct WriteProgress {
    std::uint32_t sectorsWritten = 0;
    std::uint32_t sectorsTotal = 0;  // ISO track + all tracks; the lead-out pregap is not counted
    std::uint32_t currentTrack = 0;  // 1 = ISO track
    std::uint32_t trackCount = 0;    // sequences + 1
};
// 0 to go on, anything else to abort.
using WriteProgressCallback = std::function<int(const WriteProgress&)>;

struct PauseEntry {
    double time = 0;  // seconds from the segment's first time stamp
    std::optional<std::string> pauseId;
};

struct SegmentItem {
    std::unique_ptr<MpegSource> source;
    std::string id;
    std::vector<PauseEntry> pauses;  // ascending
    std::uint32_t units = 0;
    std::uint32_t firstSector = 0;
};

struct SequenceItem {
    std::unique_ptr<MpegSource> source;
    std::optional<std::string> id;
    std::optional<std::string> defaultEntryId;
    std::uint32_t startOffset = 0;  // from the end of the ISO track to the track start
};

struct CustomFile {
    std::string isoPath;  // upper case
    std::unique_ptr<DataSource> source;
    bool raw = false;
    std::uint64_t size = 0;
    std::uint32_t extent = 0;
    std::uint32_t sectors = 0;
};

class AuthoringObject;
std::unique_ptr<AuthoringObject> createAuthoringObject(int type);

// Result codes of writeImage.
constexpr int kWriteComplete = 0;
constexpr int kWriteStopped = 1;  // aborted, invalid pack, or the sink failed: see failureReason()
constexpr int kWriteNoSink = -1;

class AuthoringObject {
public:
    ~AuthoringObject();
    AuthoringObject(const AuthoringObject&) = delete;
    AuthoringObject& operator=(const AuthoringObject&) = delete;

    DiscType type() const { return type_; }

    int setTextParameter(TextParameter id, std::string_view text);
    int setNumberParameter(NumberParameter id, std::uint32_t value);
    std::string textParameter(TextParameter id) const;
    std::uint32_t numberParameter(NumberParameter id) const;

    // 0, or -1 when the disc type has no segments, the id is empty or used, or the
    // source holds no packs. Scans the source.
    int appendSegmentItem(std::unique_ptr<MpegSource> source, const std::string& itemId);
    // 0, or -1 when no segment has that id (none: the segment appended last).
    int addSegmentPause(const std::optional<std::string>& itemId, double seconds,
                        const std::optional<std::string>& pauseId = std::nullopt);
    // The number of sequences before this one, or -1 when an id is used or both are equal.
    int appendSequenceItem(std::unique_ptr<MpegSource> source, const std::optional<std::string>& itemId,
                           const std::optional<std::string>& defaultEntryId);
    // 0, or 1 when raw is set and the size is 0 or not a multiple of 2336.
    int addCustomFile(std::string_view isoPath, std::unique_ptr<DataSource> source, bool raw);
    // 0, or -1 when the disc type has no playback control or the id is used.
    int appendPbcNode(PbcNode node);

    // Lays the disc out; returns the image's total sector count, or -1 when the disc
    // cannot be made (too many items, names, lists...; see failureReason()).
    std::int64_t beginOutput();
    int writeImage(ImageSink* sink, WriteProgressCallback progress, SinkOwner& owner);
    void endOutput();

    // Why beginOutput refused the disc or writeImage stopped; empty otherwise.
    const std::string& failureReason() const { return failureReason_; }

    const std::vector<SegmentItem>& segments() const { return segments_; }
    const std::vector<SequenceItem>& sequences() const { return sequences_; }
    const std::vector<CustomFile>& customFiles() const { return customFiles_; }
    const std::vector<PbcNode>& pbcNodes() const { return nodes_; }
    std::uint32_t trackSizeSum() const { return trackSizeSum_; }
    // Play item number of an id: sequences, then entries, then segments; 0 when unknown.
    std::uint16_t playItemNumber(std::string_view id) const;

private:
    friend std::unique_ptr<AuthoringObject> createAuthoringObject(int type);
    explicit AuthoringObject(DiscType type);
    bool idUsed(std::string_view id) const;
    bool hasPlaybackControl() const;
    struct Layout;
    class Writer;

    DiscType type_;
    std::string volumeId_, publisherId_, albumId_, applicationId_;
    std::uint32_t volumeCount_ = 1, volumeNumber_ = 1, restriction_ = 0;
    std::uint32_t leadoutPregap_ = 150, trackPregap_ = 150, frontMargin_ = 30, rearMargin_ = 45;
    std::vector<SegmentItem> segments_;
    std::vector<SequenceItem> sequences_;
    std::vector<PbcNode> nodes_;
    std::vector<CustomFile> customFiles_;
    std::uint32_t trackSizeSum_ = 0;
    std::unique_ptr<Layout> layout_;
    std::string failureReason_;
};

}  // namespace tellavine::vcd
