#include "recorder/emulated_transport.h"

#include <charconv>
#include <climits>
#include <string_view>

namespace tellavine {
namespace {

// The whole number after "name=" in one option, when the option is that name and the
// number lies in [least, most].
std::optional<int> numberOption(const std::string& option, std::string_view name, int least, int most) {
    if (option.size() <= name.size() || option.compare(0, name.size(), name) != 0) return std::nullopt;
    int value = 0;
    const char* first = option.data() + name.size();
    const char* last = option.data() + option.size();
    const auto parsed = std::from_chars(first, last, value);
    if (parsed.ec != std::errc{} || parsed.ptr != last || value < least || value > most) return std::nullopt;
    return value;
}

}  // namespace

std::optional<EmulatedDeviceName> parseEmulatedDeviceName(const std::string& name) {
    const std::string prefix = kEmulatedDevicePrefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    EmulatedDeviceName result;
    const std::string rest = name.substr(prefix.size());
    const auto question = rest.find('?');
    result.path = rest.substr(0, question);
    if (result.path.empty()) return std::nullopt;
    if (question == std::string::npos) return result;
    std::string options = rest.substr(question + 1);
    std::size_t start = 0;
    while (start <= options.size()) {
        const auto end = std::min(options.find('&', start), options.size());
        const std::string option = options.substr(start, end - start);
        if (option == "medium=cdrw") {
            result.options.mediumForNewDisc = EmulatedMedium::CdRw;
        } else if (option == "medium=cdr") {
            result.options.mediumForNewDisc = EmulatedMedium::CdR;
        } else if (option.rfind("busy=", 0) == 0) {
            const auto every = numberOption(option, "busy=", 1, INT_MAX);
            if (!every) return std::nullopt;
            result.options.busyEveryWrites = *every;
            result.options.busyAnswers = 1;
        } else if (option.rfind("capacity=", 0) == 0) {
            const auto sectors = numberOption(option, "capacity=", 1, EmulatedDisc::kLastLeadOutFrames - kPregapFrames);
            if (!sectors) return std::nullopt;
            result.options.lastLeadOutFrames = *sectors + kPregapFrames;
        } else if (option.rfind("failwrite=", 0) == 0) {
            const auto number = numberOption(option, "failwrite=", 1, INT_MAX);
            if (!number) return std::nullopt;
            result.options.failWriteNumber = *number;
        } else {
            return std::nullopt;
        }
        start = end + 1;
    }
    return result;
}

EmulatedTransport::EmulatedTransport(std::string discPath, EmulatedRecorderOptions options)
    : deviceName_(kEmulatedDevicePrefix + discPath), recorder_(std::move(discPath), std::move(options)) {}

bool EmulatedTransport::initialise(int index, bool writersOnly) {
    ScsiDeviceRecord record;
    record.devicePath = deviceName_;
    identify(record, [&](std::span<const std::uint8_t> cdb, std::span<std::uint8_t> in) { return execute(cdb, {}, in); });
    std::vector<ScsiDeviceRecord> devices;
    devices.push_back(std::move(record));
    setDiscovered(std::move(devices), index, writersOnly);
    return writersOnly ? writerCount() > 0 : true;
}

CommandResult EmulatedTransport::execute(std::span<const std::uint8_t> cdb, std::span<const std::uint8_t> dataOut,
                                         std::span<std::uint8_t> dataIn) {
    const EmulatedReply reply = recorder_.handle(cdb, dataOut, dataIn);
    if (reply.good) return CmdOk;
    saveSense(reply.sense);
    return CmdCheckCondition;
}

}  // namespace tellavine
