#include "recorder/drive_database.h"
#include "recorder/drive_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tellavine {
namespace {

TEST(DriveDatabase, PaddedProductMatchesTheMmcTable) {
    EXPECT_EQ(lookupDriveClass("CRW1232         "), DriveClass::DriveClassMmc);
    EXPECT_EQ(chooseDriverKind(0, "CRW1232         "), DriverKind::Mmc);
}

TEST(DriveDatabase, StarIsALiteralCharacterNotAWildcard) {
    EXPECT_EQ(lookupDriveClass("CDD3600"), DriveClass::DriveClassUnknown);
    EXPECT_EQ(lookupDriveClass("CDD3600*"), DriveClass::DriveClassRaw);
    EXPECT_EQ(chooseDriverKind(0, "CDD3600"), DriverKind::Mmc);
}

TEST(DriveDatabase, MmcTablesWinOverTheRawTable) {
    EXPECT_EQ(lookupDriveClass("CDRW 4432"), DriveClass::DriveClassMmc);
    EXPECT_EQ(lookupDriveClass("CDRW-4420"), DriveClass::DriveClassMmc);
}

TEST(DriveDatabase, ComparisonIsCaseSensitive) {
    EXPECT_EQ(lookupDriveClass("CD-RW CRX175A"), DriveClass::DriveClassMmc);
    EXPECT_EQ(lookupDriveClass("cd-rw crx175a"), DriveClass::DriveClassUnknown);
    EXPECT_EQ(lookupDriveClass("CD-RW CRX175a"), DriveClass::DriveClassUnknown);
}

TEST(DriveDatabase, RawOnlyModelsChooseTheRawDriverInAutoMode) {
    EXPECT_EQ(lookupDriveClass("CELERUS\t  "), DriveClass::DriveClassRaw);
    EXPECT_EQ(chooseDriverKind(0, "CELERUS"), DriverKind::Raw);
    EXPECT_EQ(chooseDriverKind(1, "CELERUS"), DriverKind::Mmc);
}

TEST(DriveDatabase, WritingModeOverridesTheLookup) {
    EXPECT_EQ(chooseDriverKind(0, "NO SUCH DRIVE"), DriverKind::Mmc);
    EXPECT_EQ(chooseDriverKind(2, "NO SUCH DRIVE"), DriverKind::Raw);
    EXPECT_EQ(chooseDriverKind(2, "CRW1232"), DriverKind::Raw);
    EXPECT_EQ(normaliseWritingMode(7), 0);
    EXPECT_EQ(normaliseWritingMode(-1), 0);
    EXPECT_EQ(chooseDriverKind(7, "CELERUS"), DriverKind::Raw);  // read as auto
    EXPECT_EQ(chooseDriverKind(0, ""), DriverKind::Mmc);
}

TEST(DriveDatabase, TablesHoldDistinctStringsWithoutPadding) {
    std::set<std::string_view> mmc(kMmcDriveModels.begin(), kMmcDriveModels.end());
    std::set<std::string_view> raw(kRawDriveModels.begin(), kRawDriveModels.end());
    EXPECT_EQ(mmc.size(), 741u);
    EXPECT_EQ(raw.size(), 237u);
    for (auto model : kMmcDriveModels) {
        ASSERT_FALSE(model.empty());
        EXPECT_NE(model.back(), ' ') << model;
    }
    // Only the two models named in both lists are shared.
    std::set<std::string_view> both;
    for (auto model : raw)
        if (mmc.count(model)) both.insert(model);
    EXPECT_EQ(both, (std::set<std::string_view>{"CDRW 4432", "CDRW-4420"}));
}

}  // namespace
}  // namespace tellavine
