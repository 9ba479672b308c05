#include "cli/disc_image.h"

#include "platform/bytes.h"
#include "platform/cd_geometry.h"
#include "platform/regular_file.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace tellavine::cli {
namespace {

constexpr std::size_t kMaxCueBytes = 1 << 20;
constexpr int kMaxDirectoryDepth = 8;
constexpr std::size_t kMaxFiles = 100000;

std::optional<std::uint32_t> parseMsf(const std::string& text) {
    unsigned m = 0, s = 0, f = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%u:%u:%u%c", &m, &s, &f, &extra) != 3 || s >= 60 || f >= kFramesPerSecond ||
        m > 99) {
        return std::nullopt;
    }
    return (m * 60 + s) * kFramesPerSecond + f;
}

std::string isoName(std::span<const std::uint8_t> name) {
    std::string text(name.begin(), name.end());
    if (const auto semicolon = text.find(';'); semicolon != std::string::npos) text.resize(semicolon);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

// A name `inspect --extract` could be led out of its folder by: never a valid ISO 9660 name.
bool climbsOut(const std::string& name) {
    return name.empty() || name == "." || name == ".." ||
           name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos;
}

}  // namespace

std::string bcdMsf(std::uint8_t m, std::uint8_t s, std::uint8_t f) {
    return formatText("%02d:%02d:%02d", fromBcd(m), fromBcd(s), fromBcd(f));
}

std::optional<CueSheet> parseCueSheet(const std::string& text, std::string& error) {
    CueSheet sheet;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        keyword = toUpperAscii(keyword);
        if (keyword.empty() || keyword == "REM" || keyword == "FLAGS" || keyword == "CATALOG" ||
            keyword == "PREGAP" || keyword == "POSTGAP" || keyword == "TITLE" || keyword == "PERFORMER") {
            continue;
        }
        if (keyword == "FILE") {
            const auto open = line.find('"');
            const auto close = open == std::string::npos ? open : line.find('"', open + 1);
            if (close == std::string::npos) {
                error = formatText("line %d: FILE needs a quoted name", lineNumber);
                return std::nullopt;
            }
            if (!sheet.binFile.empty()) {
                error = "cue sheets with more than one FILE are not supported";
                return std::nullopt;
            }
            sheet.binFile = line.substr(open + 1, close - open - 1);
            if (toUpperAscii(line.substr(close + 1)).find("BINARY") == std::string::npos) {
                error = "only BINARY files are supported";
                return std::nullopt;
            }
        } else if (keyword == "TRACK") {
            CueTrack track;
            if (!(words >> track.number >> track.mode) || track.number < 1 || track.number > 99) {
                error = formatText("line %d: bad TRACK line", lineNumber);
                return std::nullopt;
            }
            if (!sheet.tracks.empty() && track.number <= sheet.tracks.back().number) {
                error = formatText("line %d: track numbers must rise", lineNumber);
                return std::nullopt;
            }
            track.mode = toUpperAscii(track.mode);
            sheet.tracks.push_back(track);
        } else if (keyword == "INDEX") {
            int index = -1;
            std::string time;
            if (sheet.tracks.empty() || !(words >> index >> time) || index < 0 || index > 99) {
                error = formatText("line %d: bad INDEX line", lineNumber);
                return std::nullopt;
            }
            const auto lsn = parseMsf(time);
            if (!lsn) {
                error = formatText("line %d: bad time '%s'", lineNumber, time.c_str());
                return std::nullopt;
            }
            if (index == 1) {
                sheet.tracks.back().startLsn = *lsn;
                if (sheet.tracks.back().pregapLsn == 0 || sheet.tracks.back().pregapLsn > *lsn) {
                    sheet.tracks.back().pregapLsn = *lsn;
                }
            } else if (index == 0) {
                sheet.tracks.back().pregapLsn = *lsn;
            }
        } else {
            error = formatText("line %d: unknown keyword '%s'", lineNumber, keyword.c_str());
            return std::nullopt;
        }
    }
    if (sheet.binFile.empty() || sheet.tracks.empty()) {
        error = "the cue sheet names no file or no track";
        return std::nullopt;
    }
    for (const auto& track : sheet.tracks) {
        if (track.mode != "MODE2/2352") {
            error = "track mode " + track.mode + " is not a raw Mode 2 track";
            return std::nullopt;
        }
    }
    return sheet;
}

