#include "vcd/mpeg_stream.h"

#include <algorithm>
#include <cstring>

namespace tellavine::vcd {
namespace {

constexpr std::uint8_t kPackStart = 0xBA;
// A whole disc holds fewer sectors; a longer stream is refused when the disc is laid out,
// and the pack table stays bounded whatever the file holds.
constexpr std::uint32_t kMaxScannedPacks = 100 * kFramesPerMinute;
constexpr std::uint8_t kSystemHeader = 0xBB;
constexpr std::uint8_t kPrivateStream1 = 0xBD;
constexpr std::uint8_t kPaddingStream = 0xBE;
constexpr std::uint8_t kProgramEnd = 0xB9;
constexpr std::uint8_t kSequenceHeader = 0xB3;
constexpr std::uint8_t kSequenceEnd = 0xB7;
constexpr std::uint8_t kGopHeader = 0xB8;
constexpr std::uint8_t kPictureHeader = 0x00;

constexpr unsigned kBitRates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};

double frameRateOf(unsigned code) {
    switch (code) {
        case 1: return 24000.0 / 1001.0;
        case 2: return 24;
        case 3: return 25;
        case 4: return 30000.0 / 1001.0;
        case 5: return 30;
        case 6: return 50;
        case 7: return 60000.0 / 1001.0;
        case 8: return 60;
        default: return 0;
    }
}

bool startCodeAt(std::span<const std::uint8_t> data, std::size_t at) {
    return at + 3 < data.size() + 0 && data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1;
}

double readTimeStamp(const std::uint8_t* p) {
    const std::uint64_t value = (std::uint64_t{(p[0] >> 1) & 7u} << 30) | (std::uint64_t{p[1]} << 22) |
                                (std::uint64_t(p[2] >> 1) << 15) | (std::uint64_t{p[3]} << 7) | (p[4] >> 1);
    return static_cast<double>(value) / 90000.0;
}

struct PesHeader {
    bool valid = false;
    std::size_t payloadStart = 0;  // relative to the packet start
    bool hasTimeStamp = false;
    double timeStamp = 0;
};

// `packet` is the whole PES packet from its start code.
PesHeader parsePesHeader(std::span<const std::uint8_t> packet) {
    PesHeader header;
    std::size_t at = 6;
    if (at >= packet.size()) return header;
    if ((packet[at] & 0xC0) == 0x80) {  // MPEG-2 form
        if (at + 3 > packet.size()) return header;
        const std::uint8_t flags = packet[at + 1];
        const std::size_t dataLength = packet[at + 2];
        header.payloadStart = at + 3 + dataLength;
        if (header.payloadStart > packet.size()) return header;
        if ((flags & 0x80) && at + 3 + 5 <= packet.size() && dataLength >= 5) {
            header.hasTimeStamp = true;
            header.timeStamp = readTimeStamp(&packet[at + 3]);
        }
        header.valid = true;
        return header;
    }
    while (at < packet.size() && packet[at] == 0xFF) ++at;  // stuffing
    if (at < packet.size() && (packet[at] & 0xC0) == 0x40) at += 2;  // STD buffer
    if (at >= packet.size()) return header;
    const std::uint8_t marker = packet[at] & 0xF0;
    if (marker == 0x20 || marker == 0x30) {
        const std::size_t length = marker == 0x20 ? 5 : 10;
        if (at + length > packet.size()) return header;
        header.hasTimeStamp = true;
        header.timeStamp = readTimeStamp(&packet[at]);
        at += length;
    } else {
        at += 1;  // 0x0F: no time stamps
    }
    header.payloadStart = at;
    header.valid = true;
    return header;
}

void readAudioHeader(std::span<const std::uint8_t> payload, AudioStreamInfo& audio) {
    for (std::size_t at = 0; at + 3 < payload.size(); ++at) {
        if (payload[at] != 0xFF || (payload[at + 1] & 0xF0) != 0xF0) continue;
        const std::uint8_t b1 = payload[at + 1], b2 = payload[at + 2], b3 = payload[at + 3];
        if (!((b1 >> 3) & 1)) continue;  // ID bit: MPEG-1 audio
        const unsigned layerBits = (b1 >> 1) & 3;
        if (layerBits == 0) continue;
        audio.layer = 4 - layerBits;
        audio.bitRate = kBitRates[audio.layer - 1][b2 >> 4] * 1000;
        static constexpr unsigned kRates[4] = {44100, 48000, 32000, 0};
        audio.samplingRate = kRates[(b2 >> 2) & 3];
        audio.mode = (b3 >> 6) + 1;
        audio.described = true;
        return;
    }
}

}  // namespace

