#pragma once
// The folder picker of the Options dialog: a tree of the file system's folders with
// "Current Selection" above it and the chosen folder's path, shortened, below it.

#include <QDialog>

#include <optional>

class QLabel;

namespace tellavine::ui {

class ShellFolderTree;

// The status line's text for a folder: its first 35 characters and "..." when longer.
QString folderStatusText(const QString& path);

class FolderBrowser : public QDialog {
    Q_OBJECT
public:
    explicit FolderBrowser(QWidget* parent = nullptr);

    // Opens the picker on `startFolder` (the home folder when it cannot be reached); the
    // chosen folder's path, or nothing when cancelled or nothing with a path was chosen.
    std::optional<QString> browse(const QString& startFolder);

    ShellFolderTree* tree() const { return tree_; }
    QString statusText() const;
    std::optional<QString> chosenFolder() const;

private:
    ShellFolderTree* tree_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace tellavine::ui
