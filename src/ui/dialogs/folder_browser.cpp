#include "ui/dialogs/folder_browser.h"

#include "ui/controls/shell_folder_tree.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tellavine::ui {
namespace {

constexpr int kStatusCharacters = 35;

}  // namespace

QString folderStatusText(const QString& path) {
    if (path.size() <= kStatusCharacters) return path;
    return path.left(kStatusCharacters) + QStringLiteral("...");
}

FolderBrowser::FolderBrowser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("folderBrowser"));
    setWindowTitle(tr("Browse for Folder"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* title = new QLabel(tr("Current Selection"), this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    tree_ = new ShellFolderTree(this);
    tree_->setObjectName(QStringLiteral("folders"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    connect(tree_, &ShellFolderTree::folderSelected, this, [this, ok](const QString& path) {
        status_->setText(folderStatusText(path));
        status_->setToolTip(path);
        ok->setEnabled(chosenFolder().has_value());
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(status_);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    resize(360, 420);
    tree_->fill();
}

std::optional<QString> FolderBrowser::browse(const QString& startFolder) {
    if (!startFolder.isEmpty()) tree_->selectPath(startFolder);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return chosenFolder();
}

QString FolderBrowser::statusText() const {
    return status_->text();
}

std::optional<QString> FolderBrowser::chosenFolder() const {
    return tree_->selectedPath();
}

}  // namespace tellavine::ui
