#include "recorder/sgio_transport.h"
#include "fake_sgio_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace tellavine {
namespace {

using testing::FakeDevice;
using testing::FakeSgioSystem;

struct Fixture {
    FakeSgioSystem* fake;
    std::unique_ptr<SgioTransport> transport;
};

Fixture makeTransport(std::map<int, FakeDevice> devices) {
    auto fake = std::make_unique<FakeSgioSystem>();
    fake->devices = std::move(devices);
    FakeSgioSystem* raw = fake.get();
    return {raw, std::make_unique<SgioTransport>(std::move(fake))};
}

TEST(SgioTransport, MachineWithoutCdDevicesListsNoRecorders) {
    auto [fake, transport] = makeTransport({});
    EXPECT_FALSE(transport->initialise(0, true));
    EXPECT_EQ(transport->writerCount(), 0);
    EXPECT_EQ(transport->currentDevice(), nullptr);
    const std::uint8_t tur[6] = {};
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdFailed);
    EXPECT_EQ(transport->lastError(), "No CD recorder is selected.");
}

TEST(SgioTransport, RealSystemOnThisMachineFailsCleanly) {
    // Whatever drives this machine has, discovery must end without a crash and leave no
    // handle open; without /dev/sr* nothing is listed.
    SgioTransport transport;
    const bool found = transport.initialise(0, true);
    EXPECT_FALSE(transport.deviceOpen());
    if (::access("/dev/sr0", F_OK) != 0) {
        EXPECT_FALSE(found);
        EXPECT_TRUE(transport.devices().empty());
    }
}

TEST(SgioTransport, RealIoctlOnANonScsiFileIsAFailedCommand) {
    auto system = makeLinuxSgioSystem();
    const int fd = system->openDevice("/dev/null", false);
    ASSERT_GE(fd, 0);
    const std::uint8_t tur[6] = {};
    std::array<std::uint8_t, 32> sense{};
    SgioRequest request;
    request.cdb = tur;
    request.senseBuffer = sense;
    request.timeoutMs = 1000;
    const SgioReply reply = system->sendCommand(fd, request);
    EXPECT_NE(reply.error, 0);
    system->closeDevice(fd);
    EXPECT_LT(system->openDevice("/nonexistent/sr9", true), 0);
}

TEST(SgioTransport, DiscoveryIdentifiesWritersAndClosesEveryHandle) {
    auto [fake, transport] = makeTransport({{0, {"READER ONLY", false}}, {1, {"CRW1232", true}}, {2, {"CDRW 4432", true}}});
    ASSERT_TRUE(transport->initialise(1, true));
    EXPECT_EQ(transport->devices().size(), 3u);
    ASSERT_EQ(transport->writerCount(), 2);
    EXPECT_EQ(transport->writer(0).product, "CRW1232         ");
    EXPECT_EQ(transport->writer(0).devicePath, "/dev/sr1");
    EXPECT_EQ(transport->currentIndex(), 1);
    EXPECT_TRUE(fake->openFds.empty());
    EXPECT_FALSE(transport->deviceOpen());
    // INQUIRY as a 6-byte block for 100 bytes, then MODE SENSE(10) 2Ah for 32 + 108 bytes.
    ASSERT_GE(fake->sent.size(), 2u);
    EXPECT_EQ(fake->sent[0].cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x64, 0}));
    EXPECT_EQ(fake->sent[0].length, 100u);
    EXPECT_EQ(fake->sent[1].cdb, (std::vector<std::uint8_t>{0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 140, 0}));
    EXPECT_EQ(fake->sent[1].timeoutMs, SgioTransport::kCommandTimeoutMs);
}

TEST(SgioTransport, OutOfRangeIndexSelectsTheFirstWriter) {
    auto [fake, transport] = makeTransport({{0, {}}, {1, {}}, {2, {}}});
    ASSERT_TRUE(transport->initialise(5, true));
    EXPECT_EQ(transport->currentIndex(), 0);
}

TEST(SgioTransport, AtMostSixteenDevicesAreRecorded) {
    std::map<int, FakeDevice> many;
    for (int i = 0; i < 20; ++i) many[i] = FakeDevice{};
    auto [fake, transport] = makeTransport(many);
    ASSERT_TRUE(transport->initialise(0, true));
    EXPECT_EQ(transport->devices().size(), 16u);
    EXPECT_EQ(transport->writerCount(), 16);
}

TEST(SgioTransport, PermissionProblemNamesTheOwningGroup) {
    FakeDevice locked;
    locked.readWriteError = EACCES;
    locked.readOnlyError = EACCES;
    locked.group = "cdrom";
    auto [fake, transport] = makeTransport({{0, locked}});
    EXPECT_FALSE(transport->initialise(0, true));
    ASSERT_EQ(transport->devices().size(), 1u);
    const std::string& why = transport->devices()[0].openError;
    EXPECT_NE(why.find("/dev/sr0"), std::string::npos) << why;
    EXPECT_NE(why.find("Permission denied"), std::string::npos) << why;
    EXPECT_NE(why.find("group \"cdrom\""), std::string::npos) << why;
    EXPECT_EQ(fake->opens, (std::vector<std::string>{"/dev/sr0 rw", "/dev/sr0 ro"}));
}

