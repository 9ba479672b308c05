#include "ui/dialogs/album_properties_dialog.h"

#include "ui/controls/number_spin_edit.h"
#include "ui/controls/utf8_limit_validator.h"
#include "ui/dialogs/album_name_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tellavine::ui {

namespace {

// Exactly what the project keeps (in bytes of UTF-8), so that nothing typed or chosen is
// cut when it is stored, and opening the dialog and pressing OK never cuts a stored path.
constexpr int kMaxMusicPathLength = static_cast<int>(kMaxTextLength);

QString askForMusicFile(QWidget* parent, const QString& current) {
    // Linux file names keep their letter case, so both spellings of each extension.
    return QFileDialog::getOpenFileName(
        parent, QObject::tr("Open"), QFileInfo(current).absolutePath(),
        QObject::tr("Music Files (*.mp3 *.MP3 *.wav *.WAV);;MP3 (*.mp3 *.MP3);;Wave (*.wav *.WAV)"));
}

}  // namespace

AlbumPropertiesDialog::AlbumPropertiesDialog(const Project& project, int albumIndex, QWidget* parent)
    : QDialog(parent),
      project_(project),
      albumIndex_(albumIndex),
      nameEdit_(new QLineEdit(this)),
      playTimeEdit_(new NumberSpinEdit(0, kMaxPlayTimeSeconds, this)),
      musicEdit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("albumPropertiesDialog"));
    setWindowTitle(tr("Album Properties"));
    chooseMusicFile = [this](const QString& current) { return askForMusicFile(this, current); };

    const Album& album = project.album(albumIndex);
    nameEdit_->setObjectName(QStringLiteral("nameEdit"));
    nameEdit_->setMaxLength(static_cast<int>(kMaxTextLength));
    nameEdit_->setValidator(new Utf8LimitValidator(static_cast<int>(kMaxTextLength), nameEdit_));
    nameEdit_->setText(QString::fromStdString(album.name));
    playTimeEdit_->setObjectName(QStringLiteral("playTimeEdit"));
    playTimeEdit_->setNumber(album.playTime);
    playTimeEdit_->setFixedWidth(72);
    auto* photos = new QLineEdit(tr("Total Photos: %1").arg(album.slides.size()), this);
    photos->setObjectName(QStringLiteral("totalPhotos"));
    photos->setReadOnly(true);
    photos->setFrame(false);
    photos->setFocusPolicy(Qt::NoFocus);
    QPalette plain = photos->palette();
    plain.setColor(QPalette::Base, plain.color(QPalette::Window));
    photos->setPalette(plain);
    musicEdit_->setObjectName(QStringLiteral("musicEdit"));
    musicEdit_->setMaxLength(kMaxMusicPathLength);
    musicEdit_->setValidator(new Utf8LimitValidator(kMaxMusicPathLength, musicEdit_));
    musicEdit_->setText(QString::fromStdString(album.musicPath));
    musicEdit_->setMinimumWidth(300);
    auto* clearMusic = new QPushButton(tr("Clear Music"), this);
    clearMusic->setObjectName(QStringLiteral("clearMusic"));
    clearMusic->setAutoDefault(false);
    auto* browse = new QPushButton(tr("Browse..."), this);
    browse->setObjectName(QStringLiteral("browseMusic"));
    browse->setAutoDefault(false);
    connect(clearMusic, &QPushButton::clicked, musicEdit_, &QLineEdit::clear);
    connect(browse, &QPushButton::clicked, this, &AlbumPropertiesDialog::browseMusic);

    auto* albumBox = new QGroupBox(tr("Album"), this);
    auto* albumGrid = new QGridLayout(albumBox);
    albumGrid->addWidget(new QLabel(tr("Name:"), albumBox), 0, 0);
    albumGrid->addWidget(nameEdit_, 0, 1, 1, 3);
    albumGrid->addWidget(new QLabel(tr("Play time of each image:"), albumBox), 1, 0);
    albumGrid->addWidget(playTimeEdit_, 1, 1);
    albumGrid->addWidget(new QLabel(tr("seconds"), albumBox), 1, 2);
    albumGrid->setColumnStretch(3, 1);
    albumGrid->addWidget(photos, 2, 0, 1, 4);

    auto* musicBox = new QGroupBox(tr("Background Music"), this);
    auto* musicGrid = new QGridLayout(musicBox);
    musicGrid->addWidget(new QLabel(tr("Name:"), musicBox), 0, 0);
    musicGrid->addWidget(musicEdit_, 0, 1, 1, 3);
    musicGrid->addWidget(clearMusic, 1, 2);
    musicGrid->addWidget(browse, 1, 3);
    musicGrid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AlbumPropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlbumPropertiesDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(albumBox);
    layout->addWidget(musicBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    nameEdit_->setFocus();
}

QString AlbumPropertiesDialog::name() const {
    return nameEdit_->text();
}

int AlbumPropertiesDialog::playTime() const {
    return playTimeEdit_->number().value_or(0);
}

QString AlbumPropertiesDialog::musicPath() const {
    return musicEdit_->text();
}

void AlbumPropertiesDialog::browseMusic() {
    const QString chosen = chooseMusicFile(musicEdit_->text());
    if (chosen.isEmpty()) return;
    // A path the project cannot keep whole would be cut into one that names no file.
    if (!fitsUtf8Bytes(chosen, kMaxMusicPathLength)) {
        project_.services().showText(
            tr("The path of this music file is too long for a project (at most %1 bytes):\n%2")
                .arg(kMaxMusicPathLength)
                .arg(chosen)
                .toStdString());
        return;
    }
    musicEdit_->setText(chosen);
}

void AlbumPropertiesDialog::accept() {
    const auto seconds = playTimeEdit_->number();
    if (!seconds || *seconds < playTimeEdit_->minimum() || *seconds > playTimeEdit_->maximum()) {
        project_.services().showText(tr("Please enter an integer between %1 and %2.")
                                         .arg(playTimeEdit_->minimum())
                                         .arg(playTimeEdit_->maximum())
                                         .toStdString());
        playTimeEdit_->setFocus();
        playTimeEdit_->selectAll();
        return;
    }
    if (albumNameRefused(project_, name(), albumIndex_)) return;
    QDialog::accept();
}

}  // namespace tellavine::ui
