#pragma once
// The disc menu page's canvas: the current menu page drawn by the menu composition
// exactly as the disc will show it (from photo thumbnails), framed on a dark blue field.
// A double click on an album's title and a right click are handed to the page.

#include "compose/thumbnail_cache.h"
#include "project/model.h"
#include "ui/pages/menu_canvas_geometry.h"

#include <QImage>
#include <QWidget>

#include <string>
#include <vector>

namespace tellavine::ui {

class MenuCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MenuCanvas(QWidget* parent = nullptr);

    // What to draw; the project and the cache outlive the canvas.
    void setSource(const Project* project, std::string programDir, ThumbnailCache* thumbnails);
    void setFirstAlbum(int firstAlbum);
    int firstAlbum() const { return firstAlbum_; }
    // The page is drawn afresh at the next paint: after any change to the project.
    void invalidate();

    QRect pageRect() const { return fitMenuPage(rect()); }
    // The title boxes of the albums on the page, from the template as it is now.
    std::vector<TitleHit> titleHits() const;
    // The page as last drawn (null before the first paint).
    const QImage& pageImage() const { return page_; }

signals:
    void titleDoubleClicked(int album);
    void menuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void drawPage();

    const Project* project_ = nullptr;
    std::string programDir_;
    ThumbnailCache* thumbnails_ = nullptr;
    int firstAlbum_ = 0;
    QImage page_;
    bool stale_ = true;
};

}  // namespace tellavine::ui
