#pragma once
// A file on disk read through a 128 KiB stream buffer. It opens itself on first use;
// seeks are skipped when the position is already right, so reading packs in order after
// a scan costs no seek per pack.

#include "platform/file.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tellavine::vcd {

class DataSource {
public:
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const std::string& path() const { return path_; }
    std::uint64_t size() const { return size_; }
    bool seek(std::uint64_t position);
    // Bytes read, short at the end of the file or on a read error.
    std::size_t read(std::span<std::uint8_t> buffer);
    void close();
    // Closes and removes the file from the disk.
    bool deleteFile();

private:
    friend std::unique_ptr<DataSource> openFileDataSource(const std::string& path);
    DataSource(std::string path, std::uint64_t size) : path_(std::move(path)), size_(size) {}
    bool ensureOpen();

    std::string path_;
    std::uint64_t size_ = 0;
    File file_;  // open from the first use to close()
    std::uint64_t position_ = 0;
};

// Nothing when the file's status cannot be read (it does not exist) or it is not a
// regular file.
std::unique_ptr<DataSource> openFileDataSource(const std::string& path);

}  // namespace tellavine::vcd
