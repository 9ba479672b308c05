#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in the terminal) close the main
// window as the Exit command does, so that the settings are written and a modified
// project is offered for saving, instead of the program vanishing.

class QWidget;

namespace tellavine::ui {

// Call once, after the main window exists; the signals then reach `window`'s close().
void closeOnTerminationSignals(QWidget* window);

}  // namespace tellavine::ui
