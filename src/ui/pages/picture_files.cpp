#include "ui/pages/picture_files.h"

#include "imaging/codec.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tellavine::ui {

bool namesInOrder(const QString& a, const QString& b) {
    // A run of digits without its leading zeros (one zero stays for a run of zeros).
    auto number = [](const QString& text, qsizetype& at) {
        const qsizetype start = at;
        while (at < text.size() && text[at].isDigit()) ++at;
        qsizetype first = start;
        while (first + 1 < at && text[first] == QLatin1Char('0')) ++first;
        return QStringView(text).mid(first, at - first);
    };
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            // Runs of digits compare by their value: "photo 2" before "photo 10".
            const QStringView valueA = number(a, i), valueB = number(b, j);
            if (valueA.size() != valueB.size()) return valueA.size() < valueB.size();
            if (const int order = valueA.compare(valueB); order != 0) return order < 0;
            continue;
        }
        const QString foldedA = QString(a[i]).toCaseFolded(), foldedB = QString(b[j]).toCaseFolded();
        if (foldedA != foldedB) return foldedA < foldedB;
        ++i, ++j;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;  // the same but for letter case or zeros: still one fixed order
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