bool DiscImage::open(const std::string& cuePath, std::string& error) {
    std::string text;
    if (!readRegularFile(cuePath, kMaxCueBytes, text, error)) {  // a FIFO must not hold inspect
        error = "cannot open " + cuePath + ": " + error;
        return false;
    }
    auto sheet = parseCueSheet(text, error);
    if (!sheet) return false;
    cue_ = *sheet;
    std::filesystem::path bin(cue_.binFile);
    if (bin.is_relative()) bin = std::filesystem::path(cuePath).parent_path() / fileNamePart(cue_.binFile);
    binPath_ = bin.string();
    std::error_code ec;
    const auto size = std::filesystem::file_size(binPath_, ec);
    if (ec) {
        error = "cannot open " + binPath_ + ": " + ec.message();
        return false;
    }
    if (size % kRawSectorSize != 0) {
        error = binPath_ + " is not a whole number of 2352-byte sectors";
        return false;
    }
    sectorCount_ = static_cast<std::uint32_t>(size / kRawSectorSize);
    return true;
}

std::optional<std::vector<std::uint8_t>> DiscImage::rawSector(std::uint32_t lsn) const {
    if (lsn >= sectorCount_) return std::nullopt;
    std::ifstream in(binPath_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(lsn) * kRawSectorSize);
    std::vector<std::uint8_t> sector(kRawSectorSize);
    in.read(reinterpret_cast<char*>(sector.data()), kRawSectorSize);
    if (in.gcount() != static_cast<std::streamsize>(kRawSectorSize)) return std::nullopt;
    return sector;
}

std::optional<std::vector<std::uint8_t>> DiscImage::userData(std::uint32_t lsn, bool* form2) const {
    auto raw = rawSector(lsn);
    if (!raw || (*raw)[15] != 2) return std::nullopt;
    const bool isForm2 = ((*raw)[18] & 0x20) != 0;  // submode byte of the subheader
    if (form2) *form2 = isForm2;
    const std::size_t size = isForm2 ? kForm2DataSize : kForm1DataSize;
    return std::vector<std::uint8_t>(raw->begin() + 24, raw->begin() + 24 + static_cast<std::ptrdiff_t>(size));
}

bool DiscImage::readFileSystem(std::string& error) {
    files_.clear();
    const auto pvd = userData(16);
    if (!pvd || (*pvd)[0] != 1 || std::string(pvd->begin() + 1, pvd->begin() + 6) != "CD001") {
        error = "no ISO 9660 primary volume descriptor at sector 16";
        return false;
    }
    ByteReader reader(*pvd);
    reader.seek(40);
    volumeId_ = reader.fixedText(32);
    while (!volumeId_.empty() && volumeId_.back() == ' ') volumeId_.pop_back();
    reader.seek(156 + 2);
    const std::uint32_t rootExtent = reader.u32le();
    reader.seek(156 + 10);
    const std::uint32_t rootSize = reader.u32le();
    if (!walkDirectory("", rootExtent, rootSize, 0)) {
        error = treeProblem_.empty() ? "the ISO 9660 directory tree cannot be read" : treeProblem_;
        return false;
    }
    return true;
}

bool DiscImage::walkDirectory(const std::string& prefix, std::uint32_t extent, std::uint32_t size, int depth) {
    if (depth > kMaxDirectoryDepth || size > 64 * kForm1DataSize) return false;
    for (std::uint32_t offset = 0; offset < size; offset += kForm1DataSize) {
        const auto data = userData(extent + offset / kForm1DataSize);
        if (!data) return false;
        std::size_t pos = 0;
        while (pos < kForm1DataSize) {
            const std::uint8_t length = (*data)[pos];
            if (length == 0) break;  // the rest of this sector is padding
            if (length < 34 || pos + length > kForm1DataSize) return false;
            ByteReader record(std::span<const std::uint8_t>(data->data() + pos, length));
            record.skip(2);
            IsoFile file;
            file.extent = record.u32le();
            record.skip(4);
            file.size = record.u32le();
            record.seek(25);
            const std::uint8_t flags = record.u8();
            record.seek(32);
            const std::uint8_t nameLength = record.u8();
            if (33u + nameLength > length) return false;
            const auto name = record.bytes(nameLength);
            file.directory = (flags & 0x02) != 0;
            // The XA system use area follows the name (padded to even): attributes at +4.
            const std::size_t xa = 33 + nameLength + ((nameLength % 2 == 0) ? 1 : 0);
            if (xa + 14 <= length && (*data)[pos + xa + 6] == 'X' && (*data)[pos + xa + 7] == 'A') {
                const std::uint8_t attributes = (*data)[pos + xa + 4];
                file.form2 = (attributes & 0x10) != 0;
            }
            pos += length;
            if (nameLength == 1 && (name[0] == 0 || name[0] == 1)) continue;  // "." and ".."
            const std::string component = isoName(name);
            if (climbsOut(component)) {
                treeProblem_ = "the ISO 9660 directory " + (prefix.empty() ? std::string("/") : prefix) +
                               " holds an unsafe file name";
                return false;
            }
            file.path = prefix + component;
            if (files_.size() >= kMaxFiles) return false;
            files_.push_back(file);
            if (file.directory && !walkDirectory(file.path + "/", file.extent, file.size, depth + 1)) return false;
        }
    }
    return true;
}

