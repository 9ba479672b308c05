// Feeds the emulated recorder a stream of commands decoded from the input, as a host (or
// a hostile program) could send them, and checks that every answer stays inside the
// buffers it was given. Also runs the engine's own parsers of drive answers (mode page
// lookup, INQUIRY text) over the same bytes.
//
// Input: repeated records of [cdb length][cdb][data-out length, 2 bytes BE][data-out]
// [data-in length, 2 bytes BE].

#include "recorder/emulated_recorder.h"
#include "recorder/scsi_transport.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string discPath() {
    static const std::string path = [] {
        const auto folder = std::filesystem::temp_directory_path() / ("tellavine-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        return (folder / "disc.bin").string();
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tellavine;
    std::error_code ignored;
    std::filesystem::remove(discPath(), ignored);
    std::filesystem::remove(discPath() + ".state", ignored);

    EmulatedRecorderOptions options;
    options.mediumForNewDisc = size % 2 ? EmulatedMedium::CdRw : EmulatedMedium::CdR;
    options.busyEveryWrites = 3;
    options.busyAnswers = 1;
    EmulatedRecorder drive(discPath(), options);

    const std::span<const std::uint8_t> input(data, size);
    (void)scsi_identify::pageFromModeSense(input, 64);
    ScsiDeviceRecord record;
    scsi_identify::takeInquiry(record, input);

    std::size_t at = 0;
    auto take = [&](std::size_t count) {
        const std::size_t available = std::min(count, size - at);
        const auto bytes = input.subspan(at, available);
        at += available;
        return bytes;
    };
    auto take16 = [&] {
        const auto bytes = take(2);
        return bytes.size() == 2 ? static_cast<std::size_t>((bytes[0] << 8) | bytes[1]) : 0;
    };
    for (int commands = 0; at < size && commands < 64; ++commands) {
        const auto cdb = take(input[at++] % 17);
        const auto outBytes = take(std::min<std::size_t>(take16(), 27 * 2448));
        const std::vector<std::uint8_t> dataOut(outBytes.begin(), outBytes.end());
        const std::size_t inLength = std::min<std::size_t>(take16(), 4096);
        std::vector<std::uint8_t> dataIn(inLength + 16, 0xA5);
        const EmulatedReply reply = drive.handle(cdb, dataOut, std::span(dataIn).first(inLength));
        if (reply.dataInLength > inLength) std::abort();
        for (std::size_t i = inLength; i < dataIn.size(); ++i)
            if (dataIn[i] != 0xA5) std::abort();
        if (!reply.good && (reply.sense[0] != 0x70 || (reply.sense[2] & 0x0F) == 0)) std::abort();
    }
    return 0;
}
