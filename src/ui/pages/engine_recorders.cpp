#include "ui/pages/engine_recorders.h"

#include "recorder/disc_utilities.h"
#include "recorder/sgio_transport.h"
#include "ui/app/qt_prompt.h"
#include "ui/dialogs/erase_dialog.h"

#include <cstdlib>

namespace tellavine::ui {

EngineRecorders::EngineRecorders(std::shared_ptr<Prompt> prompt)
    : prompt_(prompt ? std::move(prompt) : std::make_shared<QtPrompt>()) {
    SgioTransport transport;
    transport.initialise(0, true);
    for (int i = 0; i < transport.writerCount(); ++i) {
        const ScsiDeviceRecord& record = transport.writer(i);
        devices_.push_back({record.vendor, record.product, record.hostAdapter, record.target, record.lun});
        paths_.push_back(record.devicePath);
    }
    if (const char* emulated = std::getenv("TELLAVINE_EMULATED_RECORDER"); emulated && *emulated) {
        devices_.push_back({"TELLAVIN", "EMULATED CD-RW ", 0, static_cast<int>(devices_.size()), 0});
        paths_.push_back(std::string("emulated:") + emulated);
    }
}

bool EngineRecorders::selectRecorder(int index, int driverMode) {
    session_.reset();
    if (index < 0 || index >= static_cast<int>(paths_.size())) return false;
    std::string error;
    session_ = RecorderSession::open(paths_[static_cast<std::size_t>(index)], driverMode, error, prompt_);
    return session_ != nullptr;
}

std::optional<DiscState> EngineRecorders::discState() {
    if (!session_) return std::nullopt;
    DiscState state;
    std::int64_t freeSectors = 0;
    if (!session_->driver().readDiscStatus(state.blank, freeSectors)) return std::nullopt;
    state.freeSectors = freeSectors;
    return state;
}

void EngineRecorders::openTray() {
    if (session_) session_->driver().loadOrEject(true);
}

void EngineRecorders::closeTray() {
    if (session_) session_->driver().loadOrEject(false);
}

bool EngineRecorders::runEraseDialog(QWidget* parent) {
    if (!session_) return false;
    EraseDialog dialog(session_->driver(), prompt_, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::shared_ptr<vcd::RecorderHooks> EngineRecorders::prepareBurn(const RecordingOptions& options) {
    if (!session_) return nullptr;
    return session_->prepareBurn(options);
}

}  // namespace tellavine::ui
