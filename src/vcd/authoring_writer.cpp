// writeImage: formats every sector of the laid-out disc, in increasing sector order, and
// hands it to the image sink.

#include "platform/numbered_messages.h"
#include "vcd/authoring_layout.h"
#include "vcd/volume_descriptor.h"

#include <array>
#include <optional>

namespace tellavine::vcd {
namespace {

constexpr std::uint32_t kProgressInterval = 75;

Subheader segmentSubheader(const PacketInfo& pack) {
    switch (pack.kind()) {
        case PacketKind::Video: {
            static constexpr Subheader kByStream[3] = {{1, 1, 0x62, 0x0F}, {1, 2, 0x62, 0x1F}, {1, 3, 0x62, 0x3F}};
            return kByStream[pack.videoStream()];
        }
        case PacketKind::Audio: return {1, 1, 0x64, 0x7F};
        default: return {1, 0, 0x60, 0};
    }
}

std::optional<Subheader> sequenceSubheader(const PacketInfo& pack, std::uint8_t fileNumber) {
    switch (pack.kind()) {
        case PacketKind::Video: return Subheader{fileNumber, 1, 0x62, 0x0F};
        case PacketKind::Audio:
            return Subheader{fileNumber, static_cast<std::uint8_t>(pack.audioStream() == 0 ? 1 : 2), 0x64, 0x7F};
        case PacketKind::Private: return Subheader{fileNumber, 2, 0x62, 0x0F};
        case PacketKind::AllZero:
        case PacketKind::Other: return Subheader{fileNumber, 0, 0x60, 0};
        case PacketKind::Invalid: break;
    }
    return std::nullopt;
}

}  // namespace

class AuthoringObject::Writer {
public:
    Writer(AuthoringObject& object, ImageSink& sink, WriteProgressCallback progress)
        : object_(object), layout_(*object.layout_), sink_(sink), progress_(std::move(progress)) {
        progressState_.sectorsTotal = layout_.iso.trackLength + object.trackSizeSum_;
        progressState_.currentTrack = 1;
        progressState_.trackCount = static_cast<std::uint32_t>(object.sequences_.size() + 1);
    }

    bool run(SinkOwner& owner);
    const std::string& reason() const { return reason_; }

private:
    bool stop(std::string reason) {
        if (reason_.empty()) reason_ = std::move(reason);
        return false;
    }
    bool emit(std::span<const std::uint8_t> payload, const Subheader& subheader);
    bool emitRaw(std::span<const std::uint8_t, kMode2BodySize> body);
    bool afterSector();
    bool report(bool forced);
    bool fillFreeSectorsBelow(std::uint32_t end);

    void buildFileSystem();
    void buildControlFiles();
    bool writeControlSectors(std::uint32_t from, std::uint32_t to, std::uint8_t fileNumber);
    bool writeSegment(SegmentItem& segment);
    bool writeCustomFile(CustomFile& file);
    bool writeSequence(SequenceItem& sequence, std::uint8_t fileNumber);
    bool writeZeroForm2(std::uint32_t count, Subheader subheader, std::uint8_t lastSubmode);

