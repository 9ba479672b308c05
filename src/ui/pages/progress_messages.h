#pragma once
// What the progress window shows for each numbered message of a build: the status
// line, the bar's position and text, and whether the build is over. Qt-free, so the
// rules are checked without a window.

#include "platform/message_target.h"
#include "project/build_job.h"
#include "vcd/image_sink.h"

#include <string>

namespace tellavine::ui {

// The image sink's messages (WM_IMAGE_BEGIN, WM_IMAGE_SECTOR, WM_IMAGE_DONE).
using vcd::WM_IMAGE_BEGIN;
using vcd::WM_IMAGE_DONE;
using vcd::WM_IMAGE_SECTOR;

// The recorder engine's messages that reach the progress window, with the numbers the
// recorder feed and drivers post.
enum ProgressMessage : unsigned {
    WM_RECORDER_WAIT = 1524,
    WM_FLUSH_CACHE = 1525,
    WM_BURN_PREPARE = 3024,
    WM_BURN_START = 3025,
    WM_BURN_PROGRESS = 3026,   // wParam = sectors written, lParam = sectors in all
    WM_BURN_FINISHING = 3027,
    WM_BURN_DONE = 3028,
    WM_BURN_ERROR = 3029,      // wParam = a new[]-allocated text the receiver frees
};

// Takes WM_BURN_ERROR's text out of its buffer and frees the buffer; the receiver
// calls it on the posting thread. False for every other message.
bool takeProgressMessageText(unsigned message, MessageParam wParam, std::string& text);

struct ProgressView {
    std::string status = "Writing data...";
    int position = 0;
    std::string barText;
    bool barVisible = true;
    bool done = false;
    std::string buttonText = "Cancel";
    int imageSectorCount = 0;  // WM_IMAGE_SECTOR messages seen so far
};

struct ProgressContext {
    bool simulate = false;
    std::string cuePath;
    int imageSectors = 0;  // the job's image size, 0 until laid out
};

// Applies one message; false when the message is not one of the window's.
bool applyProgressMessage(ProgressView& view, unsigned message, MessageParam wParam, MessageParam lParam,
                          const std::string& text, const ProgressContext& context);

}  // namespace tellavine::ui
