#pragma once
// A reader of CUE/BIN Video CD images, independent of the writer: the cue sheet, raw
// 2352-byte sectors, the ISO 9660 tree and the VCD control files. It serves the
// inspect command and the tests that read our images back.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tellavine::cli {

struct CueTrack {
    int number = 0;
    std::string mode;           // "MODE2/2352", ...
    std::uint32_t startLsn = 0; // INDEX 01, sectors from the start of the BIN
    std::uint32_t pregapLsn = 0;  // INDEX 00 when given, else startLsn
};

struct CueSheet {
    std::string binFile;  // as written in the FILE line
    std::vector<CueTrack> tracks;
};

// Parses cue text; nothing when it is not a single-file BINARY cue sheet we can read.
std::optional<CueSheet> parseCueSheet(const std::string& text, std::string& error);

struct IsoFile {
    std::string path;  // "VCD/INFO.VCD", version suffix removed
    std::uint32_t extent = 0;
    std::uint32_t size = 0;
    bool directory = false;
    bool form2 = false;  // XA attribute: Mode 2 Form 2 file (sizes count 2048 per sector)
};

struct VcdInfo {
    std::string system;
    int version = 0;
    int profile = 0;
    std::string album;
    int volumeCount = 0, volumeNumber = 0;
    std::vector<bool> palFlags;  // per sequence
    int statusFlags = 0;
    std::uint32_t psdSize = 0;
    std::string firstSegmentMsf;
    int offsetMultiplier = 0;
    int maxLid = 0;
    std::vector<std::uint8_t> segmentContent;  // one byte per segment unit
};

struct VcdEntry {
    int track = 0;
    std::string msf;
    std::uint32_t lsn = 0;  // absolute address minus 150
};

struct PbcList {
    int lid = 0;
    std::uint32_t offset = 0;  // bytes into the PSD
    std::string kind;          // "play", "selection", "end"
    int prevLid = 0, nextLid = 0, returnLid = 0, defaultLid = 0, timeoutLid = 0;  // 0 = none
    int timeoutTime = 0;  // the encoded byte
    int loopCount = 0;
    bool jumpDelayed = false;
    int bsn = 0;
    int itemNumber = 0;  // play item shown / first item
    std::vector<int> selectionLids;  // 0 = key does nothing
    std::vector<int> playItems;      // play lists
};

struct SegmentUnitRange {
    int playItem = 0;  // 1000 + first unit
    int units = 0;
    std::uint8_t content = 0;
};

class DiscImage {
public:
    // Opens the CUE file and its BIN; false with `error` set when they cannot be read.
    bool open(const std::string& cuePath, std::string& error);

    const CueSheet& cue() const { return cue_; }
    std::uint32_t sectorCount() const { return sectorCount_; }
    // The raw 2352-byte sector, or nothing past the end.
    std::optional<std::vector<std::uint8_t>> rawSector(std::uint32_t lsn) const;
    // The user data of a Mode 2 sector: 2048 bytes for Form 1, 2324 for Form 2.
    std::optional<std::vector<std::uint8_t>> userData(std::uint32_t lsn, bool* form2 = nullptr) const;

    // Reads the ISO 9660 tree; false when there is no valid volume descriptor.
    bool readFileSystem(std::string& error);
    const std::vector<IsoFile>& files() const { return files_; }
    std::string volumeId() const { return volumeId_; }
    const IsoFile* findFile(const std::string& path) const;
    // The bytes of a file: Form 1 data, or for Form 2 files the 2324-byte payloads.
    std::vector<std::uint8_t> fileBytes(const IsoFile& file) const;

    // The control files; false when INFO.VCD is missing or not a Video CD.
    bool readControlFiles(std::string& error);
    const VcdInfo& info() const { return info_; }
    const std::vector<VcdEntry>& entries() const { return entries_; }
    const std::vector<PbcList>& lists() const { return lists_; }
    std::vector<SegmentUnitRange> segments() const;
    // The MPEG data of track `number` (2 = first sequence): the Form 2 payloads of its
    // sectors that hold packs.
    std::vector<std::uint8_t> trackBytes(int number) const;

private:
    bool walkDirectory(const std::string& prefix, std::uint32_t extent, std::uint32_t size, int depth);
    std::string treeProblem_;  // why walkDirectory refused the tree, when it says

    std::string binPath_;
    CueSheet cue_;
    std::uint32_t sectorCount_ = 0;
    std::string volumeId_;
    std::vector<IsoFile> files_;
    VcdInfo info_;
    std::vector<VcdEntry> entries_;
    std::vector<PbcList> lists_;
};

// "mm:ss:ff" of a BCD time.
std::string bcdMsf(std::uint8_t m, std::uint8_t s, std::uint8_t f);

}  // namespace tellavine::cli
