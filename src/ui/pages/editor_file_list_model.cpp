#include "ui/pages/editor_file_list_model.h"

#include "ui/controls/file_item_info.h"

#include <QLocale>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <map>

namespace tellavine::ui {
namespace {

// Type names and icons by extension: looking them up per file would slow big folders.
struct FileTypeInfo {
    QString text;
    QIcon icon;
};
const FileTypeInfo& fileTypeOf(const QString& path) {
    static std::map<QString, FileTypeInfo> known;
    const FileItemInfo info(path);
    const QString key = info.extension.toLower();
    auto found = known.find(key);
    if (found == known.end()) found = known.emplace(key, FileTypeInfo{info.typeText(), info.icon()}).first;
    return found->second;
}

QString sizeText(qint64 bytes) {
    return QStringLiteral("%1 KB").arg(QLocale().toString((bytes + 1023) / 1024));
}

}  // namespace

FileListModel::FileListModel(QPixmap placeholder, QObject* parent)
    : QAbstractTableModel(parent), placeholder_(std::move(placeholder)) {}

void FileListModel::setFiles(const std::vector<PictureFileEntry>& files) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(files.size());
    for (const PictureFileEntry& file : files) {
        const FileTypeInfo& type = fileTypeOf(file.path);
        Row row;
        row.file = file;
        row.sizeText = sizeText(file.sizeBytes);
        row.typeText = type.text;
        row.modifiedText = file.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        row.nameKey = file.name.toCaseFolded();
        row.typeKey = type.text.toCaseFolded();
        row.typeIcon = type.icon;
        rows_.push_back(std::move(row));
    }
    sortRows();
    rowOfRequest_.resize(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].request = static_cast<int>(i);
        rowOfRequest_[i] = static_cast<int>(i);
    }
    endResetModel();
}

void FileListModel::setShowThumbnails(bool show) {
    if (show == showThumbnails_) return;
    showThumbnails_ = show;
    if (!rows_.empty()) emit dataChanged(index(0, kNameColumn), index(rowCount() - 1, kNameColumn), {Qt::DecorationRole});
}

void FileListModel::setThumbnails(const std::vector<std::pair<int, QPixmap>>& ready) {
    std::vector<int> changed;
    changed.reserve(ready.size());
    for (const auto& [request, pixmap] : ready) {
        if (request < 0 || request >= static_cast<int>(rowOfRequest_.size()) || pixmap.isNull()) continue;
        const int row = rowOfRequest_[static_cast<std::size_t>(request)];
        rows_[static_cast<std::size_t>(row)].thumbnail = QIcon(pixmap);
        changed.push_back(row);
    }
    if (!showThumbnails_ || changed.empty()) return;
    std::sort(changed.begin(), changed.end());
    // One signal per run of neighbouring rows: the views relayout only what changed.
    std::size_t first = 0;
    for (std::size_t i = 1; i <= changed.size(); ++i) {
        if (i < changed.size() && changed[i] <= changed[i - 1] + 1) continue;
        emit dataChanged(index(changed[first], kNameColumn), index(changed[i - 1], kNameColumn), {Qt::DecorationRole});
        first = i;
    }
}

QString FileListModel::pathAt(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].file.path : QString();
}

QStringList FileListModel::paths() const {
    QStringList out;
    out.reserve(rowCount());
    for (const Row& row : rows_) out << row.file.path;
    return out;
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kNameColumn: return row.file.name;
                case kSizeColumn: return row.sizeText;
                case kTypeColumn: return row.typeText;
                case kModifiedColumn: return row.modifiedText;
                default: return {};
            }
        case Qt::DecorationRole:
            if (index.column() != kNameColumn) return {};
            if (!showThumbnails_) return row.typeIcon;
            return row.thumbnail.isNull() ? placeholder_ : row.thumbnail;
        case Qt::ToolTipRole: return index.column() == kNameColumn ? row.file.path : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == kSizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default: return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole && section == kSizeColumn) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (section) {
        case kNameColumn: return tr("Name");
        case kSizeColumn: return tr("Size");
        case kTypeColumn: return tr("Type");
        case kModifiedColumn: return tr("Modified");
        default: return {};
    }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

bool FileListModel::before(const Row& a, const Row& b) const {
    // Ties go by name, so that reversing the order reverses the list exactly.
    auto byName = [](const Row& x, const Row& y) {
        if (const int order = x.nameKey.compare(y.nameKey); order != 0) return order < 0;
        return x.file.name < y.file.name;
    };
    auto ascending = [&](const Row& x, const Row& y) {
        switch (sortColumn_) {
            case kSizeColumn:
                if (x.file.sizeBytes != y.file.sizeBytes) return x.file.sizeBytes < y.file.sizeBytes;
                break;
            case kTypeColumn:
                if (const int order = x.typeKey.compare(y.typeKey); order != 0) return order < 0;
                break;
            case kModifiedColumn:
                if (const int order = x.modifiedText.compare(y.modifiedText); order != 0) return order < 0;
                break;
            default: break;
        }
        return byName(x, y);
    };
    return sortOrder_ == Qt::AscendingOrder ? ascending(a, b) : ascending(b, a);
}

void FileListModel::sortRows() {
    std::sort(rows_.begin(), rows_.end(), [this](const Row& a, const Row& b) { return before(a, b); });
}

void FileListModel::sort(int column, Qt::SortOrder order) {
    if (column < kNameColumn || column > kModifiedColumn) return;
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList old = persistentIndexList();
    std::vector<int> requestsBefore;
    for (const QModelIndex& index : old) requestsBefore.push_back(rows_[static_cast<std::size_t>(index.row())].request);
    sortRows();
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        rowOfRequest_[static_cast<std::size_t>(rows_[row].request)] = static_cast<int>(row);
    }
    QModelIndexList after;
    after.reserve(old.size());
    for (qsizetype i = 0; i < old.size(); ++i) {
        after << index(rowOfRequest_[static_cast<std::size_t>(requestsBefore[static_cast<std::size_t>(i)])],
                       old[i].column());
    }
    changePersistentIndexList(old, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QStringList FileListModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list"), QString::fromLatin1(kBrowserDragFormat)};
}

QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& index : indexes) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<QUrl> urls;
    for (int row : rows) urls << QUrl::fromLocalFile(pathAt(row));
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setData(QString::fromLatin1(kBrowserDragFormat), QByteArray("1"));
    return data;
}

}  // namespace tellavine::ui
