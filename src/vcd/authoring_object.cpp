#include "vcd/authoring_object.h"

#include "platform/text.h"
#include "vcd/authoring_layout.h"

#include <algorithm>

namespace tellavine::vcd {
namespace {

constexpr std::size_t kMaxSequences = 98;         // play items 2..99
constexpr std::uint32_t kMaxSegmentUnits = 1980;  // play items 1000..2979
constexpr std::size_t kMaxEntries = 500;          // play items 100..599
constexpr std::size_t kMaxListEntries = 255;      // count bytes of a list
constexpr std::uint32_t kMaxListOffset = 0xFFFC;  // 0xFFFD..0xFFFF are codes
constexpr std::uint64_t kMaxAddress = 100 * kFramesPerMinute;  // 100:00:00

// Never splits a UTF-8 character: the rest of a cut one would be an invalid byte.
std::string cut(std::string_view text, std::size_t limit) { return truncateUtf8(text, limit); }

}  // namespace

std::unique_ptr<AuthoringObject> createAuthoringObject(int type) {
    // The Super Video CD types are not built here.
    if (type < 1 || type > 3) return nullptr;
    return std::unique_ptr<AuthoringObject>(new AuthoringObject(static_cast<DiscType>(type)));
}

AuthoringObject::AuthoringObject(DiscType type) : type_(type) {}
AuthoringObject::~AuthoringObject() = default;

int AuthoringObject::setTextParameter(TextParameter id, std::string_view text) {
    switch (id) {
        case TextParameter::VolumeId: volumeId_ = cut(text, 32); break;
        case TextParameter::PublisherId: publisherId_ = cut(text, 128); break;
        case TextParameter::AlbumId: albumId_ = cut(text, 16); break;
        case TextParameter::ApplicationId: applicationId_ = cut(text, 128); break;
    }
    return 0;
}

std::string AuthoringObject::textParameter(TextParameter id) const {
    switch (id) {
        case TextParameter::VolumeId: return volumeId_;
        case TextParameter::PublisherId: return publisherId_;
        case TextParameter::AlbumId: return albumId_;
        case TextParameter::ApplicationId: return applicationId_;
    }
    return {};
}

int AuthoringObject::setNumberParameter(NumberParameter id, std::uint32_t value) {
    switch (id) {
        case NumberParameter::VolumeCount: volumeCount_ = std::clamp<std::uint32_t>(value, 1, 65535); break;
        case NumberParameter::VolumeNumber: volumeNumber_ = std::min<std::uint32_t>(value, 65534); break;
        case NumberParameter::Restriction: restriction_ = std::min<std::uint32_t>(value, 3); break;
        case NumberParameter::LeadoutPregap: leadoutPregap_ = std::min<std::uint32_t>(value, 300); break;
        case NumberParameter::TrackPregap: trackPregap_ = std::clamp<std::uint32_t>(value, 1, 300); break;
        case NumberParameter::TrackFrontMargin: frontMargin_ = std::min<std::uint32_t>(value, 150); break;
        case NumberParameter::TrackRearMargin: rearMargin_ = std::min<std::uint32_t>(value, 150); break;
    }
    return 0;
}

std::uint32_t AuthoringObject::numberParameter(NumberParameter id) const {
    switch (id) {
        case NumberParameter::VolumeCount: return volumeCount_;
        case NumberParameter::VolumeNumber: return volumeNumber_;
        case NumberParameter::Restriction: return restriction_;
        case NumberParameter::LeadoutPregap: return leadoutPregap_;
        case NumberParameter::TrackPregap: return trackPregap_;
        case NumberParameter::TrackFrontMargin: return frontMargin_;
        case NumberParameter::TrackRearMargin: return rearMargin_;
    }
    return 0;
}

bool AuthoringObject::idUsed(std::string_view id) const {
    for (const auto& sequence : sequences_)
        if (sequence.id == id || sequence.defaultEntryId == id) return true;
    for (const auto& segment : segments_)
        if (segment.id == id) return true;
    for (const auto& node : nodes_)
        if (node.id == id) return true;
    return false;
}

bool AuthoringObject::hasPlaybackControl() const { return allowsPlaybackControl(type_) && !nodes_.empty(); }

std::uint16_t AuthoringObject::playItemNumber(std::string_view id) const {
    for (std::size_t i = 0; i < sequences_.size(); ++i)
        if (sequences_[i].id == id) return static_cast<std::uint16_t>(2 + i);
    for (std::size_t i = 0; i < sequences_.size(); ++i)  // one entry per sequence, in order
        if (sequences_[i].defaultEntryId == id) return static_cast<std::uint16_t>(100 + i);
    std::uint32_t units = 0;
    for (const auto& segment : segments_) {
        if (segment.id == id) return static_cast<std::uint16_t>(1000 + units);
        units += segment.units;
    }
    return 0;
}

int AuthoringObject::appendSegmentItem(std::unique_ptr<MpegSource> source, const std::string& itemId) {
    if (!allowsSegments(type_) || !source || itemId.empty() || idUsed(itemId)) return -1;
    source->scan(true);
    const std::uint32_t packs = source->info().packs;
    if (packs == 0) return -1;
    SegmentItem item;
    item.source = std::move(source);
    item.id = itemId;
    item.units = (packs + kSectorsPerSegmentUnit - 1) / kSectorsPerSegmentUnit;
    segments_.push_back(std::move(item));
    return 0;
}

int AuthoringObject::addSegmentPause(const std::optional<std::string>& itemId, double seconds,
                                     const std::optional<std::string>& pauseId) {
    SegmentItem* segment = nullptr;
    if (!itemId) {
        if (!segments_.empty()) segment = &segments_.back();
    } else {
        for (auto& candidate : segments_)
            if (candidate.id == *itemId) segment = &candidate;
    }
    if (!segment) return -1;
    PauseEntry pause{seconds, pauseId};
    auto at = std::upper_bound(segment->pauses.begin(), segment->pauses.end(), pause,
                               [](const PauseEntry& a, const PauseEntry& b) { return a.time < b.time; });
    segment->pauses.insert(at, std::move(pause));
    return 0;
}

int AuthoringObject::appendSequenceItem(std::unique_ptr<MpegSource> source, const std::optional<std::string>& itemId,
                                        const std::optional<std::string>& defaultEntryId) {
    if (!source) return -1;
    if (itemId && idUsed(*itemId)) return -1;
    if (defaultEntryId && idUsed(*defaultEntryId)) return -1;
    if (itemId && defaultEntryId && *itemId == *defaultEntryId) return -1;
    source->scan(true);
    SequenceItem item;
    item.id = itemId;
    item.defaultEntryId = defaultEntryId;
    item.startOffset = trackSizeSum_ + trackPregap_;
    trackSizeSum_ += trackPregap_ + frontMargin_ + source->info().packs + rearMargin_;
    item.source = std::move(source);
    sequences_.push_back(std::move(item));
    return static_cast<int>(sequences_.size() - 1);
}

int AuthoringObject::addCustomFile(std::string_view isoPath, std::unique_ptr<DataSource> source, bool raw) {
    if (!source) return -1;
    const std::uint64_t size = source->size();
    if (raw && (size == 0 || size % kMode2BodySize != 0)) return 1;
    source->close();
    CustomFile file;
    file.isoPath = toUpperAscii(isoPath);
    file.raw = raw;
    file.size = size;
    file.sectors = static_cast<std::uint32_t>(raw ? size / kMode2BodySize : (size + kForm1DataSize - 1) / kForm1DataSize);
    file.source = std::move(source);
    customFiles_.push_back(std::move(file));
    return 0;
}

int AuthoringObject::appendPbcNode(PbcNode node) {
    if (!allowsPlaybackControl(type_) || idUsed(node.id)) return -1;
    nodes_.push_back(std::move(node));
    return 0;
}

std::int64_t AuthoringObject::beginOutput() {
    failureReason_.clear();
    layout_.reset();
    auto refuse = [this](std::string reason) {
        failureReason_ = std::move(reason);
        return std::int64_t{-1};
    };
    std::uint32_t units = 0;
    for (const auto& segment : segments_) units += segment.units;
    if (sequences_.size() > kMaxSequences)
        return refuse("The disc holds more than " + std::to_string(kMaxSequences) + " video tracks.");
    if (sequences_.size() > kMaxEntries)
        return refuse("The disc holds more than " + std::to_string(kMaxEntries) + " entry points.");
    if (units > kMaxSegmentUnits)
        return refuse("The pictures and menus need " + std::to_string(units) + " segment units; a Video CD holds " +
                      std::to_string(kMaxSegmentUnits) + ".");
    if (nodes_.size() > kMaxLid)
        return refuse("The disc has more than " + std::to_string(kMaxLid) + " playback-control lists.");
    for (const auto& node : nodes_)
        if (node.items.size() > kMaxListEntries || node.selections.size() > kMaxListEntries)
            return refuse("The playback-control list " + node.id + " has more than 255 entries.");

    auto layout = std::make_unique<Layout>();
    layout->playbackControl = hasPlaybackControl();
    if (layout->playbackControl) {
        layout->psd = layoutPsd(nodes_);
        if (layout->psd.psd / 8 > kMaxListOffset || layout->psd.extendedPsd / 8 > kMaxListOffset)
            return refuse("The playback-control lists do not fit their file.");
    }

    IsoTrackContents contents;
    contents.type = type_;
    contents.playbackControl = layout->playbackControl;
    contents.psdSize = layout->psd.psd;
    contents.extendedPsdSize = layout->psd.extendedPsd;
    for (const auto& segment : segments_) contents.segments.push_back({segment.units, segment.source->info().packs});
    for (const auto& file : customFiles_) contents.customFiles.push_back({file.isoPath, file.size, file.raw, file.sectors});
    for (const auto& sequence : sequences_)
        contents.sequences.push_back({sequence.startOffset, sequence.source->info().packs, frontMargin_, rearMargin_});
    auto result = layoutIsoTrack(contents);
    if (auto* reason = std::get_if<std::string>(&result)) return refuse(*reason);
    layout->iso = std::move(std::get<IsoTrackLayout>(result));

    for (std::size_t i = 0; i < segments_.size(); ++i) segments_[i].firstSector = layout->iso.segmentFirstSectors[i];
    for (std::size_t i = 0; i < customFiles_.size(); ++i) customFiles_[i].extent = layout->iso.customFileExtents[i];
    layout->totalSectors = layout->iso.trackLength + trackSizeSum_ + leadoutPregap_;
    // Sector headers and CUE times count minutes in two decimal digits.
    if (std::uint64_t{layout->iso.trackLength} + trackSizeSum_ + leadoutPregap_ + kPregapFrames > kMaxAddress)
        return refuse("The disc would be longer than 99 minutes and 59 seconds.");
    const std::int64_t total = layout->totalSectors;
    layout_ = std::move(layout);
    return total;
}

void AuthoringObject::endOutput() { layout_.reset(); }

}  // namespace tellavine::vcd
