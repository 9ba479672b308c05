#include "recorder/drive_database.h"
#include "recorder/drive_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tellavine {
namespace {

struct LookupCase {
    const char* product;
    DriveClass expected;
};
void PrintTo(const LookupCase& c, std::ostream* out) { *out << '"' << c.product << '"'; }

class DriveLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(DriveLookup, FindsTheDriveClass) { EXPECT_EQ(lookupDriveClass(GetParam().product), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    DriveDatabase, DriveLookup,
    ::testing::Values(
        // Padding after the product name is ignored.
        LookupCase{"CRW1232         ", DriveClass::DriveClassMmc}, LookupCase{"CELERUS\t  ", DriveClass::DriveClassRaw},
        // A star is a literal character, not a wildcard.
        LookupCase{"CDD3600", DriveClass::DriveClassUnknown}, LookupCase{"CDD3600*", DriveClass::DriveClassRaw},
        // The MMC tables win over the raw table.
        LookupCase{"CDRW 4432", DriveClass::DriveClassMmc}, LookupCase{"CDRW-4420", DriveClass::DriveClassMmc},
        // Comparison is case-sensitive.
        LookupCase{"CD-RW CRX175A", DriveClass::DriveClassMmc}, LookupCase{"cd-rw crx175a", DriveClass::DriveClassUnknown},
        LookupCase{"CD-RW CRX175a", DriveClass::DriveClassUnknown}));

struct DriverCase {
    int writingMode;  // 0 auto, 1 MMC, 2 raw; anything else is read as auto
    const char* product;
    DriverKind expected;
};
void PrintTo(const DriverCase& c, std::ostream* out) { *out << c.writingMode << " \"" << c.product << '"'; }

class DriverChoice : public ::testing::TestWithParam<DriverCase> {};

TEST_P(DriverChoice, FollowsTheWritingModeThenTheLookup) {
    EXPECT_EQ(chooseDriverKind(GetParam().writingMode, GetParam().product), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    DriveDatabase, DriverChoice,
    ::testing::Values(DriverCase{0, "CRW1232         ", DriverKind::Mmc}, DriverCase{0, "CDD3600", DriverKind::Mmc},
                      // Raw-only models choose the raw driver in auto mode.
                      DriverCase{0, "CELERUS", DriverKind::Raw}, DriverCase{1, "CELERUS", DriverKind::Mmc},
                      DriverCase{0, "NO SUCH DRIVE", DriverKind::Mmc}, DriverCase{2, "NO SUCH DRIVE", DriverKind::Raw},
                      DriverCase{2, "CRW1232", DriverKind::Raw}, DriverCase{7, "CELERUS", DriverKind::Raw},
                      DriverCase{0, "", DriverKind::Mmc}));

TEST(DriveDatabase, WritingModesOutsideTheListAreAuto) {
    EXPECT_EQ(normaliseWritingMode(7), 0);
    EXPECT_EQ(normaliseWritingMode(-1), 0);
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
