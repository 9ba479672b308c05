#pragma once
// The process-wide output choice of a build: a CUE/BIN image file (true) or the disc
// recorder (false). Set by the burn page or the CLI before a build starts.

namespace tellavine::vcd {

void setImageFileMode(bool imageFile);
bool imageFileMode();

}  // namespace tellavine::vcd
