#pragma once
// The folder `inspect --extract` writes into. Whatever already lies inside it is never
// followed or replaced: sub-folders are made with mkdir (an existing real folder is
// used, a link is refused) and files are created with O_EXCL | O_NOFOLLOW, so a link
// planted in the folder cannot send the extracted data anywhere else.

#include <cstdint>
#include <span>
#include <string>

namespace tellavine::cli {

class ExtractFolder {
public:
    // Opens (and creates, when missing) the folder the user named; a link naming it is
    // followed, since that is the user's own choice.
    bool open(const std::string& folder, std::string& error);
    ~ExtractFolder();
    ExtractFolder() = default;
    ExtractFolder(const ExtractFolder&) = delete;
    ExtractFolder& operator=(const ExtractFolder&) = delete;

    // Writes `bytes` to `relativePath` ("VCD/INFO.VCD"), making the folders on the way.
    bool writeNewFile(const std::string& relativePath, std::span<const std::uint8_t> bytes, std::string& error);

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace tellavine::cli
