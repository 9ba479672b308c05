#pragma once
// Replacing a document's content as a whole (project files, settings). The new content is
// written beside the file, put on the disk, and renamed over it, so a failure or a power
// cut leaves either the old content or the new, never half of one. A symbolic link is kept
// and its target replaced, and an existing file keeps its permissions. Only a regular
// file is replaced: a device, FIFO or folder (or a link to one) is refused.

#include <cstdint>
#include <span>
#include <string>

namespace tellavine {

// 0 on success, otherwise the errno of the step that failed (nothing is left behind then).
int replaceFileContent(const std::string& path, std::span<const std::uint8_t> content);

}  // namespace tellavine
