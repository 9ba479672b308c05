#pragma once
// Projects as JSON, the form `show --json` writes and `import` reads (docs/project-json.md).
// It holds every field of the project file, so writing a project's JSON and importing it
// gives back the same file, byte for byte.

#include "project/model.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tellavine::cli {

// What show adds about the disc; import ignores it.
struct DiscSummary {
    std::uint32_t sectors = 0;  // the estimate, in 2352-byte sectors
    bool fits74 = false;        // on a 74-minute disc
    bool fits80 = false;        // on an 80-minute disc
};

inline constexpr std::uint32_t kSectors74Minutes = 74 * 60 * 75;
inline constexpr std::uint32_t kSectors80Minutes = 80 * 60 * 75;
DiscSummary discSummary(std::uint32_t sectors);

// The project as indented JSON. Texts that are not UTF-8 (projects from other systems)
// are written with replacement characters, so the output is always valid JSON.
std::string projectToJson(const Project& project, const std::optional<DiscSummary>& disc);

// Fills `project` (empty, with its services, default play time and music length query)
// from JSON. False with `error` naming the line and the field when the JSON is not a
// project: "line 12: albums[1].photos[0].rotation: must be 0, 90, 180 or 270, not 45".
bool projectFromJson(Project& project, const std::string& text, std::string& error);

}  // namespace tellavine::cli
