#pragma once
// Numbered messages of the recorder engine, posted (or, for erasing, sent) to a
// MessageTarget. The numbers are part of the interface between threads. They live in
// their own namespace so that a progress display may declare the same names.

namespace tellavine::recorder {

enum RecorderMessage : unsigned {
    WM_ERASE_TICK = 1128,     // wParam = milliseconds since the erase began (sent)
    WM_ERASE_DONE = 1129,     // (sent)
    WM_RECORDER_WAIT = 1524,  // the drive is finishing the disc: "Please waiting..."
    WM_FLUSH_CACHE = 1525,    // "Flush cache..."
    WM_BURN_PREPARE = 3024,
    WM_BURN_START = 3025,
    WM_BURN_PROGRESS = 3026,   // wParam = sectors written, lParam = image sectors
    WM_BURN_FINISHING = 3027,
    WM_BURN_DONE = 3028,
    WM_BURN_ERROR = 3029,      // wParam = the error text, see takeBurnErrorText()
};

}  // namespace tellavine::recorder
