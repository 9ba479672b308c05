#pragma once
// "Album Properties": an album's name, the play time of each photo (0..120 seconds),
// its photo count and its background music. The dialog changes nothing: the caller
// stores what OK returns with Project::setAlbumProperties.

#include "project/model.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace tellavine::ui {

class NumberSpinEdit;

class AlbumPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    AlbumPropertiesDialog(const Project& project, int albumIndex, QWidget* parent = nullptr);

    // What OK accepted.
    QString name() const;
    int playTime() const;
    QString musicPath() const;

    QLineEdit* nameEdit() const { return nameEdit_; }
    NumberSpinEdit* playTimeEdit() const { return playTimeEdit_; }
    QLineEdit* musicEdit() const { return musicEdit_; }

    // "Browse...": asks for a music file starting from `current`; replaced in tests.
    // An empty result means Cancel.
    std::function<QString(const QString& current)> chooseMusicFile;

    void accept() override;

private:
    void browseMusic();

    const Project& project_;
    int albumIndex_;
    QLineEdit* nameEdit_;
    NumberSpinEdit* playTimeEdit_;
    QLineEdit* musicEdit_;
};

}  // namespace tellavine::ui
