#include "project/strings.h"

#include <map>

namespace tellavine {

const char* builtInString(int id) {
    static const std::map<int, const char*> table{
        {IDS_VIEWER_ROTATE_CLOCKWISE, "Rotate 90 degrees clock-wise"},
        {IDS_VIEWER_ROTATE_COUNTER_CLOCKWISE, "Rotate 90 degrees counter clock-wise"},
        {IDS_CLOSE_DIALOG, "Close the dialog"},
        {IDS_VIEW_PREVIOUS_PICTURE, "View previous picture of current album."},
        {IDS_VIEW_NEXT_PICTURE, "View next picture of current album."},
        {IDS_CURRENT_SELECTION, "Current Selection"},
        {IDS_MINI_PLAYER, "Mini Player"},
        {IDS_MAX_ALBUMS, "The max. album number has been reached. Cannot add more albums."},
        {IDS_DUPLICATE_ALBUM_NAME,
         "An album with the name you specified already exists. Please specify a different name."},
        // The limit is 1980 photos; the text says so.
        {IDS_MAX_PHOTOS, "Max. 1980 photos for each album."},
        {IDS_MP3_LENGTH_FAILED, "Error while getting the length of the music file."},
        {IDS_WAV_LENGTH_FAILED, "Error while getting the length of the wav file."},
        {IDS_SAVE_MODIFIED, "Current project file has been modified.\nDo you want to save it?"},
        {IDS_LOG_OPEN_FAILED, "Error while open log file."},
        {IDS_PROCESSING_ERROR, "An error occurred while processing."},
        {IDS_PROJECT_FILE_FAILED, "Error while creating Project File! \nReason:%s"},
        {IDS_INVALID_PROJECT, "Invalid Tellavine project file."},
        {IDS_VERSION_UNSUPPORTED, "Version doesn't be supported."},
        {IDS_INVALID_OLD_PROJECT, "This is not a valid Tellavine project file."},
        {IDS_PROJECT_INCOMPLETE,
         "The project file is incomplete: it ends before all of its albums and photos.\n"
         "The complete part has been loaded; save it under a new name to keep it."},
        {IDS_PROJECT_OVER_LIMITS,
         "The project file holds more albums (max. 99) or photos (max. 1980 for each album) "
         "than a project can have.\nOnly the first ones have been loaded."},
        {IDS_DECODE_ERROR, "Error while decoding image :\n%s"},
        {IDS_NEW_IMAGE_FAILED, "Error while new image object."},
        {IDS_NEW_SLIDESHOW, "New SlideShow"},
        {IDS_DELETE_SLIDESHOW, "Delete SlideShow"},
        {IDS_SLIDESHOW_PROPERTY, "Slideshow Property"},
        {IDS_ADD_PICTURES, "Add Pictures to Current Slideshow"},
        {IDS_DELETE_PICTURES, "Delete Selected Pictures"},
        {IDS_ROTATE_CLOCKWISE, "Rotate 90 degrees clock-wise"},
        {IDS_ROTATE_COUNTER_CLOCKWISE, "Rotate 90 degrees counter clock-wise"},
        {IDS_VIEW_PICTURES, "View Pictures"},
        {IDS_ALBUM_MUSIC, "Album background music"},
    };
    const auto found = table.find(id);
    return found == table.end() ? "" : found->second;
}

std::string fillPlaceholder(const std::string& text, const std::string& value) {
    const auto at = text.find("%s");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + value + text.substr(at + 2);
}

}  // namespace tellavine
