#include "platform/work_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

namespace tellavine {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPrefix = "tellavine-";

// A folder between mkdtemp and its lock is briefly unlocked; only older ones are stale.
constexpr auto kStaleAfter = std::chrono::minutes(1);

// Removes working folders of earlier builds that are no longer locked by anyone.
void removeAbandonedFolders(const std::string& parent) {
    std::error_code ec;
    fs::directory_iterator entries(parent, ec);
    if (ec) return;
    const uid_t self = ::geteuid();
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) continue;
        struct stat info {};
        // A link or someone else's folder is never ours to remove.
        if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != self) continue;
        const auto modified = fs::last_write_time(entry.path(), ec);
        if (ec || now - modified < kStaleAfter) continue;
        if (FolderLock(entry.path().string()).state() != FolderLock::State::Held) continue;
        fs::remove_all(entry.path(), ec);
    }
}

}  // namespace

WorkFolder::WorkFolder(const std::string& parent) {
    std::error_code ec;
    fs::create_directories(parent, ec);
    if (!fs::is_directory(parent, ec)) {
        error_ = ec ? ec.message() : std::strerror(ENOTDIR);
        return;
    }
    removeAbandonedFolders(parent);
    std::string pattern = parent + kPrefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) {
        error_ = std::strerror(errno);
        return;
    }
    const std::string folder(buffer.data());
    lock_.emplace(folder);
    path_ = folder + "/";
}

WorkFolder::~WorkFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(fs::path(path_).parent_path(), ignored);
}

}  // namespace tellavine
