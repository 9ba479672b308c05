#include "encode/still_encoder.h"

#include "encode/ycbcr_conversion.h"
#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace tellavine {
namespace {

constexpr int kNormalResWidth = 352;

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

PreparedStill prepareStill(const StillPicture& picture, StillFormat format) {
    PreparedStill prepared;
    prepared.width = picture.width;
    if (picture.width <= 0) {
        prepared.failure = "Horizontal size from input stream illegal\n";
    } else if (picture.height <= 0) {
        prepared.failure = "Vertical size from input stream illegal\n";
    } else if (!pictureIsComplete(picture) || picture.width % 2 != 0 || picture.height % 2 != 0) {
        prepared.failure = "\ncan only handle 8 bit palettized, or 16, 24, or 32 bit RGB video!";
    }
    if (!prepared.failure.empty()) return prepared;

    mpegworker::EncodeStillRequest request;
    try {
        auto frame = convertToYCbCr420(picture, format.levels);
        request.width = static_cast<std::uint32_t>(frame.width);
        request.height = static_cast<std::uint32_t>(frame.height);
        request.luma = std::move(frame.luma);
        request.blueChroma = std::move(frame.blueChroma);
        request.redChroma = std::move(frame.redChroma);
        request.norm = format.standard == TvStandard::PAL ? mpegworker::VideoNorm::Pal : mpegworker::VideoNorm::Ntsc;
        prepared.request = mpegworker::encodeRequest(request);
    } catch (const std::bad_alloc&) {
        prepared.failure = "malloc failed\n";
    }
    return prepared;
}

namespace {

File openStillOutput(const std::string& outputPath, StillWrite write) {
    return File::open(outputPath, write == StillWrite::Append ? "ab" : "w+b");
}

EncoderResult storeStill(File output, mpegworker::Reply& reply, int width, const std::string& outputPath) {
    if (reply.status != mpegworker::ReplyStatus::Done) return reportEncoderFailure(reply.message);
    if (reply.data.empty()) return reportEncoderFailure("The still encoder produced no picture.\n");
    if (width > kNormalResWidth) padStillToSize(reply.data, kHighResStillVbvBytes);

    const bool written = std::fwrite(reply.data.data(), 1, reply.data.size(), output.get()) == reply.data.size();
    const int writeError = errno;
    const bool closed = output.close();
    if (!written || !closed)
        return reportEncoderFailure("Couldn't write output file " + outputPath + ": " +
                                    std::strerror(written ? errno : writeError) + "\n");
    return EncoderResult::success();
}

}  // namespace

EncoderResult finishStill(const PreparedStill& prepared, mpegworker::Reply reply, const std::string& outputPath,
                          StillWrite write) {
    if (!prepared.failure.empty()) return reportEncoderFailure(prepared.failure);
    File output = openStillOutput(outputPath, write);
    if (!output) return reportEncoderFailure("Couldn't create output file " + outputPath);
    return storeStill(std::move(output), reply, prepared.width, outputPath);
}

EncoderResult encodeStill(const StillPicture& picture, const std::string& outputPath, StillFormat format,
                          StillWrite write, MpegWorkerClient& worker) {
    const PreparedStill prepared = prepareStill(picture, format);
    if (!prepared.failure.empty()) return reportEncoderFailure(prepared.failure);
    File output = openStillOutput(outputPath, write);
    if (!output) return reportEncoderFailure("Couldn't create output file " + outputPath);
    auto reply = worker.run(prepared.request);
    return storeStill(std::move(output), reply, prepared.width, outputPath);
}

}  // namespace tellavine
