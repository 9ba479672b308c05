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
    // Drives tell the user about themselves through `prompt` (Qt message boxes unless set).
    explicit EngineRecorders(std::shared_ptr<Prompt> prompt = nullptr);

    std::vector<RecorderDevice> devices() const override { return devices_; }
    bool selectRecorder(int index, int driverMode) override;
    bool hasDriver() const override { return session_ != nullptr; }
    std::optional<DiscState> discState() override;
    void openTray() override;
    void closeTray() override;
    bool runEraseDialog(QWidget* parent) override;
    std::shared_ptr<vcd::RecorderHooks> prepareBurn(const RecordingOptions& options) override;

private:
    std::vector<RecorderDevice> devices_;
    std::vector<std::string> paths_;  // device names, parallel to devices_
    std::unique_ptr<RecorderSession> session_;
    std::shared_ptr<Prompt> prompt_;
};

}  // namespace tellavine::ui
