#pragma once
// The album editor's pictures, drawn in code: the faces of its page buttons, the music
// note of the album rows and the placeholder shown until a thumbnail is ready.

#include <QPixmap>

namespace tellavine::ui {

enum class EditorArtwork {
    NewAlbum,
    DeleteAlbum,
    AlbumProperties,
    AddPictures,
    DeletePictures,
    RotateClockwise,
    RotateCounterClockwise,
    ViewPicture,
    AlbumMusic,
};

// A button face of `size` x `size` pixels.
QPixmap drawEditorButtonFace(EditorArtwork picture, int size);
QPixmap drawMusicNote(int size);
// A grey framed picture sign of `width` x `height`.
QPixmap drawThumbnailPlaceholder(int width, int height);

}  // namespace tellavine::ui
