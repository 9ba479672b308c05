#pragma once
// One file of the editor's file list: its path split into folder, name and extension,
// its type name and icon from the desktop's file types.

#include <QIcon>
#include <QString>

namespace tellavine::ui {

struct FileItemInfo {
    explicit FileItemInfo(const QString& path);

    QString path;
    QString drive;      // the root ("/") on this system
    QString directory;  // ends in '/'
    QString name;       // without extension
    QString extension;  // with its dot, or empty

    QString typeText() const;  // e.g. "JPEG image"
    QIcon icon() const;
    // True for a volume root or a file that can be found.
    bool exists() const;
};

}  // namespace tellavine::ui
