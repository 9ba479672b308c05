#include "recorder/recorder_devices.h"
#include "fake_sgio_system.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tellavine {
namespace {

using testing::FakeDevice;
using testing::FakeSgioSystem;
using testing::TempDir;

std::unique_ptr<FakeSgioSystem> fakeWith(std::map<int, FakeDevice> devices) {
    auto fake = std::make_unique<FakeSgioSystem>();
    fake->devices = std::move(devices);
    return fake;
}

TEST(RecorderDevices, EmulatedDeviceIsAWriterWithItsDriver) {
    TempDir dir;
    OpenedRecorder opened = openRecorder("emulated:" + dir.file("disc.bin") + "?medium=cdrw");
    ASSERT_TRUE(opened.transport) << opened.error;
    EXPECT_EQ(opened.transport->backendName(), "emulated");
    ASSERT_EQ(opened.transport->writerCount(), 1);
    EXPECT_EQ(deviceStatusText(opened.transport->writer(0)), "Device: TELLAVIN  EMULATED CD-RW  ");
    EXPECT_EQ(createDriver(0, *opened.transport)->name(), "MMC");
    EXPECT_EQ(createDriver(2, *opened.transport)->name(), "RAW");
    EXPECT_TRUE(createDriver(2, *opened.transport)->takesRawSectors());
    EXPECT_FALSE(openRecorder("emulated:" + dir.file("x") + "?speed=9").transport);
}

TEST(RecorderDevices, NamedDriveIsSelectedAndItsModelChoosesTheDriver) {
    OpenedRecorder opened =
        openRecorder("/dev/sr1", fakeWith({{0, {"CRW1232", true}}, {1, {"CELERUS", true}}}));
    ASSERT_TRUE(opened.transport) << opened.error;
    EXPECT_EQ(opened.transport->currentIndex(), 1);
    EXPECT_EQ(createDriver(0, *opened.transport)->name(), "RAW");
    EXPECT_EQ(createDriver(1, *opened.transport)->name(), "MMC");
    OpenedRecorder first = openRecorder("", fakeWith({{0, {"CRW1232", true}}, {1, {"CELERUS", true}}}));
    ASSERT_TRUE(first.transport);
    EXPECT_EQ(first.transport->currentIndex(), 0);
}

TEST(RecorderDevices, ClearReasonsWhenNoRecorderCanBeUsed) {
    EXPECT_EQ(openRecorder("", fakeWith({})).error, "No CD-Writer is Found");
    EXPECT_EQ(openRecorder("/dev/sr4", fakeWith({{0, {}}})).error, "/dev/sr4 is not a CD recorder of this machine.");
    FakeDevice locked;
    locked.readWriteError = EACCES;
    locked.readOnlyError = EACCES;
    locked.group = "cdrom";
    const OpenedRecorder denied = openRecorder("/dev/sr0", fakeWith({{0, locked}}));
    EXPECT_FALSE(denied.transport);
    EXPECT_NE(denied.error.find("group \"cdrom\""), std::string::npos) << denied.error;
    FakeDevice reader;
    reader.writer = false;
    EXPECT_EQ(openRecorder("/dev/sr0", fakeWith({{0, reader}})).error, "/dev/sr0 is not a CD recorder of this machine.");
}

}  // namespace
}  // namespace tellavine