    AuthoringObject& object_;
    Layout& layout_;
    ImageSink& sink_;
    WriteProgressCallback progress_;
    WriteProgress progressState_;
    std::uint32_t lastReport_ = 0;
    std::uint32_t lsn_ = 0;
    Mode2Sector sector_{};
    std::string reason_;
};

bool AuthoringObject::Writer::report(bool forced) {
    if (!forced && lsn_ - lastReport_ < kProgressInterval) return true;
    lastReport_ = lsn_;
    if (!progress_) return true;
    progressState_.sectorsWritten = lsn_;
    if (progress_(progressState_) != 0) return stop("Writing was cancelled.");
    return true;
}

bool AuthoringObject::Writer::afterSector() {
    if (sink_.writeSector(sector_, lsn_) != 0)
        return stop(sink_.failureReason().empty() ? "The disc image could not be written." : sink_.failureReason());
    ++lsn_;
    return report(false);
}

bool AuthoringObject::Writer::emit(std::span<const std::uint8_t> payload, const Subheader& subheader) {
    buildMode2Sector(sector_, payload, lsn_, subheader);
    return afterSector();
}

bool AuthoringObject::Writer::emitRaw(std::span<const std::uint8_t, kMode2BodySize> body) {
    buildRawMode2Sector(sector_, body, lsn_);
    return afterSector();
}

bool AuthoringObject::Writer::fillFreeSectorsBelow(std::uint32_t end) {
    // Free sectors of the ISO track become zero Form 1 sectors, written in place so the
    // sink always sees increasing sector numbers.
    while (lsn_ < end)
        if (!emit({}, Subheader{0, 0, kSubmodeData, 0})) return false;
    return true;
}

void AuthoringObject::Writer::buildFileSystem() {
    auto& files = layout_.iso.controlFiles;
    IsoTree& tree = layout_.iso.tree;
    ControlFile* dir = files.find("dir");
    writeDirectories(tree, dir->firstSector, dir->buffer);
    writePathTables(tree, files.find("ptl")->buffer, files.find("ptm")->buffer);
    PrimaryVolumeFields fields;
    fields.volumeId = object_.volumeId_;
    fields.publisherId = object_.publisherId_;
    fields.applicationId = object_.applicationId_;
    fields.volumeSpaceSize = layout_.iso.trackLength;
    fields.rootRecord = rootDirectoryRecord(tree.root());
    fields.lTableSector = files.find("ptl")->firstSector;
    fields.mTableSector = files.find("ptm")->firstSector;
    fields.pathTableSize = layout_.iso.pathTableSize;
    const std::span<std::uint8_t, kForm1DataSize> pvd(files.find("pvd")->buffer.data(), kForm1DataSize);
    buildPrimaryVolumeDescriptor(pvd, fields);
    buildTerminator(std::span<std::uint8_t, kForm1DataSize>(files.find("evd")->buffer.data(), kForm1DataSize));
}

void AuthoringObject::Writer::buildControlFiles() {
    const std::uint32_t trackLength = layout_.iso.trackLength;
    DiscDescription disc;
    disc.type = object_.type_;
    disc.albumId = object_.albumId_;
    disc.volumeCount = static_cast<std::uint16_t>(object_.volumeCount_);
    disc.volumeNumber = static_cast<std::uint16_t>(object_.volumeNumber_);
    disc.restriction = static_cast<std::uint8_t>(object_.restriction_);
    for (const auto& segment : object_.segments_) disc.segments.push_back({segment.units, &segment.source->info()});
    for (const auto& sequence : object_.sequences_)
        disc.sequences.push_back({trackLength + sequence.startOffset, &sequence.source->info()});
    disc.controlAreaEnd = layout_.iso.controlAreaEnd;
    disc.nodes = layout_.playbackControl ? &object_.nodes_ : nullptr;
    disc.psdSize = layout_.psd.psd;
    disc.extendedPsd = layout_.playbackControl && object_.type_ == DiscType::Vcd20;
    disc.playItemNumber = [this](std::string_view id) { return object_.playItemNumber(id); };

    auto& files = layout_.iso.controlFiles;
    buildInfo(files.find("info")->buffer, disc);
    buildEntries(files.find("entries")->buffer, disc);
    if (!layout_.playbackControl) return;
    if (disc.extendedPsd) {
        buildLot(files.find("lot_x")->buffer, object_.nodes_, true);
        buildPsd(files.find("psd_x")->buffer, disc, true);
    }
    buildLot(files.find("lot")->buffer, object_.nodes_, false);
    buildPsd(files.find("psd")->buffer, disc, false);
}

bool AuthoringObject::Writer::writeControlSectors(std::uint32_t from, std::uint32_t to, std::uint8_t fileNumber) {
    if (!fillFreeSectorsBelow(from)) return false;
    static const std::array<std::uint8_t, kForm1DataSize> kZeros{};
    for (std::uint32_t sector = from; sector < to; ++sector) {
        const ControlFile* file = layout_.iso.controlFiles.containing(sector);
        Subheader subheader{fileNumber, 0, kSubmodeData, 0};
        std::span<const std::uint8_t> data = kZeros;
        if (file) {
            const std::uint32_t index = sector - file->firstSector;
            data = std::span(file->buffer).subspan(std::size_t{index} * kForm1DataSize, kForm1DataSize);
            if (index + 1 == file->sectorCount) subheader.submode |= file->endFlags;
        }
        if (!emit(data, subheader)) return false;
    }
    return true;
}

bool AuthoringObject::Writer::writeSegment(SegmentItem& segment) {
    if (!fillFreeSectorsBelow(segment.firstSector)) return false;
    MpegSource& source = *segment.source;
    const MpegStreamInfo& info = source.info();
    std::array<std::uint8_t, kMaxPackSize> payload;
    std::size_t nextPause = 0;
    const std::uint32_t sectors = segment.units * kSectorsPerSegmentUnit;
    for (std::uint32_t i = 0; i < sectors; ++i) {
        if (i >= info.packs) {
            if (!emit({}, Subheader{1, 0, 0x60, 0})) return false;
            continue;
        }
        const PacketInfo pack = source.readPack(i, payload);
        if (pack.length == 0) return stop("The file " + source.dataSource().path() + " could not be read again.");
        Subheader subheader = segmentSubheader(pack);
        if (i + 1 == info.packs) subheader.submode |= kSubmodeEndOfFile;
        const int still = pack.kind() == PacketKind::Video ? pack.videoStream() : 0;
        if ((still == 1 || still == 2) && containsSequenceEnd(payload)) subheader.submode |= kSubmodeEndOfRecord;
        // Pause times count from the segment's first time stamp, like access points.
        bool trigger = false;
        while (pack.hasTimeStamp && nextPause < segment.pauses.size() &&
               pack.timeStamp - info.firstTime >= segment.pauses[nextPause].time) {
            trigger = true;
            ++nextPause;
        }
        if (trigger) subheader.submode |= kSubmodeTrigger;
        if (!emit(payload, subheader)) return false;
    }
    // Segment source files do not outlive the image.
    source.dataSource().deleteFile();
    return true;
}

bool AuthoringObject::Writer::writeCustomFile(CustomFile& file) {
    if (file.sectors == 0) return true;
    if (!fillFreeSectorsBelow(file.extent)) return false;
    DataSource& source = *file.source;
    if (!source.seek(0)) return stop("The file " + source.path() + " could not be opened for reading.");
    if (file.raw) {
        std::array<std::uint8_t, kMode2BodySize> body;
        for (std::uint32_t i = 0; i < file.sectors; ++i) {
            if (source.read(body) != body.size()) return stop("The file " + source.path() + " could not be read.");
            if (!emitRaw(body)) return false;
        }
    } else {
        std::array<std::uint8_t, kForm1DataSize> piece;
        for (std::uint32_t i = 0; i < file.sectors; ++i) {
            const std::uint64_t left = file.size - std::uint64_t{i} * kForm1DataSize;
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, kForm1DataSize));
            piece.fill(0);
            if (source.read(std::span(piece).first(wanted)) != wanted)
                return stop("The file " + source.path() + " could not be read.");
            const bool last = i + 1 == file.sectors;
            if (!emit(piece, Subheader{1, 0, static_cast<std::uint8_t>(last ? 0x88 : 0x08), 0})) return false;
        }
    }
    source.close();
    return true;
}

