#pragma once
// The two model tables behind lookupDriveClass (drive_database.h). The MMC table holds
// both MMC lists, the first followed by the second, and is searched before the raw table.

#include <array>
#include <string_view>

namespace tellavine {

extern const std::array<std::string_view, 741> kMmcDriveModels;
extern const std::array<std::string_view, 237> kRawDriveModels;

}  // namespace tellavine