PacketKind PacketInfo::kind() const {
    auto any = [](const auto& flags) { return std::any_of(flags.begin(), flags.end(), [](bool b) { return b; }); };
    if (any(video)) return PacketKind::Video;
    if (any(audio)) return PacketKind::Audio;
    if (allZero) return PacketKind::AllZero;
    if (any(privateStreams)) return PacketKind::Private;
    if (padding || systemHeader) return PacketKind::Other;
    return PacketKind::Invalid;
}

int PacketInfo::videoStream() const {
    for (int i = 0; i < 3; ++i)
        if (video[i]) return i;
    return -1;
}

int PacketInfo::audioStream() const {
    for (int i = 0; i < 3; ++i)
        if (audio[i]) return i;
    return -1;
}

PacketInfo PackParser::parse(std::span<const std::uint8_t> chunk) {
    PacketInfo pack;
    MpegStreamInfo& stream = *info;
    if (chunk.empty()) return pack;
    if (std::all_of(chunk.begin(), chunk.end(), [](std::uint8_t b) { return b == 0; })) {
        pack.allZero = true;
        pack.length = static_cast<std::uint32_t>(chunk.size());
        return pack;
    }
    if (chunk.size() < 12 || !startCodeAt(chunk, 0) || chunk[3] != kPackStart) return pack;

    std::size_t at;
    int version;
    if ((chunk[4] & 0xC0) == 0x40) {  // MPEG-2: SCR, mux rate, then stuffing
        if (chunk.size() < 14) return pack;
        at = 14 + (chunk[13] & 0x07);
        version = 2;
    } else {
        at = 12;
        version = 1;
    }
    if (stream.version == 0) stream.version = version;

    std::size_t packLength = chunk.size();
    while (at + 4 <= chunk.size()) {
        if (!startCodeAt(chunk, at)) {
            ++at;
            continue;
        }
        const std::uint8_t id = chunk[at + 3];
        if (id == kPackStart) {
            packLength = at;
            break;
        }
        const bool videoId = id >= 0xE0 && id <= 0xE2;
        const bool audioId = id >= 0xC0 && id <= 0xC2;
        const bool known = id == kSystemHeader || id == kPrivateStream1 || id == kPaddingStream || videoId || audioId;
        if (!known) {
            if (id == kProgramEnd) pack.programEnd = true;
            at += 4;
            continue;
        }
        if (at + 6 > chunk.size()) return PacketInfo{};
        const std::size_t end = at + 6 + ((std::size_t{chunk[at + 4]} << 8) | chunk[at + 5]);
        if (end > chunk.size()) return PacketInfo{};
        const auto packet = chunk.subspan(at, end - at);
        at = end;
        if (id == kSystemHeader) {
            pack.systemHeader = true;
            continue;
        }
        if (id == kPaddingStream) {
            pack.padding = true;
            continue;
        }
        const PesHeader header = parsePesHeader(packet);
        if (!header.valid) continue;
        if (header.hasTimeStamp) {
            pack.hasTimeStamp = true;
            pack.timeStamp = header.timeStamp;
            if (!stream.hasTimeStamps || header.timeStamp < stream.firstTime) stream.firstTime = header.timeStamp;
            if (!stream.hasTimeStamps || header.timeStamp > stream.lastTime) stream.lastTime = header.timeStamp;
            stream.hasTimeStamps = true;
        }
        const auto payload = packet.subspan(header.payloadStart);
        if (id == kPrivateStream1) {
            std::size_t first = 0;
            if (first < payload.size() && payload[first] == 0x70) ++first;
            if (first < payload.size() && payload[first] <= 3) {
                pack.privateStreams[payload[first]] = true;
                stream.privateStreams[payload[first]] = true;
            }
            continue;
        }
        if (audioId) {
            const int index = id - 0xC0;
            pack.audio[index] = true;
            AudioStreamInfo& audio = stream.audio[index];
            audio.present = true;
            if (!audio.described) readAudioHeader(payload, audio);
            continue;
        }
        const int index = id - 0xE0;
        pack.video[index] = true;
        VideoStreamInfo& video = stream.video[index];
        video.present = true;
        long sequencePos = -1, gopPos = -1, iPicturePos = -1;
        for (std::size_t p = 0; p + 4 <= payload.size(); ++p) {
            if (!startCodeAt(payload, p)) continue;
            const std::uint8_t code = payload[p + 3];
            if (code == kSequenceHeader && sequencePos < 0) {
                sequencePos = static_cast<long>(p);
                if (!video.described && p + 8 <= payload.size()) {
                    video.horizontalSize = (payload[p + 4] << 4) | (payload[p + 5] >> 4);
                    video.verticalSize = ((payload[p + 5] & 0x0F) << 8) | payload[p + 6];
                    video.aspectCode = payload[p + 7] >> 4;
                    video.frameRateCode = payload[p + 7] & 0x0F;
                    video.frameRate = frameRateOf(video.frameRateCode);
                    video.described = true;
                }
            } else if (code == kGopHeader && gopPos < 0) {
                gopPos = static_cast<long>(p);
            } else if (code == kPictureHeader && iPicturePos < 0 && p + 6 <= payload.size()) {
                if (((payload[p + 5] >> 3) & 7) == 1) iPicturePos = static_cast<long>(p);
            }
        }
        if (header.hasTimeStamp && iPicturePos >= 0 && (stream.version == 1 || stream.version == 2)) {
            int kind = gopPos >= 0 && gopPos < iPicturePos ? 2 : 1;
            if (sequencePos >= 0 && gopPos > sequencePos && iPicturePos > gopPos) kind = sequencePos == 0 ? 4 : 3;
            const bool notEarlier = video.accessPoints.empty() || header.timeStamp >= video.accessPoints.back().time;
            if (notEarlier && header.timeStamp >= lastAccessTime[index]) {
                pack.accessKind = kind;
                pack.accessStream = index;
                pack.accessTime = header.timeStamp;
                lastAccessTime[index] = header.timeStamp;
            }
        }
    }
    pack.length = static_cast<std::uint32_t>(packLength);
    return pack;
}

