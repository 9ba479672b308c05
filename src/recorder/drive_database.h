#pragma once
// Which recorder driver suits a drive: a lookup of its product identification in the
// built-in tables of known models, and the choice made from the writing-mode setting.

#include <string_view>

namespace tellavine {

enum class DriveClass { DriveClassMmc, DriveClassRaw, DriveClassUnknown };
enum class DriverKind { Mmc, Raw };

// Exact, case-sensitive comparison after trailing white space is removed on both sides;
// the MMC models are searched first.
DriveClass lookupDriveClass(std::string_view product);

// The writing-mode setting "driver": 0 auto detected, 1 session-at-once MMC, 2 raw.
// Values outside 0..2 count as 0 (normaliseWritingMode gives the value to store back).
int normaliseWritingMode(int writingMode);
DriverKind chooseDriverKind(int writingMode, std::string_view product);

}  // namespace tellavine
