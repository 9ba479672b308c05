#include "audio/wav_format.h"

#include "platform/bytes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tellavine::audio {
namespace {

std::optional<std::uint64_t> fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
    const long size = std::ftell(file);
    if (size < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

bool readExactly(std::FILE* file, std::uint8_t* into, std::size_t count) {
    return std::fread(into, 1, count, file) == count;
}

std::string_view chunkId(const std::uint8_t* bytes) {
    return {reinterpret_cast<const char*>(bytes), 4};
}

std::optional<WavFormat> parseFormatChunk(std::span<const std::uint8_t> body) {
    if (body.size() < 16) return std::nullopt;
    ByteReader reader(body);
    WavFormat format;
    format.formatTag = reader.u16le();
    format.channels = reader.u16le();
    format.sampleRate = static_cast<int>(std::min<std::uint32_t>(reader.u32le(), 0x7fffffff));
    format.bytesPerSecond = reader.u32le();
    format.blockAlign = reader.u16le();
    format.bitsPerSample = reader.u16le();
    // WAVE_FORMAT_EXTENSIBLE names the real format in the first two bytes of its GUID.
    if (format.formatTag == kWavFormatExtensible && body.size() >= 26) {
        reader.seek(24);
        format.formatTag = reader.u16le();
    }
    return format;
}

}  // namespace

std::optional<WavLayout> readWavLayout(std::FILE* file) {
    const auto size = fileSize(file);
    if (!size || std::fseek(file, 0, SEEK_SET) != 0) return std::nullopt;
    std::array<std::uint8_t, 12> riff{};
    if (!readExactly(file, riff.data(), riff.size())) return std::nullopt;
    if (chunkId(riff.data()) != "RIFF" || chunkId(riff.data() + 8) != "WAVE") return std::nullopt;

    std::optional<WavFormat> format;
    std::optional<WavLayout> layout;
    std::uint64_t position = 12;
    // Every chunk moves the position forward by at least its 8-byte header.
    while (position + 8 <= *size && !(format && layout)) {
        std::array<std::uint8_t, 8> header{};
        if (std::fseek(file, static_cast<long>(position), SEEK_SET) != 0 ||
            !readExactly(file, header.data(), header.size())) {
            return std::nullopt;
        }
        ByteReader sizeReader(std::span<const std::uint8_t>(header).subspan(4));
        const std::uint64_t chunkSize = sizeReader.u32le();
        const std::uint64_t body = position + 8;
        const std::uint64_t available = std::min(chunkSize, *size - body);
        const auto id = chunkId(header.data());
        if (id == "fmt " && !format) {
            // Only the leading 40 bytes of a format chunk carry anything this reader uses.
            std::array<std::uint8_t, 40> bytes{};
            const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(available, bytes.size()));
            if (!readExactly(file, bytes.data(), take)) return std::nullopt;
            format = parseFormatChunk(std::span<const std::uint8_t>(bytes).first(take));
            if (!format) return std::nullopt;
        } else if (id == "data" && !layout) {
            // Writers that stream set the length to 0xFFFFFFFF; the file end bounds it.
            layout = WavLayout{{}, body, available};
        }
        // Chunks are padded to an even length.
        position = body + chunkSize + (chunkSize & 1);
    }
    if (!format || !layout) return std::nullopt;
    layout->format = *format;
    return layout;
}

std::vector<std::uint8_t> canonicalWavHeader(int channels, int sampleRate, int bitsPerSample,
                                             std::uint32_t dataLength) {
    const auto bitsPerFrame = static_cast<std::uint32_t>(channels * bitsPerSample);
    ByteWriter writer(kCanonicalWavHeaderSize);
    writer.bytes("RIFF");
    writer.u32le(dataLength + 36);  // the rest of the file after this field
    writer.bytes("WAVE");
    writer.bytes("fmt ");
    writer.u32le(16);  // format chunk length
    writer.u16le(kWavFormatPcm);
    writer.u16le(static_cast<std::uint16_t>(channels));
    writer.u32le(static_cast<std::uint32_t>(sampleRate));
    writer.u32le((static_cast<std::uint32_t>(sampleRate) * bitsPerFrame + 7) / 8);  // bytes per second
    writer.u16le(static_cast<std::uint16_t>((bitsPerFrame + 7) / 8));              // block align
    writer.u16le(static_cast<std::uint16_t>(bitsPerSample));
    writer.bytes("data");
    writer.u32le(dataLength);
    return writer.take();
}

}  // namespace tellavine::audio
