#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes out of scope.

#include <filesystem>
#include <string>
#include <vector>

namespace tellavine::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program keeps folders: with a trailing '/'.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::string& path);
std::vector<unsigned char> readBytes(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

}  // namespace tellavine::testing
