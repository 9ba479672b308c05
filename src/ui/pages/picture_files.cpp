#include "ui/pages/picture_files.h"

#include "imaging/codec.h"
#include "pipeline/folder_project.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tellavine::ui {

bool namesInOrder(const QString& a, const QString& b) {
    // The same order as a folder made into a project on the command line.
    return naturalLess(a.toStdString(), b.toStdString());
}

bool isPictureFile(const QString& path) {
    return hasReadablePictureExtension(path.toStdString());
}

QStringList picturesFromDrop(const QList<QUrl>& urls) {
    QStringList pictures;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isDir()) {
            QDir folder(info.absoluteFilePath());
            QStringList names = folder.entryList(QDir::Files | QDir::Readable);
            std::sort(names.begin(), names.end(), namesInOrder);
            for (const QString& name : names) {
                if (isPictureFile(name)) pictures << folder.absoluteFilePath(name);
            }
        } else if (info.isFile() && isPictureFile(info.fileName())) {
            pictures << info.absoluteFilePath();
        }
    }
    return pictures;
}

QString addPicturesFilter() {
    return QStringLiteral(
        "All Supported Formats(*.jpg *.jpeg *.jpe *.jfif *.tif *.tiff *.bmp *.dib *.pcx *.gif *.png *.tga *.wbmp "
        "*.wbm *.jp2 *.j2k *.j2c *.jpc *.jpx);;JPEG (*.jpg *.jpeg);;TIFF(*.tif *.tiff);;Bitmap(*.bmp);;"
        "PNG (*.png);;GIF (*.gif);;PCX (*.pcx)");
}

}  // namespace tellavine::ui
