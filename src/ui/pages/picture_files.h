#pragma once
// Which files the editor offers as pictures, and the pictures a drop of files and
// folders stands for.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tellavine::ui {

// True when a picture reader of the program takes the file's extension (letter case
// ignored): JPEG, TIFF, BMP, PCX, GIF, PNG, TGA, WBMP, JPEG 2000 and whatever readers
// join them.
bool isPictureFile(const QString& path);

// Name order as people read it: letter case ignored, runs of digits by their value.
bool namesInOrder(const QString& a, const QString& b);

// The picture files among dropped local files and folders, in the order dropped; a
// folder stands for the pictures directly inside it, in name order (letter case
// ignored). Other files and remote addresses are left out.
QStringList picturesFromDrop(const QList<QUrl>& urls);

// The name filter of the Add Pictures dialog: every format the readers take, then each
// common one alone.
QString addPicturesFilter();

}  // namespace tellavine::ui
