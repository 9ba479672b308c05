#pragma once
// Owned C stdio files for the music readers and writers.

#include <cstdio>
#include <memory>
#include <string>

namespace tellavine::audio {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

inline FileHandle openFile(const std::string& path, const char* mode) {
    return FileHandle(std::fopen(path.c_str(), mode));
}

// Closes `file` and reports whether everything written reached the file (a full disk
// often shows only when the last buffer is flushed).
inline bool closeFile(FileHandle& file) {
    return std::fclose(file.release()) == 0;
}

}  // namespace tellavine::audio
