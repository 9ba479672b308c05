#include "encode/still_encoder.h"

#include "encode/ycbcr_conversion.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace tellavine {
namespace {

constexpr int kNormalResWidth = 352;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool pictureIsComplete(const StillPicture& picture) {
    return picture.bottomUpRows != nullptr && picture.rowStride >= static_cast<std::size_t>(picture.width) * 3;
}

}  // namespace

void padStillToSize(std::vector<std::uint8_t>& still, std::size_t targetSize) {
    static constexpr std::uint8_t kSequenceEnd[] = {0x00, 0x00, 0x01, 0xB7};
    if (still.size() >= targetSize || still.size() < sizeof kSequenceEnd) return;
    const auto endCode = still.end() - sizeof kSequenceEnd;
    if (!std::equal(endCode, still.end(), kSequenceEnd)) return;
    // Zero bytes before a start code are stuffing in MPEG-1 video.
    still.insert(endCode, targetSize - still.size(), 0);
}

EncoderResult encodeStill(const StillPicture& picture, const std::string& outputPath, TvStandard standard,
                          StillWrite write, MpegWorkerClient& worker) {
    if (picture.width <= 0) return reportEncoderFailure("Horizontal size from input stream illegal\n");
    if (picture.height <= 0) return reportEncoderFailure("Vertical size from input stream illegal\n");
    if (!pictureIsComplete(picture) || picture.width % 2 != 0 || picture.height % 2 != 0)
        return reportEncoderFailure("\ncan only handle 8 bit palettized, or 16, 24, or 32 bit RGB video!");

    mpegworker::EncodeStillRequest request;
    try {
        auto frame = convertToYCbCr420(picture);
        request.width = static_cast<std::uint32_t>(frame.width);
        request.height = static_cast<std::uint32_t>(frame.height);
        request.luma = std::move(frame.luma);
        request.blueChroma = std::move(frame.blueChroma);
        request.redChroma = std::move(frame.redChroma);
    } catch (const std::bad_alloc&) {
        return reportEncoderFailure("malloc failed\n");
    }
    request.norm = standard == TvStandard::PAL ? mpegworker::VideoNorm::Pal : mpegworker::VideoNorm::Ntsc;

    File output(std::fopen(outputPath.c_str(), write == StillWrite::Append ? "ab" : "w+b"));
    if (!output) return reportEncoderFailure("Couldn't create output file " + outputPath);

    auto reply = worker.run(mpegworker::encodeRequest(request));
    if (reply.status != mpegworker::ReplyStatus::Done) return reportEncoderFailure(reply.message);
    if (reply.data.empty()) return reportEncoderFailure("The still encoder produced no picture.\n");
    if (picture.width > kNormalResWidth) padStillToSize(reply.data, kHighResStillVbvBytes);

    const bool written = std::fwrite(reply.data.data(), 1, reply.data.size(), output.get()) == reply.data.size();
    const int writeError = errno;
    const bool closed = std::fclose(output.release()) == 0;
    if (!written || !closed)
        return reportEncoderFailure("Couldn't write output file " + outputPath + ": " +
                                    std::strerror(written ? errno : writeError) + "\n");
    return EncoderResult::success();
}

}  // namespace tellavine
