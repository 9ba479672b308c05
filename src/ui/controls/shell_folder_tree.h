#pragma once
// A tree of the file system's folders: the home folder and the mounted volumes at the
// top, each item's subfolders read only when it is first expanded.

#include <QTreeWidget>

#include <optional>

namespace tellavine::ui {

class ShellFolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ShellFolderTree(QWidget* parent = nullptr);

    // Clears the tree, lists the top-level places, expands and selects the first.
    void fill();
    // The selected folder's path, or nothing when no folder is selected.
    std::optional<QString> selectedPath() const;
    // Expands the tree down to `path` and selects it; false when it is not reachable.
    bool selectPath(const QString& path);

signals:
    void folderSelected(const QString& path);

private:
    QTreeWidgetItem* addFolderItem(QTreeWidgetItem* parent, const QString& path, const QString& text,
                                   const QIcon& icon);
    void expandOnce(QTreeWidgetItem* item);
};

}  // namespace tellavine::ui
