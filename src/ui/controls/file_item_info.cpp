#include "ui/controls/file_item_info.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>

namespace tellavine::ui {

FileItemInfo::FileItemInfo(const QString& fullPath) : path(fullPath) {
    if (path.startsWith('/')) drive = QStringLiteral("/");
    const qsizetype slash = path.lastIndexOf('/');
    directory = slash >= 0 ? path.left(slash + 1) : QString();
    const QString fileName = path.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf('.');
    name = dot > 0 ? fileName.left(dot) : fileName;
    extension = dot > 0 ? fileName.mid(dot) : QString();
}

QString FileItemInfo::typeText() const {
    static const QMimeDatabase database;
    return database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).comment();
}

QIcon FileItemInfo::icon() const {
    static const QFileIconProvider provider;
    return provider.icon(QFileInfo(path));
}

bool FileItemInfo::exists() const {
    return path == QLatin1String("/") || QFileInfo::exists(path);
}

}  // namespace tellavine::ui
