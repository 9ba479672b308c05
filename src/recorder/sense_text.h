#pragma once
// Sense data as a line for the user: what the drive said when a command failed.

#include "recorder/scsi_transport.h"

#include <string>

namespace tellavine {

// "The drive reported: medium error, write error (sense 3/0C/00)." Unknown codes are
// given by their numbers only.
std::string describeSense(const SenseBytes& sense);

}  // namespace tellavine
