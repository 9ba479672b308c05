#pragma once
// "Album Name": one edit with the name of a new or renamed album. OK is refused while
// another album has the name (letter case ignored); the album being renamed is skipped,
// so its own name, in any letter case, is accepted.

#include "project/model.h"

#include <QDialog>

class QLineEdit;

namespace tellavine::ui {

// True (after "An album with the name you specified already exists. ..." was shown
// through the project's prompt) when an album other than `excludedAlbum` has `name`
// as the project would store it.
bool albumNameRefused(const Project& project, const QString& name, int excludedAlbum);

class AlbumNameDialog : public QDialog {
    Q_OBJECT
public:
    // `excludedAlbum`: the album being renamed, -1 for a new album.
    AlbumNameDialog(const Project& project, const QString& name, int excludedAlbum, QWidget* parent = nullptr);

    // The entered name, after exec() returned Accepted.
    QString name() const;
    QLineEdit* nameEdit() const { return nameEdit_; }

    void accept() override;

private:
    const Project& project_;
    int excludedAlbum_;
    QLineEdit* nameEdit_;
};

}  // namespace tellavine::ui
