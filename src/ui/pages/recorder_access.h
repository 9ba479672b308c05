#pragma once
// What the desktop program needs from the recorder engine: the list of CD writers,
// the driver for the chosen one, the disc check before recording and the tray and
// erase actions. The program talks to recorders only through this interface, so a
// machine without writers (or without the recorder engine) still builds images.

#include "project/model.h"
#include "recorder/recording_options.h"
#include "vcd/recorder_hooks.h"

#include <memory>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace tellavine::ui {

struct RecorderDevice {
    std::string vendor;
    std::string product;
    int hostAdapter = 0;
    int target = 0;
    int lun = 0;

    // The recorder list's text: "VENDOR PRODUCT (host:target:lun)", inquiry padding trimmed.
    std::string listText() const;
    // The status bar's device pane: "Device: <vendor>  <product>".
    std::string paneText() const;
};

struct DiscState {
    bool blank = false;
    long long freeSectors = 0;
};

class RecorderAccess {
public:
    virtual ~RecorderAccess() = default;

    virtual std::vector<RecorderDevice> devices() const = 0;
    // Makes the driver object for recorder `index` in writing mode `driverMode`
    // (0 automatic, 1 MMC, 2 MMC raw). False when there is no such recorder.
    virtual bool selectRecorder(int index, int driverMode) = 0;
    virtual bool hasDriver() const = 0;
    // Whether a disc is in, blank, and its free sectors; nothing when the drive
    // cannot tell (no disc, not ready).
    virtual std::optional<DiscState> discState() = 0;
    virtual void openTray() = 0;
    virtual void closeTray() = 0;
    // Runs the erase dialog for the chosen recorder; true when the disc was erased.
    virtual bool runEraseDialog(QWidget* parent) = 0;
    // Sets the chosen recorder up for the next build; the hooks are that build's
    // destination (nothing when there is no recorder).
    virtual std::shared_ptr<vcd::RecorderHooks> prepareBurn(const RecordingOptions& options) {
        (void)options;
        return nullptr;
    }
};

// The stand-in while no recorder engine is present: no writers; builds go to images.
class NoRecorders : public RecorderAccess {
public:
    std::vector<RecorderDevice> devices() const override { return {}; }
    bool selectRecorder(int, int) override { return false; }
    bool hasDriver() const override { return false; }
    std::optional<DiscState> discState() override { return std::nullopt; }
    void openTray() override {}
    void closeTray() override {}
    bool runEraseDialog(QWidget*) override { return false; }
};

}  // namespace tellavine::ui
