#include "ui/pages/recorder_access.h"

#include "platform/text.h"
#include "project/text_catalog.h"

namespace tellavine::ui {

namespace {

// Inquiry data pads vendor and product with spaces.
std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string RecorderDevice::listText() const {
    return formatText("%s %s (%d:%d:%d)", trimmed(vendor).c_str(), trimmed(product).c_str(), hostAdapter, target,
                      lun);
}

std::string RecorderDevice::paneText() const {
    return fillArguments(translated("Device: %1  %2"), {trimmed(vendor), trimmed(product)});
}

}  // namespace tellavine::ui
