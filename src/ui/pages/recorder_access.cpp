#include "ui/pages/recorder_access.h"

#include "platform/text.h"

namespace tellavine::ui {

std::string RecorderDevice::listText() const {
    return formatText("%s%s%s", vendor.c_str(), product.c_str(),
                      formatText("(%d:%d:%d)", hostAdapter, target, lun).c_str());
}

std::string RecorderDevice::paneText() const {
    return formatText("Device: %s  %s", vendor.c_str(), product.c_str());
}

}  // namespace tellavine::ui
