#include "mpegworker/stills_multiplexing.h"

#include "mpegworker/fatal_error.h"
#include "platform/file.h"

#include <format_codes.h>
#include <mjpeg_logging.h>
#include <audiostrm.hpp>
#include <bits.hpp>
#include <interact.hpp>
#include <multiplexor.hpp>
#include <outputstrm.hpp>
#include <stillsstream.hpp>
#include <stream_params.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tellavine::mpegworker {
namespace {

constexpr unsigned int kVideoBufferKilobytes = 220;
constexpr unsigned int kInputBufferBytes = 64 * 1024;
constexpr clockticks kTicksPerFrame = CLOCKS / 25;

// The Multiplexor keeps its stream lists private and fills them only through its own
// stills set-up, whose timing is fixed. An explicit instantiation may name private
// members, so this template hands out pointers to the lists.
template <typename Tag, typename Tag::type Member>
struct MemberAccess {
    friend typename Tag::type memberOf(Tag) { return Member; }
};
struct AllStreams {
    using type = std::vector<ElementaryStream*> Multiplexor::*;
    friend type memberOf(AllStreams);
};
struct VideoStreams {
    using type = std::vector<ElementaryStream*> Multiplexor::*;
    friend type memberOf(VideoStreams);
};
struct AudioStreams {
    using type = std::vector<ElementaryStream*> Multiplexor::*;
    friend type memberOf(AudioStreams);
};
template struct MemberAccess<AllStreams, &Multiplexor::estreams>;
template struct MemberAccess<VideoStreams, &Multiplexor::vstreams>;
template struct MemberAccess<AudioStreams, &Multiplexor::astreams>;

class FileInput : public IBitStream {
public:
    explicit FileInput(const std::string& path) : path_(path) {
        file_ = File::open(path, "rb");
        if (!file_) mjpeg_error_exit1("Unable to open file %s for reading.", path.c_str());
        streamname = path_.c_str();
        SetBufSize(kInputBufferBytes);
        eobs = false;
        byteidx = 0;
        if (!ReadIntoBuffer() && buffered == 0) mjpeg_error_exit1("Unable to read from file %s.", path.c_str());
    }
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

private:
    size_t ReadStreamBytes(uint8_t* buffer, size_t count) override { return std::fread(buffer, 1, count, file_.get()); }
    bool EndOfStream() override { return std::feof(file_.get()) != 0; }

    std::string path_;
    File file_;
};

class FileOutput : public OutputStream {
public:
    explicit FileOutput(std::string path) : path_(std::move(path)) {}
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    int Open() override {
        file_ = File::open(path_, "wb");
        if (!file_) mjpeg_error_exit1("Could not open for writing: %s", path_.c_str());
        return 0;
    }
    void Close() override {
        if (!file_.close()) mjpeg_error_exit1("Failed write: %s", path_.c_str());
    }
    uint64_t SegmentSize() override { return written_; }
    // Stills streams are never split; a request to do so is a fault.
    void NextSegment() override { mjpeg_error_exit1("Failed write: %s", path_.c_str()); }
    void Write(uint8_t* data, unsigned int length) override {
        if (!file_ || std::fwrite(data, 1, length, file_.get()) != length)
            mjpeg_error_exit1("Failed write: %s", path_.c_str());
        written_ += length;
    }

private:
    std::string path_;
    File file_;
    uint64_t written_ = 0;
};

// A VCD stills stream with exact times: still k is decoded at k x interval and
// presented a frame later. The library's own times add each stream's buffer transfer
// time, so the two halves of a pair would not be shown together.
// The library borrows the stream's parameters and never frees them; this holder owns
// them and, as the first base, outlives the library's stream object.
struct StillsParamsHolder {
    StillsParamsHolder()
        : intervals(std::make_unique<ConstantFrameIntervals>(1)),
          parameters(std::make_unique<StillsParams>(VideoParams::Checked(kVideoBufferKilobytes), intervals.get())) {}
    std::unique_ptr<ConstantFrameIntervals> intervals;
    std::unique_ptr<StillsParams> parameters;
};

class TimedStillsStream : private StillsParamsHolder, public VCDStillsStream {
public:
    TimedStillsStream(IBitStream& input, Multiplexor& into, clockticks interval)
        : StillsParamsHolder(), VCDStillsStream(input, parameters.get(), into), interval_(interval) {}

private:
    void NextDTSPTS() override {
        access_unit.DTS = stillsSent_ * interval_;
        access_unit.PTS = access_unit.DTS + kTicksPerFrame;
        ++stillsSent_;
        fields_presented += 2;
    }

    clockticks interval_;
    clockticks stillsSent_ = 0;
};

TimedStillsStream* addStillsStream(Multiplexor& mux, IBitStream& input, clockticks interval) {
    auto* stream = new TimedStillsStream(input, mux, interval);
    (mux.*memberOf(AllStreams{})).push_back(stream);
    (mux.*memberOf(VideoStreams{})).push_back(stream);
    stream->Init();
    return stream;
}

}  // namespace

void multiplexStills(const MultiplexRequest& request) {
    MultiplexJob job;
    job.mux_format = MPEG_FORMAT_VCD_STILL;
    job.verbose = 0;
    FileOutput output(request.outputPath);
    // An empty job: the streams are added below, with their own timing.
    Multiplexor mux(job, output, nullptr);

    std::vector<std::unique_ptr<FileInput>> inputs;
    const clockticks interval = static_cast<clockticks>(request.stillIntervalTicks) * CLOCKS_per_90Kth_sec;
    for (const auto& pair : request.pairs) {
        inputs.push_back(std::make_unique<FileInput>(pair.first));
        auto* first = addStillsStream(mux, *inputs.back(), interval);
        inputs.push_back(std::make_unique<FileInput>(pair.second));
        auto* second = addStillsStream(mux, *inputs.back(), interval);
        first->SetSibling(second);
        second->SetSibling(first);
    }
    int audioNumber = 0;
    for (const auto& path : request.audioPaths) {
        inputs.push_back(std::make_unique<FileInput>(path));
        auto* audio = new MPAStream(*inputs.back(), mux);
        audio->Init(audioNumber++);
        (mux.*memberOf(AllStreams{})).push_back(audio);
        (mux.*memberOf(AudioStreams{})).push_back(audio);
    }
    mux.Multiplex();
}

}  // namespace tellavine::mpegworker
