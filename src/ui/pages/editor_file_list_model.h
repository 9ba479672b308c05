#pragma once
// The rows of the editor's picture browser: one per picture file of the folder, with
// its name, size, type and modified time, sortable by any column, and the thumbnail the
// loader made for it (a placeholder until then).
//
// Built for big folders: a listing arrives as one reset and thumbnails arrive in
// batches, each batch one dataChanged per run of neighbouring rows, so a folder of
// thousands of photos costs the views a handful of relayouts instead of thousands.

#include "ui/pages/folder_lister.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QPixmap>

#include <utility>
#include <vector>

namespace tellavine::ui {

enum FileListColumn { kNameColumn = 0, kSizeColumn = 1, kTypeColumn = 2, kModifiedColumn = 3 };

// Marks drags that start in the browser (the photo list adds them "from the browser").
inline constexpr const char* kBrowserDragFormat = "application/x-tellavine-browser-files";

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FileListModel(QPixmap placeholder, QObject* parent = nullptr);

    // Replaces the rows with `files`, in the current sort order. Row r's thumbnail is
    // then thumbnail number r of the next batches (the loader run started over paths()).
    void setFiles(const std::vector<PictureFileEntry>& files);
    // Thumbnails (or the files' type icons) as the rows' pictures.
    void setShowThumbnails(bool show);
    // Thumbnails by their index in the loader run; null images are left out.
    void setThumbnails(const std::vector<std::pair<int, QPixmap>>& ready);

    QString pathAt(int row) const;
    // The paths in the order shown.
    QStringList paths() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;

    // Drags carry the files as addresses, so other programs take them too.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    struct Row {
        PictureFileEntry file;
        QString sizeText;
        QString typeText;
        QString modifiedText;
        QString nameKey;  // case-folded, for sorting
        QString typeKey;
        QIcon typeIcon;
        QIcon thumbnail;  // null until the loader made it
        int request = 0;  // the row's index in the loader run
    };
    void sortRows();
    bool before(const Row& a, const Row& b) const;

    std::vector<Row> rows_;
    std::vector<int> rowOfRequest_;  // loader run index -> row
    QIcon placeholder_;
    bool showThumbnails_ = true;
    int sortColumn_ = kNameColumn;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace tellavine::ui