bool AuthoringObject::Writer::writeZeroForm2(std::uint32_t count, Subheader subheader, std::uint8_t lastSubmode) {
    for (std::uint32_t i = 0; i < count; ++i) {
        Subheader current = subheader;
        if (i + 1 == count) current.submode = lastSubmode;
        if (!emit({}, current)) return false;
    }
    return true;
}

bool AuthoringObject::Writer::writeSequence(SequenceItem& sequence, std::uint8_t fileNumber) {
    const std::uint32_t rear = object_.rearMargin_;
    if (!writeZeroForm2(object_.trackPregap_, {0, 0, 0x20, 0}, 0x20)) return false;
    if (!writeZeroForm2(object_.frontMargin_, {fileNumber, 0, 0x60, 0}, 0x60)) return false;
    MpegSource& source = *sequence.source;
    const std::uint32_t packs = source.info().packs;
    std::array<std::uint8_t, kMaxPackSize> payload;
    for (std::uint32_t i = 0; i < packs; ++i) {
        const PacketInfo pack = source.readPack(i, payload);
        auto subheader = sequenceSubheader(pack, fileNumber);
        if (!subheader) {
            source.dataSource().close();
            return stop("The video track " + source.dataSource().path() + " holds an invalid pack.");
        }
        if (i + 1 == packs) subheader->submode |= rear > 0 ? 0x01 : 0x81;
        if (!emit(payload, *subheader)) return false;
    }
    source.dataSource().close();
    return writeZeroForm2(rear, {fileNumber, 0, 0x60, 0}, 0xE0);
}

