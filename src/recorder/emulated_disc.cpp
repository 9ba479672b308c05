#include "recorder/emulated_disc.h"

#include "platform/profile.h"

#include <sys/stat.h>

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
    }
}

std::string EmulatedDisc::unusableDiscReason(const std::string& path) {
    const std::string statePath = path + ".state";
    struct stat disc {};
    struct stat state {};
    const bool haveDisc = ::stat(path.c_str(), &disc) == 0;
    const bool haveState = ::lstat(statePath.c_str(), &state) == 0;
    if (haveDisc && !S_ISREG(disc.st_mode)) return path + " is not a regular file";
    if (haveState && !S_ISREG(state.st_mode)) return statePath + " is not a regular file";
    if (haveState) {
        if (const auto problem = profileFileProblem(statePath); !problem.empty()) return statePath + ": " + problem;
        return {};
    }
    if (haveDisc) return path + " exists and was not made by the emulated recorder (it has no " + statePath + ")";
    return {};
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
