// The dialogs the album editor opens, behind its replaceable hooks.
#include "ui/pages/page_editor.h"

#include "ui/dialogs/add_text_dialog.h"
#include "ui/dialogs/album_name_dialog.h"
#include "ui/dialogs/album_properties_dialog.h"
#include "ui/dialogs/photo_viewer_dialog.h"
#include "ui/pages/editor_file_browser.h"
#include "ui/pages/picture_files.h"

#include <QFileDialog>

namespace tellavine::ui {

void CPageEditor::installDialogs() {
    askAlbumName = [this](const QString& proposed, int excludedAlbum) -> std::optional<QString> {
        AlbumNameDialog dialog(project_, proposed, excludedAlbum, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.name();
    };
    askAlbumProperties = [this](int album) -> std::optional<AlbumPropertiesChoice> {
        AlbumPropertiesDialog dialog(project_, album, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return AlbumPropertiesChoice{dialog.name(), dialog.playTime(), dialog.musicPath()};
    };
    chooseMusicFile = [this](const QString& current) {
        return QFileDialog::getOpenFileName(this, tr("Set Background Music"), current,
                                            tr("Music Files(*.mp3 *.wav);;MP3 (*.mp3);;Wave(*.wav)"));
    };
    choosePictureFiles = [this] {
        return QFileDialog::getOpenFileNames(this, tr("Add Pictures"), fileBrowser()->folder(), addPicturesFilter());
    };
    editCaption = [this](const SlideCaption& caption) -> std::optional<SlideCaption> {
        AddTextDialog dialog(caption, this);
        dialog.setServices(services_.engine);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.caption();
    };
    viewSlide = [this](int album, int slide) {
        PhotoViewerDialog viewer(project_, album, slide, this);
        viewer.exec();
    };
    viewFile = [this](const QString& path) {
        PhotoViewerDialog viewer(path, this);
        viewer.exec();
    };
}

}  // namespace tellavine::ui
