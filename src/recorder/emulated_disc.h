#pragma once
// The medium inside the emulated recorder, kept in two files: PATH holds the burned
// program area as 2352-byte main-channel sectors from address 0, PATH.state (an INI
// file) what a drive would read from the disc itself: the kind of medium, whether it is
// blank, written or spoilt by an aborted recording, and whether the tray is open.
//
// Only a missing PATH (a new blank disc) or a PATH with its state file (a disc the
// emulated recorder made) is a disc: any other file, a device or a folder is refused by
// unusableDiscReason, so no file of the user's is overwritten and no state file is
// created beside a device.

#include "platform/cd_geometry.h"
#include "platform/file.h"

#include <cstdint>
#include <span>
#include <string>

namespace tellavine {

enum class EmulatedMedium { CdR, CdRw };
enum class EmulatedDiscStatus { Blank, Incomplete, Complete };

class EmulatedDisc {
public:
    // 80-minute media: the last possible lead-out starts at 79:59:74.
    static constexpr int kLastLeadOutFrames = framesOf({79, 59, 74});

    explicit EmulatedDisc(std::string path, EmulatedMedium mediumForNewDisc = EmulatedMedium::CdR);

    // Why `path` cannot be used as the emulated disc, as a phrase; empty when it can.
    static std::string unusableDiscReason(const std::string& path);
    ~EmulatedDisc();
    EmulatedDisc(const EmulatedDisc&) = delete;
    EmulatedDisc& operator=(const EmulatedDisc&) = delete;

    const std::string& path() const { return path_; }
    EmulatedMedium medium() const { return medium_; }
    EmulatedDiscStatus status() const { return status_; }
    std::int64_t sectors() const { return sectors_; }
    bool trayOpen() const { return trayOpen_; }

    void setTrayOpen(bool open);
    // Stores one main-channel sector at `address` (0 = first program-area sector).
    bool writeSector(std::int64_t address, std::span<const std::uint8_t> sector);
    // Marks the disc as written up to `sectors` (the lead-out start) or as spoilt.
    bool markComplete(std::int64_t sectors);
    bool markIncomplete();
    // Erases the medium: the sector file becomes empty and the disc blank.
    bool erase();

private:
    bool saveState();
    bool openForWriting();

    std::string path_;
    std::string statePath_;
    EmulatedMedium medium_ = EmulatedMedium::CdR;
    EmulatedDiscStatus status_ = EmulatedDiscStatus::Blank;
    std::int64_t sectors_ = 0;
    bool trayOpen_ = false;
    File file_;  // open while sectors are being written
};

}  // namespace tellavine
