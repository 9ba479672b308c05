#pragma once
// Message boxes and dialog texts through the string table, and the run log.
//
// Threads: every function may be called from any thread. The run log opens and closes
// its file for each entry; the configuration below is guarded by one lock.

#include "platform/prompt.h"

#include <string>
#include <utility>
#include <vector>

namespace tellavine {

// --- run log ------------------------------------------------------------------------
// Where the log goes and whether it is written (setting "bLogFile"); set at start-up.
void configureRunLog(const std::string& logFilePath, bool enabled);
// Appends "\n<text>" to the log when logging is on. When the file cannot be opened,
// shows "Error while open log file." and writes nothing.
void appendRunLog(const std::string& text);

// --- message boxes --------------------------------------------------------------------
PromptAnswer showMessage(int stringId, PromptButtons buttons = PromptButtons::Ok);
PromptAnswer showText(const std::string& text, PromptButtons buttons = PromptButtons::Ok);
// The text table's "STRINGS" entry when there is one, else the built-in text.
PromptAnswer showTableMessage(int stringId, PromptButtons buttons = PromptButtons::Ok);
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