VideoNorm videoNorm(const VideoStreamInfo& video) {
    struct Row {
        VideoNorm norm;
        unsigned width, height, rateCode;
    };
    static constexpr Row kRows[] = {
        {VideoNorm::FilmSif, 352, 240, 1},         {VideoNorm::PalSif, 352, 288, 3},
        {VideoNorm::NtscSif, 352, 240, 4},         {VideoNorm::PalTwoThirdsD1, 480, 576, 3},
        {VideoNorm::NtscTwoThirdsD1, 480, 480, 4},
    };
    for (const Row& row : kRows)
        if (video.horizontalSize == row.width && video.verticalSize == row.height && video.frameRateCode == row.rateCode)
            return row.norm;
    return VideoNorm::Unknown;
}

const char* videoNormName(VideoNorm norm) {
    switch (norm) {
        case VideoNorm::FilmSif: return "FILM SIF (352x240/24fps)";
        case VideoNorm::PalSif: return "PAL SIF (352x288/25fps)";
        case VideoNorm::NtscSif: return "NTSC SIF (352x240/30fps)";
        case VideoNorm::PalTwoThirdsD1: return "PAL 2/3 D-1 (480x576/25fps)";
        case VideoNorm::NtscTwoThirdsD1: return "NTSC 2/3 D-1 (480x480/30fps)";
        case VideoNorm::Unknown: break;
    }
    return "unknown";
}

