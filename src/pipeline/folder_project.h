#pragma once
// A folder tree as a project: each sub-folder of the folder is an album named after it,
// holding its pictures; pictures directly in the folder make one album named after the
// folder (the first). One MP3 or WAV in an album folder is the album's music, one in the
// folder itself the menu music. Hidden files and folders are skipped; a symbolic link is
// followed only when it leads to a place inside the folder. Names are in natural order
// ("2" before "10"). The model's limits hold with its messages, and whatever they leave
// out is named in a warning through the project's services.

#include "project/model.h"

#include <optional>
#include <string>
#include <string_view>

namespace tellavine {

enum class PhotoOrder { Name, DateTaken };  // DateTaken: by EXIF date, undated ones after in name order
enum class CaptionSource { None, FileName };  // FileName: the file's name without extension

struct FolderProjectOptions {
    PhotoOrder order = PhotoOrder::Name;
    std::optional<int> playTime;  // seconds per photo; the project's default when unset
    CaptionSource captions = CaptionSource::None;
};

// Fills `project` (empty, with its services, default play time and music length query
// set) from `folder`. An error text when the folder cannot be read or holds no picture.
std::string makeProjectFromFolder(Project& project, const std::string& folder, const FolderProjectOptions& options);

// Natural order: runs of digits compare as numbers ("photo 2" before "photo 10"), other
// text without regard to ASCII letter case; equal names fall back to byte order.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace tellavine
