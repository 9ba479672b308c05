#pragma once
// Checks of a project before its build starts: what cannot make a playable disc is
// refused with a message naming the album; what plays oddly is warned about.

#include "project/build_job.h"

namespace tellavine {

// False (after the message) when the build cannot go on: a menu template without album
// buttons, an album with music but no photos, a play time out of range, or more files
// and folders than the disc's file system can name. Albums with neither photos nor music
// are named in a warning; their menu keys do nothing.
bool checkProjectForBuild(const BuildJob& job, const BuildInputs& inputs);

}  // namespace tellavine
