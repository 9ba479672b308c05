#include "mpegworker/still_encoding.h"

#include "mpegworker/fatal_error.h"
#include "mpegworker/transform_choice.h"

#include <elemstrmwriter.hh>
#include <encoderparams.hh>
#include <format_codes.h>
#include <imageplanes.hh>
#include <mjpeg_logging.h>
#include <mpeg2encoder.hh>
#include <mpeg2encoptions.hh>
#include <ontheflyratectlpass1.hh>
#include <ontheflyratectlpass2.hh>
#include <picturereader.hh>
#include <quantize.hh>
#include <seqencoder.hh>
#include <yuv4mpeg.h>

#include <cstring>

namespace tellavine::mpegworker {
namespace {

constexpr int kVcdStillsFormat = MPEG_FORMAT_VCD_STILL;
constexpr int kFrameRateCode25 = 3;
constexpr int kAspectCode4x3 = 2;
// Size targets: 220 KB for 704-wide stills, 40 KB for 352-wide ones. This library
// version refuses a 352-wide still asked for more than 42 KB instead of lowering the
// request, so each size asks for its own target.
constexpr int kHighResTargetBytes = 225280;
constexpr int kNormalResTargetBytes = 40960;

// Hands the one frame of the request to the encoder, then reports end of stream.
class PlanesReader : public PictureReader {
public:
    PlanesReader(EncoderParams& parameters, const EncodeStillRequest& frame)
        : PictureReader(parameters), frame_(frame) {}

    void StreamPictureParams(MPEG2EncInVidParams& stream) override {
        stream.horizontal_size = static_cast<int>(frame_.width);
        stream.vertical_size = static_cast<int>(frame_.height);
        stream.aspect_ratio_code = 0;  // no guess from the input
        stream.frame_rate_code = kFrameRateCode25;
        stream.interlacing_code = Y4M_ILACE_NONE;
        if (stream.horizontal_size <= 0) mjpeg_error_exit1("Horizontal size from input stream illegal");
        if (stream.vertical_size <= 0) mjpeg_error_exit1("Vertical size from input stream illegal");
    }

protected:
    bool LoadFrame(ImagePlanes& image) override {
        if (delivered_) return true;
        copyPlane(frame_.luma.data(), frame_.width, frame_.height, image.Plane(0), encparams.phy_width);
        copyPlane(frame_.blueChroma.data(), frame_.width / 2, frame_.height / 2, image.Plane(1),
                  encparams.phy_chrom_width);
        copyPlane(frame_.redChroma.data(), frame_.width / 2, frame_.height / 2, image.Plane(2),
                  encparams.phy_chrom_width);
        delivered_ = true;
        return false;
    }

private:
    static void copyPlane(const std::uint8_t* source, std::uint32_t width, std::uint32_t height,
                          std::uint8_t* target, int targetStride) {
        for (std::uint32_t row = 0; row < height; ++row)
            std::memcpy(target + static_cast<std::size_t>(row) * targetStride, source + std::size_t{row} * width,
                        width);
    }

    const EncodeStillRequest& frame_;
    bool delivered_ = false;
};

class MemoryWriter : public ElemStrmWriter {
public:
    explicit MemoryWriter(std::vector<std::uint8_t>& out) : out_(out) { flushed = 0; }

    void WriteOutBufferUpto(const uint8_t* buffer, const uint32_t flushUpto) override {
        out_.insert(out_.end(), buffer, buffer + flushUpto);
        flushed += flushUpto;
    }
    uint64_t BitCount() override { return flushed * 8; }

private:
    std::vector<std::uint8_t>& out_;
};

// The encoder's parts in the order the library needs them. The base class deletes
// every part it points to, including seqencoder, which it leaves uninitialised.
class StillEncoder : public MPEG2Encoder {
public:
    StillEncoder(MPEG2EncOptions& options, const EncodeStillRequest& frame, std::vector<std::uint8_t>& out)
        : MPEG2Encoder(options) {
        seqencoder = nullptr;
        reader = new PlanesReader(parms, frame);
        MPEG2EncInVidParams stream;
        reader->StreamPictureParams(stream);
        if (options.SetFormatPresets(stream))
            failJob("The still encoder refused its parameters.\n");
        writer = new MemoryWriter(out);
        quantizer = new Quantizer(parms);
        pass1ratectl = new OnTheFlyPass1(parms);
        pass2ratectl = new OnTheFlyPass2(parms);
        seqencoder = new SeqEncoder(parms, *reader, *quantizer, *writer, *pass1ratectl, *pass2ratectl);
        parms.Init(options);
        reader->Init();
        quantizer->Init();
        seqencoder->Init();
    }

    void encode() { seqencoder->EncodeStream(); }
};

}  // namespace

std::vector<std::uint8_t> encodeStillPicture(const EncodeStillRequest& request, DctChoice dct) {
    MPEG2EncOptions options;
    options.format = kVcdStillsFormat;
    options.frame_rate = kFrameRateCode25;
    options.aspect_ratio = kAspectCode4x3;
    options.norm = request.norm == VideoNorm::Pal ? 'p' : 'n';
    options.still_size = request.width > 352 ? kHighResTargetBytes : kNormalResTargetBytes;
    options.verbose = 0;
    std::vector<std::uint8_t> coded;
    coded.reserve(256 * 1024);
    StillEncoder encoder(options, request, coded);
    // The library has initialised by now and left its reference transforms in place.
    selectTransforms(dct);
    encoder.encode();
    // A still coded with other transforms than the chosen ones fails rather than
    // passing for a fast (or a reference) one.
    if (activeTransforms() != transformNamesOf(dct)) failJob("The still encoder ran other transforms than chosen.\n");
    return coded;
}

}  // namespace tellavine::mpegworker