TEST(SgioTransport, ReadOnlyOpenIsTheFallback) {
    FakeDevice readOnly;
    readOnly.readWriteError = EROFS;
    auto [fake, transport] = makeTransport({{0, readOnly}});
    ASSERT_TRUE(transport->initialise(0, true));
    EXPECT_TRUE(transport->select(0));
    EXPECT_TRUE(transport->deviceOpen());
}

TEST(SgioTransport, CheckConditionSavesFourteenSenseBytes) {
    auto [fake, transport] = makeTransport({{0, {}}});
    ASSERT_TRUE(transport->initialise(0, true));
    fake->nextReply.scsiStatus = 2;
    fake->nextReply.senseWritten = 18;
    fake->scriptedSense.assign(18, 0xEE);
    fake->scriptedSense[2] = 0x02;
    const std::uint8_t tur[6] = {};
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdCheckCondition);
    const SenseBytes sense = transport->senseData();
    EXPECT_EQ(sense[2], 0x02);
    EXPECT_EQ(sense[13], 0xEE);
    EXPECT_EQ(sense[14], 0x00);
    EXPECT_EQ(sense[15], 0x00);
}

TEST(SgioTransport, StatusesMapToTheThreeResults) {
    auto [fake, transport] = makeTransport({{0, {}}});
    ASSERT_TRUE(transport->initialise(0, true));
    const std::uint8_t tur[6] = {};
    fake->nextReply = {};
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdOk);
    fake->nextReply.scsiStatus = 0x18;  // reservation conflict
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdFailed);
    EXPECT_EQ(transport->failureText(), "The drive answered with status 18h.");
    fake->nextReply = {};
    fake->nextReply.error = EIO;
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdFailed);
    EXPECT_EQ(transport->failureText(), "The command could not be sent to the drive: " + std::string(std::strerror(EIO)) + ".");
    fake->nextReply = {};
    fake->nextReply.hostStatus = 0x03;  // time-out in the adapter
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdFailed);
    EXPECT_EQ(transport->failureText(), "The drive did not answer (host status 03h).");
}

TEST(SgioTransport, DataDirectionAndLengthsFollowTheBuffers) {
    auto [fake, transport] = makeTransport({{0, {}}});
    ASSERT_TRUE(transport->initialise(0, true));
    fake->sent.clear();
    const std::uint8_t blank[12] = {0xA1, 0x11};
    EXPECT_EQ(transport->execute(blank, {}, {}), CmdOk);
    std::vector<std::uint8_t> out(2336 * 10, 0);
    const std::uint8_t write[10] = {0x2A};
    EXPECT_EQ(transport->execute(write, out, {}), CmdOk);
    std::array<std::uint8_t, 34> in{};
    const std::uint8_t info[10] = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x22, 0};
    EXPECT_EQ(transport->execute(info, {}, in), CmdOk);
    ASSERT_EQ(fake->sent.size(), 3u);
    EXPECT_EQ(fake->sent[0].cdb.size(), 12u);
    EXPECT_EQ(fake->sent[0].direction, SgioRequest::Direction::None);
    EXPECT_EQ(fake->sent[1].direction, SgioRequest::Direction::ToDevice);
    EXPECT_EQ(fake->sent[1].length, 23360u);
    EXPECT_EQ(fake->sent[2].direction, SgioRequest::Direction::FromDevice);
    EXPECT_EQ(fake->sent[2].length, 34u);
}

TEST(SgioTransport, ClosedDeviceIsReopenedByTheNextCommand) {
    auto [fake, transport] = makeTransport({{0, {}}});
    ASSERT_TRUE(transport->initialise(0, true));
    const std::uint8_t tur[6] = {};
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdOk);
    const int first = fake->sent.back().fd;
    transport->closeDevice();
    EXPECT_FALSE(transport->deviceOpen());
    EXPECT_TRUE(fake->openFds.empty());
    EXPECT_EQ(transport->execute(tur, {}, {}), CmdOk);
    EXPECT_NE(fake->sent.back().fd, first);
    EXPECT_TRUE(transport->deviceOpen());
}

TEST(SgioTransport, FailedSelectKeepsThePreviousDevice) {
    auto [fake, transport] = makeTransport({{0, {}}, {1, {}}});
    ASSERT_TRUE(transport->initialise(0, true));
    ASSERT_TRUE(transport->select(0));
    fake->devices[1].readWriteError = EBUSY;
    fake->devices[1].readOnlyError = EBUSY;
    EXPECT_FALSE(transport->select(1));
    EXPECT_EQ(transport->currentIndex(), 0);
    EXPECT_TRUE(transport->deviceOpen());
    EXPECT_NE(transport->lastError().find("Another program"), std::string::npos);
    EXPECT_FALSE(transport->select(7));
}

}  // namespace
}  // namespace tellavine
