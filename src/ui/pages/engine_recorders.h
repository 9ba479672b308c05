#pragma once
// The recorder engine behind the desktop program: the machine's CD writers (through
// SG_IO) and, when TELLAVINE_EMULATED_RECORDER names a file, the emulated recorder that
// burns into that file, so burning can be tried without hardware.

#include "pipeline/recorder_session.h"
#include "ui/pages/recorder_access.h"

#include <memory>

namespace tellavine::ui {

class EngineRecorders : public RecorderAccess {
public:
    EngineRecorders();

    std::vector<RecorderDevice> devices() const override { return devices_; }
    bool selectRecorder(int index, int driverMode) override;
    bool hasDriver() const override { return session_ != nullptr; }
    std::optional<DiscState> discState() override;
    void openTray() override;
    void closeTray() override;
    bool runEraseDialog(QWidget* parent) override;
    void prepareBurn(const DiscOptions& options) override;

private:
    std::vector<RecorderDevice> devices_;
    std::vector<std::string> paths_;  // device names, parallel to devices_
    std::unique_ptr<RecorderSession> session_;
};

}  // namespace tellavine::ui
