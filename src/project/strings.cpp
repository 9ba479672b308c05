#include "project/strings.h"

#include <map>

namespace tellavine {

const char* builtInString(int id) {
    static const std::map<int, const char*> table{
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

}  // namespace tellavine
