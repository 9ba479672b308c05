#pragma once
// The menu encoding stage: one MPEG segment per disc menu page, each a mixed still of
// the page picture (704 pixels) and the stock 352-pixel still, with the menu music
// under it when there is one. Runs on the build thread before the slide stage; it does
// not test the cancel event (the slide stage does).

#include "project/build_job.h"

namespace tellavine {

bool encodeDiscMenu(BuildJob& job, const BuildInputs& inputs);

}  // namespace tellavine
