#pragma once
// Whether the disc's file system can name everything a project puts on the disc. Its
// directories and path tables have a fixed area, which many albums or a few thousand
// photo copies fill; this is known before encoding, which can take an hour.

#include "project/build_job.h"

#include <string>

namespace tellavine {

// The reason the disc's file system cannot be laid out, or "" when it can.
std::string discFileSystemProblem(const Project& project, const DiscOptions& options, int itemsPerPage);

}  // namespace tellavine