bool isPal(const VideoStreamInfo& video) {
    const VideoNorm norm = videoNorm(video);
    return norm == VideoNorm::PalSif || norm == VideoNorm::PalTwoThirdsD1 || video.verticalSize == 288 ||
           video.verticalSize == 576;
}

void MpegSource::scan(bool strictAccessPoints, const ScanProgressCallback& progress) {
    if (scanned_) return;
    info_ = MpegStreamInfo{};
    PackParser parser{&info_};
    const std::uint64_t size = source_->size();
    std::uint64_t offset = 0;
    std::uint64_t lastReported = 0;
    if (progress) progress({0, 0, size});
    // Bytes after a short pack stay in the chunk and the next read tops it up, so a
    // stream of short packs costs no seek per pack.
    std::array<std::uint8_t, kMaxPackSize> chunk;
    std::size_t have = 0;
    if (!source_->seek(0)) offset = size;
    while (offset < size && info_.packs < kMaxScannedPacks) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kMaxPackSize, size - offset));
        if (have < wanted) {
            const std::size_t got = source_->read(std::span(chunk).subspan(have, wanted - have));
            if (got != wanted - have) break;  // unreadable: the stream ends here
            have = wanted;
        }
        const PacketInfo pack = parser.parse(std::span(chunk).first(wanted));
        if (pack.length == 0) break;
        if (pack.accessKind >= 3 || (!strictAccessPoints && pack.accessKind > 0))
            info_.video[pack.accessStream].accessPoints.push_back({info_.packs, pack.accessTime});
        packOffsets_.push_back(offset);
        packLengths_.push_back(static_cast<std::uint16_t>(pack.length));
        ++info_.packs;
        offset += pack.length;
        have -= pack.length;
        std::memmove(chunk.data(), chunk.data() + pack.length, have);
        if (progress && (offset - lastReported) * 100 > size) {
            lastReported = offset;
            progress({info_.packs, offset, size});
        }
    }
    for (auto& video : info_.video)
        for (auto& point : video.accessPoints) point.time -= info_.firstTime;
    info_.playingTime = info_.lastTime - info_.firstTime;
    scanned_ = true;
    // Reopened on first read: a disc may hold far more streams than a process may keep open.
    source_->close();
    if (progress) progress({info_.packs, offset, size});
}

PacketInfo MpegSource::readPack(std::uint32_t index, std::span<std::uint8_t, kMaxPackSize> payload) {
    std::fill(payload.begin(), payload.end(), std::uint8_t{0});
    if (index >= packOffsets_.size()) return {};
    const std::size_t length = packLengths_[index];
    if (!source_->seek(packOffsets_[index]) || source_->read(payload.first(length)) != length) return {};
    MpegStreamInfo scratch;
    scratch.version = info_.version;
    PackParser parser{&scratch};
    return parser.parse(payload.first(length));
}

std::unique_ptr<MpegSource> createMpegSource(std::unique_ptr<DataSource> source) {
    if (!source) return nullptr;
    return std::make_unique<MpegSource>(std::move(source));
}

bool containsSequenceEnd(std::span<const std::uint8_t> payload) {
    for (std::size_t at = 0; at + 4 <= payload.size(); ++at)
        if (startCodeAt(payload, at) && payload[at + 3] == kSequenceEnd) return true;
    return false;
}

}  // namespace tellavine::vcd
