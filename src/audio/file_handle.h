#pragma once
// Owned C stdio files for the music readers and writers.

#include "platform/regular_file.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tellavine::audio {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Files opened for reading must be regular files: music that is a FIFO would block the
// build in fopen where cancelling cannot reach it.
inline FileHandle openFile(const std::string& path, const char* mode) {
    if (mode[0] == 'r' && mode[1] != '+' && (mode[1] == '\0' || mode[2] != '+')) {
        return FileHandle(RegularFile::open(path).releaseToStream());
    }
    return FileHandle(std::fopen(path.c_str(), mode));
}

// Closes `file` and reports whether everything written reached the file (a full disk
// often shows only when the last buffer is flushed).
inline bool closeFile(FileHandle& file) {
    return std::fclose(file.release()) == 0;
}

}  // namespace tellavine::audio
