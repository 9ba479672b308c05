#include "vcd/data_source.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tellavine::vcd {

constexpr std::size_t kStreamBufferSize = 128 * 1024;

std::unique_ptr<DataSource> openFileDataSource(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    return std::unique_ptr<DataSource>(new DataSource(path, static_cast<std::uint64_t>(status.st_size)));
}

bool DataSource::ensureOpen() {
    if (file_) return true;
    file_ = File::open(path_, "rb");
    if (!file_) return false;
    file_.setBuffer(kStreamBufferSize);
    position_ = 0;
    return true;
}

bool DataSource::seek(std::uint64_t position) {
    if (!ensureOpen()) return false;
    if (position == position_) return true;
    if (fseeko(file_.get(), static_cast<off_t>(position), SEEK_SET) != 0) return false;
    position_ = position;
    return true;
}

std::size_t DataSource::read(std::span<std::uint8_t> buffer) {
    if (!ensureOpen()) return 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_.get());
    if (got < buffer.size()) std::clearerr(file_.get());
    position_ += got;
    return got;
}

void DataSource::close() {
    // A disc holds a source per photo, each closed between its scan and its writing:
    // the stream buffer (128 KiB) goes with the stream, so memory does not grow with the album.
    file_.discard();
    position_ = 0;
}

bool DataSource::deleteFile() {
    close();
    return ::unlink(path_.c_str()) == 0;
}

}  // namespace tellavine::vcd
