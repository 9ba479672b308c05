#pragma once
// Message boxes and dialog texts through the string table, and the run log.
//
// The engine has no process-wide prompt or log: a front end hands its EngineServices to
// what it calls (a build through its BuildJob, the project model through the Project),
// so two builds in one process each talk to their own window and log.
//
// Threads: every function may be called from any thread. The run log opens and closes
// its file for each entry.

#include "platform/prompt.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tellavine {

// --- run log ------------------------------------------------------------------------
// The run log "orx_log.txt": where it goes and whether it is written (setting "bLogFile").
class RunLog {
public:
    RunLog() = default;  // writes nothing
    RunLog(std::string logFilePath, bool enabled) : path_(std::move(logFilePath)), enabled_(enabled) {}
    // Appends "\n<text>" when logging is on; false when the file cannot be opened.
    bool append(const std::string& text) const;

private:
    std::string path_;
    bool enabled_ = false;
};

// --- the services a front end gives the engine ---------------------------------------
struct EngineServices {
    std::shared_ptr<Prompt> prompt = std::make_shared<ConsolePrompt>();
    std::shared_ptr<const RunLog> runLog = std::make_shared<RunLog>();

    PromptAnswer showText(const std::string& text, PromptButtons buttons = PromptButtons::Ok) const;
    PromptAnswer showMessage(int stringId, PromptButtons buttons = PromptButtons::Ok) const;
    // The text table's "STRINGS" entry when there is one, else the built-in text.
    PromptAnswer showTableMessage(int stringId, PromptButtons buttons = PromptButtons::Ok) const;
    // Appends to the run log; when the file cannot be opened, shows "Error while open log
    // file." and writes nothing.
    void log(const std::string& text) const;
};

// --- message texts --------------------------------------------------------------------
std::string tableText(int stringId);

// --- UI text table ----------------------------------------------------------------------
// Path of the optional text table file; empty (the default) means built-in texts only.
void setTextTablePath(const std::string& path);

// A dialog's texts from the table section named after it: the window title (key
// "Title") and the text of each control by its decimal id. Only the entries the table
// has are returned; `controlIds` lists the dialog's controls.
struct DialogTexts {
    std::string title;  // empty when the table has none
    std::vector<std::pair<int, std::string>> controls;
};
DialogTexts applyDialogTexts(const std::string& section, const std::vector<int>& controlIds);

}  // namespace tellavine
