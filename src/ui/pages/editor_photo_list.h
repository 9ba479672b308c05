#pragma once
// The editor's photo list: the current album's photos as 112 x 86 thumbnails labelled
// with their position ("%02d"). Photos are reordered by dragging them inside the list
// (the list scrolls while the pointer is near its top or bottom edge), and files
// dragged in from the browser or another program are added to the album.

#include "project/model.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTimer>

#include <functional>

namespace tellavine::ui {

inline constexpr int kPhotoBoxWidth = 112;
inline constexpr int kPhotoBoxHeight = 86;

// Rows over one album's slides (none when the album index is out of range).
class PhotoListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PhotoListModel(const Project& project, QObject* parent = nullptr);

    void showAlbum(int album);
    int album() const { return album_; }
    const Slide* slideAt(int row) const;
    int rowOf(const Slide* slide) const;
    // After the album's slides changed (added, removed, moved, rotated, captioned).
    void refresh();
    void slideChanged(const Slide* slide);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const Project& project_;
    int album_ = -1;
};

class PhotoRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using ThumbnailLookup = std::function<QPixmap(const Slide&)>;
    explicit PhotoRowDelegate(ThumbnailLookup thumbnails, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ThumbnailLookup thumbnails_;
    QPixmap placeholder_;
};

class PhotoListView : public QListView {
    Q_OBJECT
public:
    explicit PhotoListView(QWidget* parent = nullptr);

    // Selected rows in list order.
    QList<int> selectedRows() const;
    void selectRows(const QList<int>& rows);
    // The drop target for a pointer at `viewportPos`: the row under the point 10 pixels
    // below it, or the row count when there is none.
    int dropTargetAt(const QPoint& viewportPos) const;
    // What a drag out of this list carries (the selected rows), as the drop expects it.
    QMimeData* dragData() const;
    int autoScrollDirection() const { return scrollDirection_; }

signals:
    // Selected photos dropped inside the list at the target row.
    void photosMoved(int targetRow);
    // Picture files dropped on the list; `fromBrowser` when they came from the page's
    // file list.
    void filesDropped(const QStringList& paths, bool fromBrowser);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool isOwnDrag(const QMimeData* data) const;
    void setScrollDirection(int direction);

    QTimer scrollTimer_;
    int scrollDirection_ = 0;  // -1 up, +1 down
    bool dragging_ = false;    // a drag out of this list is going on
};

}  // namespace tellavine::ui
