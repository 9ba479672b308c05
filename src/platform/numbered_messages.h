#pragma once
// Every numbered message a worker thread posts (or sends) to the window that started it.
// The numbers and their parameters are the interface between threads and stay fixed;
// each is declared here once, whichever subsystem posts it.

namespace tellavine {

enum NumberedMessage : unsigned {
    // The build (build driver, disc assembly, slide stage).
    WM_MENU_ENCODE_BEGIN = 1124,
    WM_MENU_ENCODE_END = 1125,
    WM_BUILD_FAILED = 1126,
    WM_SLIDE_PROGRESS = 1127,  // wParam = photos done, lParam = photos in all

    // Erasing a rewritable disc (sent: the eraser waits for each to be shown).
    WM_ERASE_TICK = 1128,  // wParam = milliseconds since the erase began
    WM_ERASE_DONE = 1129,

    // The recorder feed and its driver.
    WM_RECORDER_WAIT = 1524,  // the drive is finishing the disc: "Please waiting..."
    WM_FLUSH_CACHE = 1525,    // "Flush cache..."
    WM_BURN_PREPARE = 3024,
    WM_BURN_START = 3025,
    WM_BURN_PROGRESS = 3026,  // wParam = sectors written, lParam = image sectors
    WM_BURN_FINISHING = 3027,
    WM_BURN_DONE = 3028,
    WM_BURN_ERROR = 3029,  // the message's text says what failed

    // The image sink, in image mode.
    WM_IMAGE_BEGIN = 4024,   // at setCueList
    WM_IMAGE_SECTOR = 4025,  // after each 2352-byte sector written
    WM_IMAGE_DONE = 4026,    // posted by writeImage after release

    // The mini player (posted to it by the pages and by its own sound output).
    WM_MINIPLAYER_BUFFER_DONE = 1634,  // wParam = the ring slot (1..10) that has been played
    WM_MINIPLAYER_VOLUME = 1724,       // wParam = percent 0..100
    WM_MINIPLAYER_PLAY = 1725,         // wParam = 1 show / 0 hide, lParam = length; text = path
    WM_MINIPLAYER_SEEK = 1726,         // wParam = seconds, lParam = 1 while dragging
    WM_MINIPLAYER_CLOSE = 1727,
    WM_MINIPLAYER_RECOLOR = 1728,
};

}  // namespace tellavine
