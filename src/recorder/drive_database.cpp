#include "recorder/drive_database.h"

#include "recorder/drive_tables.h"

#include <algorithm>
#include <cctype>

namespace tellavine {

namespace {

std::string_view withoutTrailingSpace(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

template <typename Table>
bool tableHolds(const Table& table, std::string_view product) {
    return std::any_of(table.begin(), table.end(),
                       [&](std::string_view model) { return withoutTrailingSpace(model) == product; });
}

}  // namespace

DriveClass lookupDriveClass(std::string_view product) {
    const std::string_view wanted = withoutTrailingSpace(product);
    if (tableHolds(kMmcDriveModels, wanted)) return DriveClass::DriveClassMmc;
    if (tableHolds(kRawDriveModels, wanted)) return DriveClass::DriveClassRaw;
    return DriveClass::DriveClassUnknown;
}

int normaliseWritingMode(int writingMode) { return writingMode >= 0 && writingMode <= 2 ? writingMode : 0; }

DriverKind chooseDriverKind(int writingMode, std::string_view product) {
    switch (normaliseWritingMode(writingMode)) {
        case 1: return DriverKind::Mmc;
        case 2: return DriverKind::Raw;
        default: return lookupDriveClass(product) == DriveClass::DriveClassRaw ? DriverKind::Raw : DriverKind::Mmc;
    }
}

}  // namespace tellavine