const IsoFile* DiscImage::findFile(const std::string& path) const {
    for (const auto& file : files_) {
        if (fileNamesEqualIgnoreCase(file.path, path)) return &file;
    }
    return nullptr;
}

std::vector<std::uint8_t> DiscImage::fileBytes(const IsoFile& file) const {
    std::vector<std::uint8_t> bytes;
    const std::uint32_t sectors = (file.size + kForm1DataSize - 1) / kForm1DataSize;
    for (std::uint32_t i = 0; i < sectors; ++i) {
        const auto data = userData(file.extent + i);
        if (!data) break;
        if (file.form2) {
            // Segment files: keep the packs, leave out the filler sectors of the unit.
            if ((*data)[0] == 0 && (*data)[1] == 0 && (*data)[2] == 1 && (*data)[3] == 0xBA) {
                bytes.insert(bytes.end(), data->begin(), data->end());
            }
        } else {
            const std::size_t take = std::min<std::size_t>(kForm1DataSize, file.size - i * kForm1DataSize);
            bytes.insert(bytes.end(), data->begin(), data->begin() + static_cast<std::ptrdiff_t>(take));
        }
    }
    return bytes;
}

bool DiscImage::readControlFiles(std::string& error) {
    const IsoFile* infoFile = findFile("VCD/INFO.VCD");
    if (!infoFile) {
        error = "no VCD/INFO.VCD: not a Video CD";
        return false;
    }
    const auto infoBytes = fileBytes(*infoFile);
    ByteReader info(infoBytes);
    info_.system = info.fixedText(8);
    info_.version = info.u8();
    info_.profile = info.u8();
    info_.album = info.fixedText(16);
    while (!info_.album.empty() && info_.album.back() == ' ') info_.album.pop_back();
    info_.volumeCount = info.u16be();
    info_.volumeNumber = info.u16be();
    const auto pal = info.bytes(13);
    for (std::size_t bit = 0; bit < pal.size() * 8; ++bit) info_.palFlags.push_back((pal[bit / 8] >> (bit % 8)) & 1);
    info_.statusFlags = info.u8();
    info_.psdSize = info.u32be();
    const auto msf = info.bytes(3);
    if (msf.size() == 3) info_.firstSegmentMsf = bcdMsf(msf[0], msf[1], msf[2]);
    info_.offsetMultiplier = info.u8();
    info_.maxLid = info.u16be();
    const int units = info.u16be();
    for (int i = 0; i < units && i < 1992; ++i) info_.segmentContent.push_back(info.u8());
    if (info.failed() || info_.system != "VIDEO_CD") {
        error = "VCD/INFO.VCD is not a Video CD information file";
        return false;
    }

    entries_.clear();
    if (const IsoFile* entriesFile = findFile("VCD/ENTRIES.VCD")) {
        const auto bytes = fileBytes(*entriesFile);
        ByteReader entries(bytes);
        if (entries.fixedText(8) == "ENTRYVCD") {
            entries.skip(2);
            const int count = entries.u16be();
            for (int i = 0; i < count && i < 509; ++i) {
                VcdEntry entry;
                entry.track = fromBcd(entries.u8());
                const std::uint8_t m = entries.u8(), s = entries.u8(), f = entries.u8();
                entry.msf = bcdMsf(m, s, f);
                const int absolute = framesOfBcdMsf(m, s, f);
                entry.lsn = absolute >= kPregapFrames ? static_cast<std::uint32_t>(absolute - kPregapFrames) : 0;
                entries_.push_back(entry);
            }
        }
    }

    lists_.clear();
    const IsoFile* psdFile = findFile("VCD/PSD.VCD");
    const IsoFile* lotFile = findFile("VCD/LOT.VCD");
    if (!psdFile || !lotFile) return true;  // no playback control
    const auto psd = fileBytes(*psdFile);
    const auto lot = fileBytes(*lotFile);
    // Offsets in the PSD (in units of 8 bytes) back to list ids through the LOT.
    std::map<std::uint16_t, int> lidByOffset;
    for (int lid = 1; lid <= info_.maxLid && static_cast<std::size_t>(2 * lid + 1) < lot.size(); ++lid) {
        const std::uint16_t offset = static_cast<std::uint16_t>((lot[2 * lid] << 8) | lot[2 * lid + 1]);
        if (offset != 0xFFFF) lidByOffset[offset] = lid;
    }
    auto lidOf = [&](std::uint16_t offset) {
        const auto found = lidByOffset.find(offset);
        return found == lidByOffset.end() ? 0 : found->second;
    };
    for (const auto& [offset, lid] : lidByOffset) {
        const std::size_t at = static_cast<std::size_t>(offset) * 8;
        if (at >= psd.size()) continue;
        ByteReader node(std::span<const std::uint8_t>(psd).subspan(at));
        PbcList list;
        list.lid = lid;
        list.offset = static_cast<std::uint32_t>(at);
        const std::uint8_t type = node.u8();
        if (type == 0x10) {
            list.kind = "play";
            const int count = node.u8();
            node.skip(2);
            list.prevLid = lidOf(node.u16be());
            list.nextLid = lidOf(node.u16be());
            list.returnLid = lidOf(node.u16be());
            node.skip(2);
            list.timeoutTime = node.u8();
            node.skip(1);
            for (int i = 0; i < count; ++i) list.playItems.push_back(node.u16be());
            if (!list.playItems.empty()) list.itemNumber = list.playItems.front();
        } else if (type == 0x18 || type == 0x1A) {
            list.kind = "selection";
            node.skip(1);
            const int count = node.u8();
            list.bsn = node.u8();
            node.skip(2);
            list.prevLid = lidOf(node.u16be());
            list.nextLid = lidOf(node.u16be());
            list.returnLid = lidOf(node.u16be());
            list.defaultLid = lidOf(node.u16be());
            list.timeoutLid = lidOf(node.u16be());
            list.timeoutTime = node.u8();
            const std::uint8_t loop = node.u8();
            list.loopCount = loop & 0x7F;
            list.jumpDelayed = (loop & 0x80) != 0;
            list.itemNumber = node.u16be();
            for (int i = 0; i < count; ++i) list.selectionLids.push_back(lidOf(node.u16be()));
        } else if (type == 0x1F) {
            list.kind = "end";
        } else {
            list.kind = formatText("unknown(0x%02X)", type);
        }
        lists_.push_back(list);
    }
    std::sort(lists_.begin(), lists_.end(), [](const PbcList& a, const PbcList& b) { return a.lid < b.lid; });
    return true;
}

