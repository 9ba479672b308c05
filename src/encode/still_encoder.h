#pragma once
// Encodes one picture as a Video CD still: an MPEG-1 video sequence with one
// intra-coded picture (mjpegtools' VCD stills profile, run in the MPEG worker).
//
// Fixed parameters: frame-rate code 3 (25 fps) for PAL and NTSC, display aspect 4:3
// (pel aspect code 8 for PAL, 12 for NTSC), size target 220 KB for 704-wide stills and
// 40 KB for 352-wide ones. 704-wide stills are padded with zero bytes before their
// sequence end code up to the 225280-byte VBV buffer size; 352-wide stills are not.
//
// Threads: one still at a time per worker client; the picture must stay unchanged
// during the call.

#include "encode/encoder_error.h"
#include "encode/mpeg_worker_client.h"
#include "encode/still_picture.h"
#include "project/model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tellavine {

inline constexpr std::size_t kHighResStillVbvBytes = 225280;

// What a still is encoded for: the TV standard and the sample levels. A standard alone
// means studio levels, what every player expects.
struct StillFormat {
    StillFormat(TvStandard standard, StillLevels levels = StillLevels::Studio) : standard(standard), levels(levels) {}
    TvStandard standard;
    StillLevels levels;
};

inline StillFormat stillFormatOf(const DiscOptions& options) { return {options.tvStandard, options.stillLevels}; }

enum class StillWrite { Create, Append };

// Writes the still to `outputPath`: Create makes or truncates the file, Append adds
// the still after the stills already there. On failure the message box has been shown
// ("Couldn't create output file %s", the encoder's fatal message, ...) and the result
// carries its text; the file may be left partly written.
EncoderResult encodeStill(const StillPicture& picture, const std::string& outputPath, StillFormat format,
                          StillWrite write, MpegWorkerClient& worker = sharedMpegWorker());

// encodeStill in two halves, for callers that keep a worker busy on a thread of their
// own: prepareStill checks and converts the picture into a worker request (nothing is
// shown), finishStill shows what failed, exactly as encodeStill would, or writes the
// worker's still to `outputPath`.
struct PreparedStill {
    int width = 0;
    std::vector<std::uint8_t> request;  // empty when `failure` is set
    std::string failure;                // the message encodeStill would show
};
PreparedStill prepareStill(const StillPicture& picture, StillFormat format);
EncoderResult finishStill(const PreparedStill& prepared, mpegworker::Reply reply, const std::string& outputPath,
                          StillWrite write);

// Pads a coded still with zero bytes before its final sequence end code so that it
// fills `targetSize` bytes. A still that is already as large, or lacks the end code,
// is left as it is.
void padStillToSize(std::vector<std::uint8_t>& still, std::size_t targetSize);

}  // namespace tellavine
