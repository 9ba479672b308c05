#include "ui/dialogs/album_name_dialog.h"

#include "platform/text.h"
#include "project/strings.h"
#include "ui/controls/utf8_limit_validator.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tellavine::ui {

bool albumNameRefused(const Project& project, const QString& name, int excludedAlbum) {
    // Compared as the model stores it, so the dialog and the model never disagree.
    const std::string stored = truncateUtf8(name.toStdString(), kMaxTextLength);
    if (!project.albumNameTaken(stored, excludedAlbum)) return false;
    project.services().showMessage(IDS_DUPLICATE_ALBUM_NAME);
    return true;
}

AlbumNameDialog::AlbumNameDialog(const Project& project, const QString& name, int excludedAlbum, QWidget* parent)
    : QDialog(parent), project_(project), excludedAlbum_(excludedAlbum), nameEdit_(new QLineEdit(name, this)) {
    setObjectName(QStringLiteral("albumNameDialog"));
    setWindowTitle(tr("Album Name"));
    nameEdit_->setObjectName(QStringLiteral("nameEdit"));
    nameEdit_->setMaxLength(static_cast<int>(kMaxTextLength));
    nameEdit_->setValidator(new Utf8LimitValidator(static_cast<int>(kMaxTextLength), nameEdit_));
    nameEdit_->setMinimumWidth(260);
    nameEdit_->selectAll();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AlbumNameDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlbumNameDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(tr("Album name:"), nameEdit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AlbumNameDialog::name() const {
    return nameEdit_->text();
}

void AlbumNameDialog::accept() {
    if (albumNameRefused(project_, name(), excludedAlbum_)) {
        nameEdit_->setFocus();
        nameEdit_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace tellavine::ui
