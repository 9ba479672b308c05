#pragma once
// MPEG program streams as a Video CD carries them: one pack per Form 2 sector (at most
// 2324 bytes). A stream is scanned once for its packs, streams, picture size, audio
// mode, time range and access points; its packs are read again, in order, when the
// sectors are written.

#include "platform/cd_geometry.h"
#include "vcd/data_source.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tellavine::vcd {

constexpr std::size_t kMaxPackSize = kForm2DataSize;  // a pack fills at most one Form 2 sector

struct AccessPoint {
    std::uint32_t pack = 0;  // 0-based
    double time = 0;         // seconds from the stream's first time stamp (after the scan)
};

struct VideoStreamInfo {
    bool present = false;
    bool described = false;  // a sequence header was read
    unsigned horizontalSize = 0;
    unsigned verticalSize = 0;
    unsigned aspectCode = 0;
    unsigned frameRateCode = 0;
    double frameRate = 0;
    std::vector<AccessPoint> accessPoints;
};

struct AudioStreamInfo {
    bool present = false;
    bool described = false;  // a frame header was read
    unsigned layer = 0;
    unsigned bitRate = 0;       // bits per second
    unsigned samplingRate = 0;  // Hz
    unsigned mode = 0;          // 1 stereo, 2 joint stereo, 3 dual channel, 4 single channel
};

struct MpegStreamInfo {
    std::uint32_t packs = 0;
    int version = 0;  // 1 MPEG-1, 2 MPEG-2 pack headers
    std::array<VideoStreamInfo, 3> video;  // 0xE0 motion, 0xE1 still, 0xE2 high-resolution still
    std::array<AudioStreamInfo, 3> audio;  // 0xC0..0xC2
    std::array<bool, 4> privateStreams{};  // private stream 1 sub-streams 0..3
    bool hasTimeStamps = false;
    double firstTime = 0;
    double lastTime = 0;
    double playingTime = 0;
};

enum class PacketKind { Invalid = 0, Video = 1, Audio = 2, Private = 3, AllZero = 4, Other = 5 };

struct PacketInfo {
    std::uint32_t length = 0;  // 0 = not a pack
    std::array<bool, 3> video{};
    std::array<bool, 3> audio{};
    std::array<bool, 4> privateStreams{};
    bool padding = false;
    bool programEnd = false;
    bool allZero = false;
    bool systemHeader = false;
    bool hasTimeStamp = false;
    double timeStamp = 0;  // of the last PES packet that carried one
    int accessKind = 0;    // 0 none; 1, 2 plain I picture; 3 after sequence and GOP headers; 4 ... at payload start
    int accessStream = 0;
    double accessTime = 0;

    PacketKind kind() const;
    // First video stream (0..2) flagged, or -1.
    int videoStream() const;
    int audioStream() const;
};

// State carried from pack to pack while parsing one stream.
struct PackParser {
    MpegStreamInfo* info = nullptr;
    std::array<double, 3> lastAccessTime{-1, -1, -1};

    // Parses the pack at the start of `chunk` (at most 2324 bytes).
    PacketInfo parse(std::span<const std::uint8_t> chunk);
};

enum class VideoNorm { Unknown = 0, PalSif = 1, NtscSif = 2, FilmSif = 3, PalTwoThirdsD1 = 4, NtscTwoThirdsD1 = 5 };
VideoNorm videoNorm(const VideoStreamInfo& video);
const char* videoNormName(VideoNorm norm);
bool isPal(const VideoStreamInfo& video);

struct ScanProgress {
    std::uint32_t packs = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};
using ScanProgressCallback = std::function<void(const ScanProgress&)>;

class MpegSource {
public:
    explicit MpegSource(std::unique_ptr<DataSource> source) : source_(std::move(source)) {}

    // Scans once; later calls return at once. A chunk that is not a pack, or a PES packet
    // running past it, ends the stream there silently.
    void scan(bool strictAccessPoints, const ScanProgressCallback& progress = {});
    bool scanned() const { return scanned_; }
    const MpegStreamInfo& info() const { return info_; }
    DataSource& dataSource() { return *source_; }

    // Reads pack `index` into the start of `payload` (2324 bytes, zeros after the pack)
    // and parses it again. Length 0 when it cannot be read.
    PacketInfo readPack(std::uint32_t index, std::span<std::uint8_t, kMaxPackSize> payload);

private:
    std::unique_ptr<DataSource> source_;
    bool scanned_ = false;
    MpegStreamInfo info_;
    std::vector<std::uint64_t> packOffsets_;
    std::vector<std::uint16_t> packLengths_;
};

std::unique_ptr<MpegSource> createMpegSource(std::unique_ptr<DataSource> source);

// True when the bytes 00 00 01 B7 (sequence end code) start anywhere in `payload`.
bool containsSequenceEnd(std::span<const std::uint8_t> payload);

}  // namespace tellavine::vcd
