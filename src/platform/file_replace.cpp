#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace tellavine {
namespace {

// The file a path finally names: a link is followed to where the content lives.
std::string contentPath(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const auto target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target.string();
}

bool writeAll(int fd, std::span<const std::uint8_t> content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content = content.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// The rename itself is on the disk once its folder is.
void syncFolderOf(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int replaceFileContent(const std::string& path, std::span<const std::uint8_t> content) {
    const std::string target = contentPath(path);
    // Only a file is replaced: renaming over a device or FIFO a link leads to (as root,
    // /dev/zero itself) would destroy it.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
    }
    const std::string temporary = target + ".saving";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    auto failWith = [&](int error, bool open) {
        if (open) ::close(fd);
        ::unlink(temporary.c_str());
        return error;
    };
    if (::stat(target.c_str(), &existing) == 0 && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        return failWith(errno, true);
    }
    if (!writeAll(fd, content) || ::fsync(fd) != 0) return failWith(errno, true);
    if (::close(fd) != 0) return failWith(errno, false);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) return failWith(errno, false);
    syncFolderOf(target);
    return 0;
}

}  // namespace tellavine
