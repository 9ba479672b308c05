#include "recorder/sgio_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellavine {

namespace {

class LinuxSgioSystem final : public SgioSystem {
public:
    std::vector<std::string> cdDevicePaths() override {
        // sysfs lists every SCSI CD device as block/srN, also while no disc is inside.
        std::vector<int> numbers;
        DIR* dir = ::opendir("/sys/class/block");
        if (!dir) {
            // Without sysfs (some containers) the device nodes themselves are probed.
            for (int number = 0; number < 16; ++number)
                if (::access(("/dev/sr" + std::to_string(number)).c_str(), F_OK) == 0) numbers.push_back(number);
        }
        if (dir) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name.size() < 3 || name.compare(0, 2, "sr") != 0) continue;
                if (!std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
                    continue;
                numbers.push_back(std::atoi(name.c_str() + 2));
            }
            ::closedir(dir);
        }
        std::sort(numbers.begin(), numbers.end());
        std::vector<std::string> paths;
        for (int number : numbers) paths.push_back("/dev/sr" + std::to_string(number));
        return paths;
    }

    int openDevice(const std::string& path, bool readWrite) override {
        // O_NONBLOCK opens a drive with an open tray or without a disc, as burners need.
        const int fd = ::open(path.c_str(), (readWrite ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }

    void closeDevice(int fd) override { ::close(fd); }

    SgioReply sendCommand(int fd, const SgioRequest& request) override {
        sg_io_hdr_t header{};
        header.interface_id = 'S';
        header.cmdp = const_cast<unsigned char*>(request.cdb.data());
        header.cmd_len = static_cast<unsigned char>(request.cdb.size());
        switch (request.direction) {
            case SgioRequest::Direction::None: header.dxfer_direction = SG_DXFER_NONE; break;
            case SgioRequest::Direction::ToDevice: header.dxfer_direction = SG_DXFER_TO_DEV; break;
            case SgioRequest::Direction::FromDevice: header.dxfer_direction = SG_DXFER_FROM_DEV; break;
        }
        header.dxferp = request.data;
        header.dxfer_len = static_cast<unsigned>(request.dataLength);
        header.sbp = request.senseBuffer.data();
        header.mx_sb_len = static_cast<unsigned char>(std::min<std::size_t>(request.senseBuffer.size(), 255));
        header.timeout = request.timeoutMs;
        SgioReply reply;
        if (::ioctl(fd, SG_IO, &header) < 0) {
            reply.error = errno;
            return reply;
        }
        reply.scsiStatus = header.status;
        reply.hostStatus = header.host_status;
        reply.driverStatus = header.driver_status;
        reply.senseWritten = header.sb_len_wr;
        return reply;
    }

    std::string owningGroup(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return {};
        const group* entry = ::getgrgid(info.st_gid);
        return entry ? entry->gr_name : std::string{};
    }
};

}  // namespace

std::unique_ptr<SgioSystem> makeLinuxSgioSystem() { return std::make_unique<LinuxSgioSystem>(); }

}  // namespace tellavine
