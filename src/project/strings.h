#pragma once
// The built-in string table: every message the program shows has a number, and an
// optional text table file may replace the text of any number.

#include <string>

namespace tellavine {

enum StringId : int {
    // The photo viewer's button tooltips.
    IDS_VIEWER_ROTATE_CLOCKWISE = 117,
    IDS_VIEWER_ROTATE_COUNTER_CLOCKWISE = 119,
    IDS_CLOSE_DIALOG = 188,
    IDS_VIEW_PREVIOUS_PICTURE = 234,
    IDS_VIEW_NEXT_PICTURE = 235,

    IDS_CURRENT_SELECTION = 142,
    IDS_MINI_PLAYER = 221,

    IDS_MAX_ALBUMS = 300,
    IDS_DUPLICATE_ALBUM_NAME = 301,
    IDS_MAX_PHOTOS = 302,
    IDS_MP3_LENGTH_FAILED = 303,
    IDS_WAV_LENGTH_FAILED = 304,
    IDS_SAVE_MODIFIED = 305,
    IDS_LOG_OPEN_FAILED = 306,
    IDS_PROCESSING_ERROR = 307,
    IDS_PROJECT_FILE_FAILED = 308,  // "%s" is the reason
    IDS_INVALID_PROJECT = 309,
    IDS_VERSION_UNSUPPORTED = 310,
    IDS_INVALID_OLD_PROJECT = 311,
    IDS_PROJECT_INCOMPLETE = 312,
    IDS_PROJECT_OVER_LIMITS = 313,
    IDS_DECODE_ERROR = 314,  // "%s" is the reason
    IDS_NEW_IMAGE_FAILED = 315,

    // Button tooltips are numbered like the buttons' commands.
    IDS_NEW_SLIDESHOW = 34001,
    IDS_DELETE_SLIDESHOW = 34002,
    IDS_SLIDESHOW_PROPERTY = 34003,
    IDS_ADD_PICTURES = 35001,
    IDS_DELETE_PICTURES = 35002,
    IDS_ROTATE_CLOCKWISE = 35003,
    IDS_ROTATE_COUNTER_CLOCKWISE = 35004,
    IDS_VIEW_PICTURES = 35005,
    IDS_ALBUM_MUSIC = 35007,
};

// The built-in text of a number; empty for an unknown number.
const char* builtInString(int id);

// `text` with its first "%s" replaced by `value`. Table texts come from a file, so
// they are never used as printf formats.
std::string fillPlaceholder(const std::string& text, const std::string& value);

}  // namespace tellavine
