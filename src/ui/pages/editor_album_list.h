#pragma once
// The editor's album list: a fixed title row, then one drawn row per album with the
// thumbnail of its first photo, its number, name, photo count and a music note when it
// has background music.

#include "project/model.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>

#include <functional>

namespace tellavine::ui {

inline constexpr int kAlbumTitleRow = 0;
inline constexpr int kAlbumRowHeight = 64;
inline constexpr int kAlbumTitleHeight = 26;
inline constexpr int kAlbumThumbnailBox = 70;

// Rows over the project's albums; row k + 1 is album k.
class AlbumListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { AlbumIndexRole = Qt::UserRole + 1 };
    explicit AlbumListModel(const Project& project, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    const Project& project() const { return project_; }
    // After albums were added, removed or changed.
    void refresh();

private:
    const Project& project_;
};

// Draws the rows. The thumbnail of a slide comes from the page (a placeholder while it
// is being made).
class AlbumRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using ThumbnailLookup = std::function<QPixmap(const Slide&)>;
    AlbumRowDelegate(ThumbnailLookup thumbnails, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintTitle(QPainter& painter, const QRect& rect) const;
    ThumbnailLookup thumbnails_;
    QPixmap note_;
};

// The list itself: single selection; the title row cannot be selected.
class AlbumListView : public QListView {
    Q_OBJECT
public:
    explicit AlbumListView(QWidget* parent = nullptr);
    // The selected album's index, or -1.
    int selectedAlbum() const;
    void selectAlbum(int album);

protected:
    // A click on the title row leaves the selection as it is.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
};

}  // namespace tellavine::ui
