#include "recorder/pq_channel_encoder.h"

#include "platform/text.h"
#include "platform/cd_geometry.h"

#include <cstdlib>
#include <cstring>

namespace tellavine {

bool PQChannelEncoder::refuse(std::string text) {
    diagnostic_ = std::move(text);
    return false;
}

bool PQChannelEncoder::check(std::span<const std::uint8_t> cueSheet) {
    const int count = static_cast<int>(cueSheet.size() / 8);
    int previousFrames = -1;
    int previousTrack = 0;
    for (int i = 0; i < count; ++i) {
        const auto raw = cueSheet.subspan(static_cast<std::size_t>(i) * 8, 8);
        Entry entry{raw[0], raw[1], raw[2], framesOf({raw[5], raw[6], raw[7]})};
        const int adr = entry.adr();
        if (adr == 2 || adr == 3) {
            // Catalog number and ISRC entries come in pairs; the catalog number first.
            if (adr == 2 && i != 0) return refuse("Catalog number must be first cue sheet entry.");
            if (i + 1 >= count || (cueSheet[static_cast<std::size_t>(i + 1) * 8] & 0x0F) != adr)
                return refuse(adr == 2 ? "Missing second catalog number entry." : "Missing second ISRC code entry.");
            entries_.push_back(entry);
            const auto second = cueSheet.subspan(static_cast<std::size_t>(i + 1) * 8, 8);
            entries_.push_back({second[0], second[1], second[2], 0});
            ++i;
            continue;
        }
        if (adr != 1) return refuse(formatText("Illegal adr field at cue sheet entry: %d.", i));
        if (raw[5] > 99 || raw[6] > 59 || raw[7] > 74)
            return refuse(formatText("Illegal time field value at cue sheet entry: %d", i));
        if (entry.tno == 0) {
            const bool afterCatalog = i == 2 && (cueSheet[0] & 0x0F) == 2;
            if (i != 0 && !afterCatalog) return refuse(formatText("Illegal track number at cue sheet entry: %d", i));
            leadInEntry_ = static_cast<int>(entries_.size());
        } else if (entry.tno == 0xAA) {
            if (i != count - 1) return refuse(formatText("Illegal track number at cue sheet entry: %d", i));
            leadOutFrames_ = entry.frames;
            leadOutCtl_ = entry.ctlAdr;
        } else if (entry.tno >= 100) {
            return refuse(formatText("Illegal track number at cue sheet entry: %d", i));
        } else {
            if (firstTrack_ == 0) {
                firstTrack_ = entry.tno;
                firstTrackCtl_ = entry.ctlAdr;
            } else if (entry.tno != previousTrack && entry.tno != previousTrack + 1) {
                return refuse(formatText("Wrong track number sequence at cue sheet entry: %d", i));
            }
            previousTrack = entry.tno;
            lastTrack_ = entry.tno;
            lastTrackCtl_ = entry.ctlAdr;
        }
        if (entry.tno != 0) {
            if (entry.frames <= previousFrames)
                return refuse(formatText("Time field does not increase at cue sheet entry: %d", i));
            previousFrames = entry.frames;
        }
        entries_.push_back(entry);
    }
    if (leadInEntry_ < 0) return refuse("Cue sheet contains no lead-in entry.");
    if (leadOutFrames_ == 0) return refuse("Cue sheet contains no lead-out entry.");
    if (firstTrack_ == 0) return refuse("Cue sheet contains no data track.");
    return true;
}

void PQChannelEncoder::buildToc(const SubChannel& prototype) {
    auto record = [&](std::uint8_t ctl, int point, int pmin, int psec, int pframe) {
        auto toc = prototype.makeForMode(1);
        toc->setCtl(ctl);
        toc->setTrackNr(0);
        toc->setPoint(point);
        toc->setPmin(pmin);
        toc->setPsec(psec);
        toc->setPframe(pframe);
        toc_.push_back(std::move(toc));
    };
    for (const Entry& entry : entries_) {
        if (entry.adr() != 1) continue;
        if (entry.tno >= 1 && entry.tno <= 99 && entry.index == 1) {
            const Msf time = msfOf(entry.frames);
            record(entry.ctlAdr, entry.tno, time.minute, time.second, time.frame);
        } else if (entry.tno == 0xAA) {
            record(firstTrackCtl_, 0xA0, firstTrack_, discType_, 0);
            record(lastTrackCtl_, 0xA1, lastTrack_, 0, 0);
            const Msf leadOut = msfOf(leadOutFrames_);
            record(leadOutCtl_, 0xA2, leadOut.minute, leadOut.second, leadOut.frame);
        }
    }
}

bool PQChannelEncoder::build(const SubChannel& prototype, std::uint8_t sessionFormat,
                             std::span<const std::uint8_t> cueSheet, int firstAddress) {
    *this = PQChannelEncoder{};
    switch (sessionFormat) {
        case 0x00: discType_ = 0; break;
        case 0x10: discType_ = 10; break;
        case 0x20: discType_ = 20; break;
        default: return refuse("Illegal disc type.");
    }
    if (cueSheet.size() % 8 != 0) return refuse("Illegal cue sheet length.");
    if (!check(cueSheet)) return false;
    entries_.push_back({});  // the closing all-zero entry
    buildToc(prototype);
    position_ = prototype.makeForMode(1);
    absoluteCounter_ = firstAddress;
    relativeCounter_ = 0;
    current_ = leadInEntry_;
    const int next = nextAdr1(leadInEntry_);
    nextBoundary_ = next >= 0 ? entries_[static_cast<std::size_t>(next)].address() : 0;
    nextTrackStart_ = trackStartAddress(firstTrack_);
    return true;
}

int PQChannelEncoder::nextAdr1(int from) const {
    for (int i = from + 1; i < static_cast<int>(entries_.size()); ++i)
        if (entries_[static_cast<std::size_t>(i)].adr() == 1) return i;
    return -1;
}

int PQChannelEncoder::trackStartAddress(int track) const {
    for (const Entry& entry : entries_)
        if (entry.adr() == 1 && entry.tno == track && entry.index == 1) return entry.address();
    return leadOutFrames_ - kPregapFrames;
}

void PQChannelEncoder::trackChange() {
    const int nextIndex = nextAdr1(current_);
    if (nextIndex < 0) return;
    const Entry& next = entries_[static_cast<std::size_t>(nextIndex)];
    const Entry& current = entries_[static_cast<std::size_t>(current_)];
    if (next.tno != current.tno) {
        // Index 0 starts a pregap that counts down to the track's index 1.
        relativeCounter_ = next.index == 0 ? next.address() - trackStartAddress(next.tno) : 0;
    }
    current_ = nextIndex;
    position_->setCtl(next.ctlAdr);
    position_->setTrackNr(next.tno);
    position_->setIndexNr(next.index);
    if (next.tno == 0xAA) return;
    const int after = nextAdr1(nextIndex);
    if (after >= 0) nextBoundary_ = entries_[static_cast<std::size_t>(after)].address();
    if (next.index == 1)
        nextTrackStart_ = next.tno == lastTrack_ ? leadOutFrames_ - kPregapFrames : trackStartAddress(next.tno + 1);
}

SubChannel& PQChannelEncoder::subChannelFor(int address) {
    if (address == nextBoundary_) trackChange();
    SubChannel* record = nullptr;
    if (entries_[static_cast<std::size_t>(current_)].tno == 0) {
        record = toc_[tocCursor_].get();
        const Msf running = msfOf(relativeCounter_);
        record->setMin(running.minute);
        record->setSec(running.second);
        record->setFrame(running.frame);
        record->setP(false);
        if (++tocRepeat_ == 3) {
            tocRepeat_ = 0;
            tocCursor_ = (tocCursor_ + 1) % toc_.size();
        }
    } else {
        record = position_.get();
        const Msf relative = msfOf(std::abs(relativeCounter_));
        record->setMin(relative.minute);
        record->setSec(relative.second);
        record->setFrame(relative.frame);
        const Msf absolute = msfOf(absoluteCounter_ + kPregapFrames);
        record->setAmin(absolute.minute);
        record->setAsec(absolute.second);
        record->setAframe(absolute.frame);
        const int leadOutAddress = leadOutFrames_ - kPregapFrames;
        bool p;
        if (relativeCounter_ <= 0)
            p = true;  // pregap, or the first sector of a track or of the lead-out
        else if (nextTrackStart_ - kPregapFrames <= absoluteCounter_ && absoluteCounter_ <= nextTrackStart_)
            p = true;  // the two seconds before the next track or the lead-out
        else if (absoluteCounter_ < leadOutAddress)
            p = false;
        else
            p = (relativeCounter_ - 150) % 38 < 19;  // lead-out: about 2 Hz after 169 sectors
        record->setP(p);
    }
    ++absoluteCounter_;
    ++relativeCounter_;
    record->calcCrc();
    return *record;
}

void PQChannelEncoder::fill(int firstAddress, std::span<const std::uint8_t> sectors, std::size_t count,
                            std::uint8_t* output) {
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(output, sectors.data() + i * kRawSectorSize, kRawSectorSize);
        output += kRawSectorSize;
        const auto sub = subChannelFor(firstAddress + static_cast<int>(i)).data();
        std::memcpy(output, sub.data(), sub.size());
        output += sub.size();
    }
}

}  // namespace tellavine
