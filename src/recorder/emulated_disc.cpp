#include "recorder/emulated_disc.h"

#include "platform/profile.h"

#include <filesystem>
#include <system_error>

namespace tellavine {

namespace {
constexpr const char* kSection = "disc";

const char* statusName(EmulatedDiscStatus status) {
    switch (status) {
        case EmulatedDiscStatus::Blank: return "blank";
        case EmulatedDiscStatus::Incomplete: return "incomplete";
        case EmulatedDiscStatus::Complete: return "complete";
    }
    return "blank";
}
}  // namespace

EmulatedDisc::EmulatedDisc(std::string path, EmulatedMedium mediumForNewDisc)
    : path_(std::move(path)), statePath_(path_ + ".state"), medium_(mediumForNewDisc) {
    std::error_code error;
    const bool haveState = std::filesystem::exists(statePath_, error);
    if (haveState) {
        const std::string medium = readProfileString(statePath_, kSection, "medium", "cdr");
        medium_ = medium == "cdrw" ? EmulatedMedium::CdRw : EmulatedMedium::CdR;
        const std::string status = readProfileString(statePath_, kSection, "status", "blank");
        status_ = status == "complete"     ? EmulatedDiscStatus::Complete
                  : status == "incomplete" ? EmulatedDiscStatus::Incomplete
                                           : EmulatedDiscStatus::Blank;
        sectors_ = readProfileInt(statePath_, kSection, "sectors", 0);
        trayOpen_ = readProfileString(statePath_, kSection, "tray", "closed") == "open";
        return;
    }
    const auto size = std::filesystem::file_size(path_, error);
    if (!error && size >= kRawSectorSize) {
        status_ = EmulatedDiscStatus::Complete;
        sectors_ = static_cast<std::int64_t>(size / kRawSectorSize);
    }
}

EmulatedDisc::~EmulatedDisc() = default;

bool EmulatedDisc::saveState() {
    return writeProfileString(statePath_, kSection, "medium", medium_ == EmulatedMedium::CdRw ? "cdrw" : "cdr") &&
           writeProfileString(statePath_, kSection, "status", statusName(status_)) &&
           writeProfileInt(statePath_, kSection, "sectors", static_cast<int>(sectors_)) &&
           writeProfileString(statePath_, kSection, "tray", trayOpen_ ? "open" : "closed");
}

void EmulatedDisc::setTrayOpen(bool open) {
    file_.discard();
    trayOpen_ = open;
    saveState();
}

bool EmulatedDisc::openForWriting() {
    if (file_) return true;
    // "r+b" keeps what is there; a missing file is created empty first.
    file_ = File::open(path_, "r+b");
    if (!file_) file_ = File::open(path_, "w+b");
    return static_cast<bool>(file_);
}

bool EmulatedDisc::writeSector(std::int64_t address, std::span<const std::uint8_t> sector) {
    if (address < 0 || sector.size() != kRawSectorSize) return false;
    if (!openForWriting()) return false;
    const long offset = static_cast<long>(address) * static_cast<long>(kRawSectorSize);
    if (std::fseek(file_.get(), offset, SEEK_SET) != 0) return false;
    return std::fwrite(sector.data(), 1, sector.size(), file_.get()) == sector.size();
}

bool EmulatedDisc::markComplete(std::int64_t sectors) {
    const bool written = file_.close();
    std::error_code error;
    std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(sectors) * kRawSectorSize, error);
    status_ = EmulatedDiscStatus::Complete;
    sectors_ = sectors;
    return saveState() && written && !error;
}

bool EmulatedDisc::markIncomplete() {
    file_.discard();
    status_ = EmulatedDiscStatus::Incomplete;
    return saveState();
}

bool EmulatedDisc::erase() {
    file_.discard();
    File emptied = File::open(path_, "wb");
    if (!emptied || !emptied.close()) return false;
    status_ = EmulatedDiscStatus::Blank;
    sectors_ = 0;
    return saveState();
}

}  // namespace tellavine
