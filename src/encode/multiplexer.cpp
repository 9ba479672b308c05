#include "encode/multiplexer.h"

#include "encode/mpeg_input_probe.h"
#include "encode/worker_protocol.h"
#include "platform/cd_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace tellavine {
namespace {

constexpr int kNormalResWidth = 352;
constexpr std::uint32_t kTicksPerSecond = 90000;
// A single still never changes, so its interval has no visible effect.
constexpr std::uint32_t kSingleStillIntervalTicks = 30;
// Sector payloads of a VCD stills stream: 2324 bytes less the pack and packet headers
// (video, with time stamps and buffer fields) or the headers and the 20 zero bytes of
// every audio sector.
constexpr double kVideoPayloadPerSector = kForm2DataSize - 12 - 18;
constexpr double kAudioPayloadPerSector = kForm2DataSize - 12 - 8 - 20;

struct ProbedInput {
    std::string path;
    MpegInputProbe probe;
};

// Opens and classifies every input in order. The first input that cannot be opened or
// read ends it with the library's message; unrecognisable inputs are collected and
// refused together at the end, as the library does.
std::optional<EncoderResult> probeInputs(const std::vector<std::string>& paths, std::vector<ProbedInput>& probed) {
    bool unrecognised = false;
    for (const auto& path : paths) {
        auto probe = probeMpegInput(path);
        if (probe.open == MpegInputProbe::Open::CannotOpen)
            return reportEncoderFailure("Unable to open file " + path + " for reading.\n");
        if (probe.open == MpegInputProbe::Open::CannotRead)
            return reportEncoderFailure("Unable to read from file " + path + ".\n");
        // The library's per-file "File %s unrecogniseable!" goes to its discarded log.
        if (probe.kind == MpegInputKind::Unrecognised) unrecognised = true;
        if (probe.kind == MpegInputKind::MpegAudio && !probe.audio.valid) {
            char text[64];
            std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(probe.audio.badFrameOffset));
            return reportEncoderFailure("File " + path + " is not a clean MPEG audio stream (bad frame header at byte " +
                                        text + ").\n");
        }
        probed.push_back({path, std::move(probe)});
    }
    if (unrecognised) return reportEncoderFailure("Unrecogniseable file(s)... exiting.\n");
    return std::nullopt;
}

bool highResolution(const MpegInputProbe& probe) { return probe.video.width > kNormalResWidth; }

std::optional<EncoderResult> checkPair(const ProbedInput& first, const ProbedInput& second) {
    if (highResolution(first.probe) == highResolution(second.probe))
        return reportEncoderFailure("VCD mixed stills stream cannot contain two streams of the same type!\n");
    return std::nullopt;
}

EncoderResult reportTooShortInterval(const StillSequenceOptions& options, double neededSeconds) {
    const int seconds = static_cast<int>(std::ceil(neededSeconds));
    char text[512];
    std::snprintf(text, sizeof text,
                  "The album \"%s\" shows each photo for %d second(s), too short for a Video CD to deliver its "
                  "pictures in time. Please choose a play time of at least %d seconds.\n",
                  options.displayName.c_str(), options.secondsPerStill, seconds);
    return reportEncoderFailure(text);
}

EncoderResult runMultiplex(const mpegworker::MultiplexRequest& request, MpegWorkerClient& worker,
                           const StillSequenceOptions* sequence = nullptr) {
    const auto reply = worker.run(mpegworker::encodeRequest(request));
    if (reply.status == mpegworker::ReplyStatus::Done) return EncoderResult::success();
    // The estimate let the interval through, but the multiplexer found pictures it could
    // not deliver by their decoding time; say so in the same words.
    if (sequence && reply.message.find("under-runs") != std::string::npos)
        return reportTooShortInterval(*sequence, sequence->secondsPerStill + 1);
    return reportEncoderFailure(reply.message);
}

}  // namespace

double minimumStillInterval(std::size_t pairBytes, std::uint32_t audioBytesPerSecond) {
    const double audioSectors = std::ceil(audioBytesPerSecond / kAudioPayloadPerSector);
    const double videoSectorsPerSecond = kFramesPerSecond - audioSectors;
    if (videoSectorsPerSecond <= 0) return INFINITY;
    return std::ceil(pairBytes / kVideoPayloadPerSector) / videoSectorsPerSecond;
}

EncoderResult multiplexStillPair(const std::string& outputPath, const std::string& firstVideoPath,
                                 const std::string& secondVideoPath, MpegWorkerClient& worker) {
    std::vector<ProbedInput> inputs;
    if (auto failure = probeInputs({firstVideoPath, secondVideoPath}, inputs)) return *failure;
    for (const auto& input : inputs)
        if (input.probe.kind != MpegInputKind::MpegVideo)
            return reportEncoderFailure("File " + input.path + " is not a video still stream.\n");
    if (auto failure = checkPair(inputs[0], inputs[1])) return *failure;

    mpegworker::MultiplexRequest request;
    request.outputPath = outputPath;
    request.stillIntervalTicks = kSingleStillIntervalTicks;
    request.pairs.push_back({firstVideoPath, secondVideoPath});
    return runMultiplex(request, worker);
}

EncoderResult multiplexStillSequence(const std::string& outputPath, const std::vector<std::string>& inputPaths,
                                     const StillSequenceOptions& options, MpegWorkerClient& worker) {
    std::vector<ProbedInput> inputs;
    if (auto failure = probeInputs(inputPaths, inputs)) return *failure;

    mpegworker::MultiplexRequest request;
    request.outputPath = outputPath;
    request.stillIntervalTicks = static_cast<std::uint32_t>(std::max(options.secondsPerStill, 0)) * kTicksPerSecond;
    const ProbedInput* unpaired = nullptr;
    std::size_t largestPair = 0;
    int stillsPerStream = 0;
    std::uint32_t audioBytesPerSecond = 0;
    for (const auto& input : inputs) {
        if (input.probe.kind == MpegInputKind::MpegAudio) {
            request.audioPaths.push_back(input.path);
            audioBytesPerSecond += input.probe.audio.bytesPerSecond;
        } else if (input.probe.kind == MpegInputKind::MpegVideo) {
            if (!unpaired) {
                unpaired = &input;
                continue;
            }
            if (auto failure = checkPair(*unpaired, input)) return *failure;
            request.pairs.push_back({unpaired->path, input.path});
            largestPair = std::max(largestPair,
                                   unpaired->probe.video.largestPictureBytes + input.probe.video.largestPictureBytes);
            stillsPerStream = std::max({stillsPerStream, unpaired->probe.video.pictures, input.probe.video.pictures});
            unpaired = nullptr;
        }
    }

    if (stillsPerStream > 1) {
        const double needed = minimumStillInterval(largestPair, audioBytesPerSecond);
        if (options.secondsPerStill < needed) return reportTooShortInterval(options, needed);
    }
    return runMultiplex(request, worker, &options);
}

}  // namespace tellavine