bool AuthoringObject::Writer::run(SinkOwner& owner) {
    const IsoTrackLayout& iso = layout_.iso;
    std::vector<CueEntry> cues{{0, CueKind::TrackStart}};
    for (const auto& sequence : object_.sequences_) {
        cues.push_back({iso.trackLength + sequence.startOffset - object_.trackPregap_, CueKind::PregapStart});
        cues.push_back({iso.trackLength + sequence.startOffset, CueKind::TrackStart});
    }
    cues.push_back({layout_.totalSectors, CueKind::LeadOut});
    if (sink_.setCueList(cues, owner) != 0)
        return stop(sink_.failureReason().empty() ? "The disc layout could not be described." : sink_.failureReason());

    if (!report(true)) return false;
    buildFileSystem();
    buildControlFiles();
    if (!writeControlSectors(0, iso.controlAreaEnd, 0)) return false;
    for (auto& segment : object_.segments_)
        if (!writeSegment(segment)) return false;
    if (!writeControlSectors(iso.segmentAreaEnd, iso.extendedFilesEnd, 1)) return false;
    for (auto& file : object_.customFiles_)
        if (!writeCustomFile(file)) return false;
    if (!fillFreeSectorsBelow(iso.trackLength)) return false;

    for (std::size_t i = 0; i < object_.sequences_.size(); ++i) {
        ++progressState_.currentTrack;
        if (!report(true)) return false;
        if (!writeSequence(object_.sequences_[i], static_cast<std::uint8_t>(i + 1))) return false;
    }
    if (!writeZeroForm2(object_.leadoutPregap_, {0, 0, 0x20, 0}, 0x20)) return false;
    return report(true);
}

int AuthoringObject::writeImage(ImageSink* sink, WriteProgressCallback progress, SinkOwner& owner) {
    if (!sink) return kWriteNoSink;
    failureReason_.clear();
    if (!layout_) {
        failureReason_ = "The disc was not laid out.";
        sink->release(false);
        return kWriteStopped;
    }
    Writer writer(*this, *sink, std::move(progress));
    const bool complete = writer.run(owner);
    const bool released = sink->release(complete);
    if (!complete || !released) {
        failureReason_ = !writer.reason().empty() ? writer.reason() : sink->failureReason();
        return kWriteStopped;
    }
    if (sink->imageFile()) owner.window.post(WM_IMAGE_DONE);
    return kWriteComplete;
}

}  // namespace tellavine::vcd
