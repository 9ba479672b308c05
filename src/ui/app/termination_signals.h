#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in the terminal) close the
// program's windows as the Exit command does, so that the settings are written and a
// modified project is offered for saving, instead of the program vanishing.

namespace tellavine::ui {

// Call once, right after the QApplication exists. A signal that comes before the event
// loop runs is acted on as soon as it does.
void closeWindowsOnTerminationSignals();

}  // namespace tellavine::ui