std::vector<SegmentUnitRange> DiscImage::segments() const {
    std::vector<SegmentUnitRange> result;
    for (std::size_t unit = 0; unit < info_.segmentContent.size(); ++unit) {
        const std::uint8_t content = info_.segmentContent[unit];
        if ((content & 0x20) != 0 && !result.empty()) {
            ++result.back().units;
            continue;
        }
        result.push_back({1000 + static_cast<int>(unit), 1, static_cast<std::uint8_t>(content & 0x1F)});
    }
    return result;
}

std::vector<std::uint8_t> DiscImage::trackBytes(int number) const {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < cue_.tracks.size(); ++i) {
        if (cue_.tracks[i].number != number) continue;
        const std::uint32_t end = i + 1 < cue_.tracks.size() ? cue_.tracks[i + 1].pregapLsn : sectorCount_;
        for (std::uint32_t lsn = cue_.tracks[i].startLsn; lsn < end; ++lsn) {
            bool form2 = false;
            const auto data = userData(lsn, &form2);
            if (!data || !form2) continue;
            // Sectors that carry no pack (gaps and margins) hold zeros.
            if ((*data)[0] == 0 && (*data)[1] == 0 && (*data)[2] == 1 && (*data)[3] == 0xBA) {
                bytes.insert(bytes.end(), data->begin(), data->end());
            }
        }
    }
    return bytes;
}

}  // namespace tellavine::cli
