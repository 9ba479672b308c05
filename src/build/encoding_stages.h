#pragma once
// The two encoding stages of a build, run by the driver in this order: the disc menu
// pages, then every album. Both leave their MPEG segments in the build's temporary
// folder for disc assembly.

#include "project/build_job.h"

namespace tellavine {

bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs);
bool encodeAlbumSlides(BuildJob& job, const BuildInputs& inputs);

}  // namespace tellavine
