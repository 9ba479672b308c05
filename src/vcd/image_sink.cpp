#include "vcd/image_sink.h"

#include "platform/numbered_messages.h"
#include "platform/text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tellavine::vcd {
namespace {

constexpr std::size_t kStreamBufferSize = 128 * 1024;
// The image is synced before it replaces an earlier one. Handing the kernel what was
// written every few megabytes lets the disk write while the next sectors are made,
// instead of all at once in the final sync.
constexpr std::uint64_t kWritebackStep = 8 * 1024 * 1024;

std::string folderOf(const std::string& path) {
    std::error_code ignored;
    auto absolute = std::filesystem::absolute(std::filesystem::path(path), ignored);
    return absolute.lexically_normal().parent_path().string();
}

std::string indexLine(unsigned index, std::uint32_t lsn) {
    const auto msf = bcdMsfOf(static_cast<int>(lsn));
    char line[64];
    std::snprintf(line, sizeof line, "    INDEX %2.2u %2.2x:%2.2x:%2.2x\r\n", index, msf[0], msf[1], msf[2]);
    return line;
}

constexpr const char* kPartSuffix = ".part";

// Where a target is written: beside it, unless it is something other than a regular file.
std::string writePathFor(const std::string& target) {
    std::error_code ec;
    const auto status = std::filesystem::status(target, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return target;
    return target + kPartSuffix;
}

}  // namespace

bool BufferedFile::open(const std::string& path, bool followLinks) {
    file_ = File::openWithFlags(path, O_WRONLY | O_CREAT | O_TRUNC | (followLinks ? 0 : O_NOFOLLOW), 0666, "wb");
    if (!file_) return false;
    file_.setBuffer(kStreamBufferSize);
    position_ = 0;
    unsubmitted_ = 0;
    return true;
}

bool BufferedFile::seek(std::uint64_t offset) {
    if (!file_) return false;
    if (offset == position_) return true;
    if (fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    position_ = offset;
    return true;
}

bool BufferedFile::write(std::span<const std::uint8_t> data) {
    if (!file_ || std::fwrite(data.data(), 1, data.size(), file_.get()) != data.size()) return false;
    position_ += data.size();
    unsubmitted_ += data.size();
    if (unsubmitted_ >= kWritebackStep) {
        unsubmitted_ = 0;
        // Only a hint: a file system without it still has everything synced on close.
        if (std::fflush(file_.get()) != 0) return false;
        ::sync_file_range(::fileno(file_.get()), 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    return true;
}

bool BufferedFile::close() {
    if (!file_) return true;
    // On the disk before the rename replaces an earlier image with it.
    const bool synced = file_.syncToDisk();
    return file_.close() && synced;
}

void BufferedFile::discard() { file_.discard(); }

ImageSink::ImageSink(std::string cuePath, std::string binPath, SinkOwner& owner, SinkTarget target)
    : cuePath_(std::move(cuePath)),
      binPath_(std::move(binPath)),
      owner_(&owner),
      imageFile_(target.imageFile),
      recorder_(std::move(target.recorder)),
      prompt_(target.prompt ? std::move(target.prompt) : std::make_shared<ConsolePrompt>()) {}

ImageSink::~ImageSink() {
    if (imageFile_ && !released_) {
        bin_.discard();
        cue_.discard();
        removePartFiles();
    }
}

std::unique_ptr<ImageSink> createImageSink(const std::string& cuePath, const std::string& binPath,
                                           SinkOwner& owner, SinkTarget target) {
    return std::make_unique<ImageSink>(cuePath, binPath, owner, std::move(target));
}

void ImageSink::fail(const std::string& reason) {
    if (failureReason_.empty()) failureReason_ = reason;
}

void ImageSink::failFile(const char* what, const std::string& path, int error) {
    failAndTell(std::string("Cannot ") + what + " the disc image file " + path + ": " + std::strerror(error) + ".");
}

void ImageSink::failAndTell(const std::string& reason) {
    // A file the user chose cannot be written (full disc, no permission): the user is
    // told which and why, once; the build then ends with its usual failure text.
    const bool first = !failed();
    fail(reason);
    if (first) prompt_->showText(reason, PromptButtons::Ok);
}

bool ImageSink::openOutputs() {
    if (opened_) return !failed();
    opened_ = true;
    if (!imageFile_) {
        if (recorder_) recorder_->openRecorderQueue();
        return true;
    }
    outputLock_ = std::make_unique<PathLock>(cuePath_);
    if (outputLock_->state() == PathLock::State::Busy) {
        failAndTell(formatText("Another build is writing the disc image file %s. Wait until it has finished, or "
                               "choose another file name.", cuePath_.c_str()));
        return false;
    }
    binWritePath_ = writePathFor(binPath_);
    cueWritePath_ = writePathFor(cuePath_);
    // The CUE names the BIN between quotation marks, one line.
    if (cueFileName().find_first_of("\"\r\n") != std::string::npos) {
        failAndTell("The disc image file name " + binPath_ + " cannot be written into its CUE file: it holds a "
                    "quotation mark or a line break.");
        return false;
    }
    errno = 0;
    if (!bin_.open(binWritePath_, binWritePath_ == binPath_)) {
        failFile("create", binPath_, errno);
        return false;
    }
    if (!cue_.open(cueWritePath_, cueWritePath_ == cuePath_)) {
        failFile("create", cuePath_, errno);
        return false;
    }
    return true;
}

bool ImageSink::commitOutputs() {
    // The BIN first: a CUE in place always names a finished BIN.
    for (const auto& [from, to] : {std::pair{binWritePath_, binPath_}, std::pair{cueWritePath_, cuePath_}}) {
        if (from == to) continue;
        std::error_code ec;
        std::filesystem::rename(from, to, ec);
        if (ec) {
            failAndTell("Cannot move the finished disc image file " + from + " to " + to + ": " + ec.message() + ".");
            return false;
        }
    }
    return true;
}

void ImageSink::removePartFiles() {
    for (const auto* path : {&binWritePath_, &cueWritePath_}) {
        if (path->empty() || (*path == binPath_ || *path == cuePath_)) continue;
        std::error_code ignored;
        std::filesystem::remove(*path, ignored);
    }
}

std::string ImageSink::cueFileName() const {
    // A BIN beside its CUE is named without a folder, so the pair can be moved.
    if (folderOf(binPath_) == folderOf(cuePath_)) return std::filesystem::path(binPath_).filename().string();
    return binPath_;
}

bool ImageSink::writeCueText(const std::string& text) {
    if (!imageFile_ || failed()) return !failed();
    errno = 0;
    if (!cue_.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()})) {
        failFile("write", cuePath_, errno);
        return false;
    }
    return true;
}

void ImageSink::addCueEntry(std::uint8_t track, std::uint8_t index, std::uint32_t absoluteAddress) {
    if (!recorder_) return;
    if (!recorder_->addRecorderCueEntry(track, index, absoluteAddress) && !imageFile_)
        fail("The disc has more tracks and indexes than the recorder's cue sheet can hold.");
}

int ImageSink::setCueList(std::span<const CueEntry> entries, SinkOwner& owner) {
    owner_ = &owner;
    if (imageFile_) owner.window.post(WM_IMAGE_BEGIN);
    if (recorder_) recorder_->beginRecorderCueSheet();
    if (!openOutputs()) return -1;

    writeCueText("FILE \"" + cueFileName() + "\" BINARY\r\n");
    const CueEntry* previous = nullptr;
    unsigned track = 0;
    unsigned index = 0;
    char line[128];
    for (const CueEntry& entry : entries) {
        switch (entry.kind) {
            case CueKind::TrackStart: {
                ++track;
                std::snprintf(line, sizeof line, "  TRACK %2.2u MODE2/%u\r\n    FLAGS DCP\r\n", track,
                              static_cast<unsigned>(sectorSize_));
                std::string text = line;
                if (previous && previous->kind == CueKind::PregapStart) {
                    text += indexLine(0, previous->lsn);
                    addCueEntry(static_cast<std::uint8_t>(track), 0, previous->lsn + kPregapFrames);
                }
                index = 1;
                text += indexLine(1, entry.lsn);
                writeCueText(text);
                if (track == 1) addCueEntry(1, 0, 0);
                addCueEntry(static_cast<std::uint8_t>(track), 1, entry.lsn + kPregapFrames);
                break;
            }
            case CueKind::PregapStart:
                break;
            case CueKind::IndexMark:
                ++index;
                writeCueText(indexLine(index, entry.lsn));
                addCueEntry(static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(index),
                            entry.lsn + kPregapFrames);
                break;
            case CueKind::LeadOut: {
                if (imageFile_ && !cue_.close() && !failed()) failFile("write", cuePath_, errno);
                addCueEntry(kLeadOutTrack, 1, entry.lsn + kPregapFrames);
                if (!imageFile_ && !failed()) {
                    if (!recorder_)
                        fail("No disc recorder is set up.");
                    else if (!recorder_->startRecorderFeed(owner))
                        fail("The recording could not be started.");
                    else
                        recorderFeedStarted_ = true;
                }
                return failed() ? -1 : 0;
            }
        }
        previous = &entry;
    }
    return -1;
}

int ImageSink::writeSector(const Mode2Sector& sector, std::uint32_t lsn) {
    if (failed() || !openOutputs()) return -1;
    if (owner_->cancelled()) {
        fail("Writing was cancelled.");
        return -1;
    }
    if (!imageFile_) {
        if (sectorSize_ == kRawSectorSize) {
            if (recorder_) recorder_->queueRecorderSector(sector);
        }
        return 0;
    }
    errno = 0;
    if (!bin_.seek(static_cast<std::uint64_t>(lsn) * sectorSize_)) {
        failFile("seek in", binPath_, errno);
        return -1;
    }
    const auto body = sectorSize_ == kRawSectorSize ? std::span<const std::uint8_t>(sector)
                                                    : std::span<const std::uint8_t>(sector).subspan(16);
    if (!bin_.write(body)) {
        failFile("write", binPath_, errno);
        return -1;
    }
    if (sectorSize_ == kRawSectorSize) owner_->window.post(WM_IMAGE_SECTOR);
    return 0;
}

int ImageSink::setSinkArgument(std::string_view key, std::string_view value) {
    if (key == "cue" || key == "bin") {
        if (value.empty()) return -2;
        (key == "cue" ? cuePath_ : binPath_) = std::string(value);
        return 0;
    }
    if (key == "sector") {
        if (value == "2336") sectorSize_ = kMode2BodySize;
        else if (value == "2352") sectorSize_ = kRawSectorSize;
        else return -2;
        return 0;
    }
    return -1;
}

bool ImageSink::release(bool complete) {
    if (released_) return !failed();
    released_ = true;
    if (imageFile_) {
        errno = 0;
        if (!bin_.close()) failFile("write", binPath_, errno);
        errno = 0;
        if (!cue_.close()) failFile("write", cuePath_, errno);
        if (!opened_ || failed() || !complete || !commitOutputs()) removePartFiles();
        outputLock_.reset();
    } else if (opened_) {
        if (recorder_) recorder_->closeRecorderQueue(!failed() && complete);
    }
    return !failed();
}

}  // namespace tellavine::vcd
