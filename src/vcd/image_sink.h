#pragma once
// The image sink: receives the cue list and every finished sector of an image and
// writes a BIN file with a CUE sheet (image mode) or hands both to the recorder feed
// (recorder mode, see recorder_hooks.h), as the SinkTarget it is made with says.
//
// Life: createImageSink opens nothing; setCueList once, writeSector once per sector in
// increasing order, release once. The sink checks every open, seek, write, flush and
// close; after the first failure it writes nothing more, and failed() / failureReason()
// say why; a file that cannot be created, written or put in place is also shown to the
// user (the target's Prompt). A signalled cancel event of the owner also stops it.
//
// Image files are written beside their targets as "<name>.part" and renamed over them only
// when release(true) finds everything written, so a failed or cancelled build leaves an
// earlier image as it was and no partial files. A target that exists and is not a regular
// file (a device such as /dev/full) is written in place. A process killed outright leaves
// its ".part" files; the next build overwrites them. While it writes, the sink holds a
// lock beside the CUE file ("<name>.cue.lock"): a second build writing the same image,
// in this process or another, is refused instead of mixing its files with this one's.

#include "platform/file.h"
#include "platform/path_lock.h"
#include "platform/prompt.h"
#include "platform/sink_owner.h"
#include "vcd/recorder_hooks.h"
#include "vcd/sector.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellavine::vcd {

enum class CueKind : std::uint8_t {
    TrackStart = 1,   // index 1 of a new track
    PregapStart = 2,  // index 0 of the track that the next TrackStart opens
    IndexMark = 3,    // a further index in the current track
    LeadOut = 4,      // first sector after the image
};

struct CueEntry {
    std::uint32_t lsn = 0;
    CueKind kind = CueKind::TrackStart;
};

// A C stream opened for writing with a 128 KiB buffer; closes on destruction. A seek to
// the current position is skipped: a stream seek flushes the buffer.
class BufferedFile {
public:
    BufferedFile() = default;
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // Creates or truncates for writing; a temporary name (`followLinks` false) is never
    // followed through a symbolic link someone left there.
    bool open(const std::string& path, bool followLinks = true);
    bool seek(std::uint64_t offset);
    bool write(std::span<const std::uint8_t> data);
    bool close();  // flushes to the disk; false when the flush or close failed
    void discard();  // closes without caring whether the buffered bytes reach the file

private:
    File file_;
    std::uint64_t position_ = 0;     // where the next write lands
    std::uint64_t unsubmitted_ = 0;  // bytes written since the kernel was last asked to write back
};

// Where a sink's sectors go.
struct SinkTarget {
    bool imageFile = true;                   // a CUE/BIN pair; false: the recorder
    std::shared_ptr<RecorderHooks> recorder;  // recorder mode: the drive's feed
    std::shared_ptr<Prompt> prompt = std::make_shared<ConsolePrompt>();  // tells the user what failed
};

class ImageSink {
public:
    ImageSink(std::string cuePath, std::string binPath, SinkOwner& owner, SinkTarget target);
    ~ImageSink();
    ImageSink(const ImageSink&) = delete;
    ImageSink& operator=(const ImageSink&) = delete;

    // 0 when the list reached its LeadOut entry, -1 when it did not or the sink failed.
    int setCueList(std::span<const CueEntry> entries, SinkOwner& owner);
    // 0 on success, -1 once the sink has failed or was cancelled.
    int writeSector(const Mode2Sector& sector, std::uint32_t lsn);
    // Keys "cue", "bin" (paths) and "sector" ("2336" or "2352"): 0, -1 unknown key,
    // -2 missing or unknown value.
    int setSinkArgument(std::string_view key, std::string_view value);
    // Flushes and closes the files; in recorder mode closes the recorder queue, telling
    // the feed whether the image is complete (writeImage passes false when it stopped
    // early). True when everything the sink was given has been written.
    bool release(bool complete = true);

    bool failed() const { return !failureReason_.empty(); }
    const std::string& failureReason() const { return failureReason_; }
    // True once the lead-out started the recorder feed (recorder mode).
    bool recorderFeedStarted() const { return recorderFeedStarted_; }
    std::size_t sectorSize() const { return sectorSize_; }
    bool imageFile() const { return imageFile_; }

private:
    bool openOutputs();
    bool writeCueText(const std::string& text);
    void fail(const std::string& reason);
    void failFile(const char* what, const std::string& path, int error);
    void failAndTell(const std::string& reason);
    void addCueEntry(std::uint8_t track, std::uint8_t index, std::uint32_t absoluteAddress);
    std::string cueFileName() const;
    bool commitOutputs();
    void removePartFiles();

    std::string cuePath_;
    std::string binPath_;
    SinkOwner* owner_;
    bool imageFile_;
    std::shared_ptr<RecorderHooks> recorder_;
    std::shared_ptr<Prompt> prompt_;
    std::size_t sectorSize_ = kRawSectorSize;
    bool opened_ = false;
    bool recorderFeedStarted_ = false;
    bool released_ = false;
    BufferedFile bin_;
    BufferedFile cue_;
    std::string binWritePath_;  // binPath_ or its ".part" file
    std::string cueWritePath_;
    std::string failureReason_;
    std::unique_ptr<PathLock> outputLock_;  // image mode, from opening to release
};

std::unique_ptr<ImageSink> createImageSink(const std::string& cuePath, const std::string& binPath,
                                           SinkOwner& owner, SinkTarget target = {});

}  // namespace tellavine::vcd
