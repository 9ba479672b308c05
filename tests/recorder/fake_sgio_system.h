#pragma once
// A stand-in for sysfs, open(2) and ioctl(SG_IO): CD devices with a product name, a
// writer bit, open errors and an owning group. Answers INQUIRY and MODE SENSE 2Ah like a
// drive and any other command as scripted in nextReply / scriptedSense.

#include "recorder/sgio_system.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace tellavine::testing {

struct FakeDevice {
    std::string product = "FAKE WRITER";
    bool writer = true;
    int readWriteError = 0;  // errno for a read-write open
    int readOnlyError = 0;
    std::string group = "cdrom";
};

struct SentCommand {
    std::vector<std::uint8_t> cdb;
    SgioRequest::Direction direction;
    std::size_t length;
    unsigned timeoutMs;
    int fd;
};

class FakeSgioSystem : public SgioSystem {
public:
    std::vector<std::string> cdDevicePaths() override {
        std::vector<std::string> paths;
        for (const auto& [number, device] : devices) paths.push_back("/dev/sr" + std::to_string(number));
        return paths;
    }
    int openDevice(const std::string& path, bool readWrite) override {
        opens.push_back(path + (readWrite ? " rw" : " ro"));
        const FakeDevice& device = devices.at(std::stoi(path.substr(7)));
        const int error = readWrite ? device.readWriteError : device.readOnlyError;
        if (error) return -error;
        const int fd = nextFd++;
        openFds[fd] = std::stoi(path.substr(7));
        return fd;
    }
    void closeDevice(int fd) override {
        closes.push_back(fd);
        openFds.erase(fd);
    }
    SgioReply sendCommand(int fd, const SgioRequest& request) override {
        sent.push_back({{request.cdb.begin(), request.cdb.end()}, request.direction, request.dataLength,
                        request.timeoutMs, fd});
        const FakeDevice& device = devices.at(openFds.at(fd));
        if (request.cdb[0] == 0x12) {
            std::fill(request.data, request.data + request.dataLength, 0);
            for (std::size_t i = 0; i < 16; ++i)
                request.data[16 + i] = i < device.product.size() ? static_cast<std::uint8_t>(device.product[i]) : ' ';
            return {};
        }
        if (request.cdb[0] == 0x5A && request.cdb[2] == 0x2A) {
            std::fill(request.data, request.data + request.dataLength, 0);
            request.data[1] = 6 + 22;  // mode data length
            request.data[8] = 0x2A;
            request.data[9] = 0x14;
            request.data[8 + 3] = device.writer ? 0x01 : 0x00;
            return {};
        }
        SgioReply reply = nextReply;
        for (std::size_t i = 0; i < request.senseBuffer.size() && i < scriptedSense.size(); ++i)
            request.senseBuffer[i] = scriptedSense[i];
        return reply;
    }
    std::string owningGroup(const std::string& path) override { return devices.at(std::stoi(path.substr(7))).group; }

    std::map<int, FakeDevice> devices;
    std::vector<std::string> opens;
    std::vector<int> closes;
    std::vector<SentCommand> sent;
    std::map<int, int> openFds;
    int nextFd = 10;
    SgioReply nextReply;
    std::vector<std::uint8_t> scriptedSense;
};

}  // namespace tellavine::testing
