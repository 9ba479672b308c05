#pragma once
// Opening the files the program reads (settings, templates, projects, photos, music):
// only regular files, and never by a call that can wait. A FIFO would block open() until
// a writer came and a device such as /dev/zero never ends; both are refused with a
// reason, as is a file larger than its reader's cap.

#include <cstdint>
#include <cstdio>
#include <string>

namespace tellavine {

// An open, read-only descriptor of a regular file, or the reason there is none.
class RegularFile {
public:
    // Opens with O_NONBLOCK (so a FIFO cannot hold the caller), checks with fstat that the
    // path is a regular file no larger than `maxBytes`, then makes reads blocking again.
    static RegularFile open(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    bool isOpen() const { return fd_ >= 0; }
    // The path does not exist (readers of optional files treat that as "no file").
    bool missing() const { return missing_; }
    // Why the file is not open, as a phrase: "it is not a regular file".
    const std::string& error() const { return error_; }
    int fd() const { return fd_; }
    std::uint64_t size() const { return size_; }

    // Hands the descriptor to a C stream (the stream owns it then); null on failure.
    std::FILE* releaseToStream();

private:
    RegularFile() = default;
    int fd_ = -1;
    bool missing_ = false;
    std::uint64_t size_ = 0;
    std::string error_;
};

// The whole content of a regular file of at most `maxBytes`; false with `error` set (as
// RegularFile::error) otherwise.
bool readRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& content, std::string& error,
                     bool* missing = nullptr);

// "1 MiB", "120 MiB", "300 KiB": a cap as messages show it.
std::string byteSizeText(std::uint64_t bytes);

}  // namespace tellavine
