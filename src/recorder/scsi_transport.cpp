#include "recorder/scsi_transport.h"

#include <algorithm>

namespace tellavine {

namespace scsi_identify {

namespace {
std::string textField(std::span<const std::uint8_t> data, std::size_t offset, std::size_t width) {
    std::string text;
    for (std::size_t i = offset; i < offset + width && i < data.size(); ++i) {
        if (data[i] == 0) break;
        text.push_back(static_cast<char>(data[i]));
    }
    return text;
}
}  // namespace

void takeInquiry(ScsiDeviceRecord& record, std::span<const std::uint8_t> inquiry) {
    record.vendor = textField(inquiry, 8, 8);
    record.product = textField(inquiry, 16, 16);
    record.revision = textField(inquiry, 32, 4);
}

std::array<std::uint8_t, 10> modeSenseCommand(std::uint8_t pageCode, std::size_t resultLength) {
    // The allocation length leaves 108 bytes for the header and a block descriptor.
    const auto allocation = static_cast<std::uint16_t>(std::min<std::size_t>(resultLength + 108, 0xFFFF));
    return {0x5A, 0x00, static_cast<std::uint8_t>(pageCode & 0x3F), 0x00, 0x00, 0x00, 0x00,
            static_cast<std::uint8_t>(allocation >> 8), static_cast<std::uint8_t>(allocation & 0xFF), 0x00};
}

std::vector<std::uint8_t> pageFromModeSense(std::span<const std::uint8_t> answer, std::size_t resultLength) {
    if (answer.size() < 8) return {};
    const std::size_t modeDataLength = (std::size_t{answer[0]} << 8) | answer[1];
    const std::size_t descriptorLength = (std::size_t{answer[6]} << 8) | answer[7];
    if (descriptorLength + 6 >= modeDataLength) return {};
    const std::size_t start = 8 + descriptorLength;
    if (start + 2 > answer.size()) return {};
    const std::size_t pageLength = std::size_t{answer[start + 1]} + 2;
    const std::size_t count = std::min({resultLength, pageLength, answer.size() - start});
    return {answer.begin() + static_cast<std::ptrdiff_t>(start),
            answer.begin() + static_cast<std::ptrdiff_t>(start + count)};
}

}  // namespace scsi_identify

const ScsiDeviceRecord* ScsiTransport::activeRecord(int index) const {
    const auto& list = writersOnly_ ? writers_ : devices_;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
    return &list[static_cast<std::size_t>(index)];
}

void ScsiTransport::setDiscovered(std::vector<ScsiDeviceRecord> devices, int index, bool writersOnly) {
    if (devices.size() > kMaxScsiDevices) devices.resize(kMaxScsiDevices);
    writers_.clear();
    for (const auto& record : devices)
        if (record.identified && record.isWriter) writers_.push_back(record);
    devices_ = std::move(devices);
    writersOnly_ = writersOnly;
    chooseIndex(index);
}

void ScsiTransport::chooseIndex(int index) {
    currentIndex_ = (index >= 0 && static_cast<std::size_t>(index) < activeCount()) ? index : 0;
}

void ScsiTransport::saveSense(std::span<const std::uint8_t> sense) {
    sense_.fill(0);
    std::copy_n(sense.begin(), std::min(sense.size(), sense_.size()), sense_.begin());
}

}  // namespace tellavine
