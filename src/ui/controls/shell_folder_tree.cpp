#include "ui/controls/shell_folder_tree.h"

#include <QDir>
#include <QDirIterator>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QStorageInfo>

namespace tellavine::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

bool hasSubfolders(const QString& path) {
    QDirIterator it(path, QDir::Dirs | QDir::NoDotAndDotDot);
    return it.hasNext();
}

QStringList subfolders(const QString& path) {
    QDir dir(path);
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

// Volumes a user keeps files on: not the root itself and no system pseudo file systems.
bool isUserVolume(const QStorageInfo& volume) {
    if (!volume.isValid() || !volume.isReady() || volume.isRoot()) return false;
    const QString path = volume.rootPath();
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/var", "/tmp", "/etc"}) {
        if (path == QLatin1String(system) || path.startsWith(QLatin1String(system) + '/')) {
            return path.startsWith(QLatin1String("/run/media/"));
        }
    }
    return true;
}

}  // namespace

ShellFolderTree::ShellFolderTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, &ShellFolderTree::expandOnce);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) emit folderSelected(item->data(0, kPathRole).toString());
    });
}

QTreeWidgetItem* ShellFolderTree::addFolderItem(QTreeWidgetItem* parent, const QString& path, const QString& text,
                                                const QIcon& icon) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setIcon(0, icon);
    item->setData(0, kPathRole, path);
    item->setData(0, kFilledRole, false);
    item->setToolTip(0, path);
    item->setChildIndicatorPolicy(hasSubfolders(path) ? QTreeWidgetItem::ShowIndicator
                                                      : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

void ShellFolderTree::fill() {
    clear();
    const QFileIconProvider icons;
    QTreeWidgetItem* home = addFolderItem(nullptr, QDir::homePath(), tr("Home"), icons.icon(QFileIconProvider::Folder));
    addFolderItem(nullptr, QStringLiteral("/"), tr("File System"), icons.icon(QFileIconProvider::Drive));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!isUserVolume(volume)) continue;
        const QString name = volume.displayName().isEmpty() ? volume.rootPath() : volume.displayName();
        addFolderItem(nullptr, volume.rootPath(), name, icons.icon(QFileIconProvider::Drive));
    }
    home->setExpanded(true);
    setCurrentItem(home);
}

void ShellFolderTree::expandOnce(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const QFileIconProvider icons;
    const QString path = item->data(0, kPathRole).toString();
    for (const QString& name : subfolders(path)) {
        addFolderItem(item, QDir(path).filePath(name), name, icons.icon(QFileIconProvider::Folder));
    }
    if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

std::optional<QString> ShellFolderTree::selectedPath() const {
    const QTreeWidgetItem* item = currentItem();
    if (!item) return std::nullopt;
    const QString path = item->data(0, kPathRole).toString();
    if (!QFileInfo(path).isDir()) return std::nullopt;
    return path;
}

bool ShellFolderTree::selectPath(const QString& path) {
    const QString wanted = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QTreeWidgetItem* best = nullptr;
    // The top-level place holding the path most closely.
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        const QString root = QDir::cleanPath(item->data(0, kPathRole).toString());
        const bool inside = wanted == root || wanted.startsWith(root == "/" ? root : root + '/');
        if (inside && (!best || root.size() > best->data(0, kPathRole).toString().size())) best = item;
    }
    while (best && QDir::cleanPath(best->data(0, kPathRole).toString()) != wanted) {
        best->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < best->childCount(); ++i) {
            const QString child = QDir::cleanPath(best->child(i)->data(0, kPathRole).toString());
            if (wanted == child || wanted.startsWith(child + '/')) next = best->child(i);
        }
        best = next;
    }
    if (!best) return false;
    setCurrentItem(best);
    return true;
}

}  // namespace tellavine::ui
