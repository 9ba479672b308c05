#include "ui/pages/menu_canvas.h"

#include "compose/menu_page.h"
#include "ui/dialogs/picture_image.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tellavine::ui {
namespace {

const QColor kField(0, 51, 102);
const QColor kEdgeLight(255, 255, 255);
const QColor kEdgeShadow(160, 160, 160);
const QColor kEdgeDark(64, 64, 64);

// A one-pixel edge around `r`: `topLeft` on the top and left sides, `bottomRight` on
// the others (sunken when the top-left is dark, raised when it is light).
void drawEdge(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

MenuCanvas::MenuCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MenuCanvas::setSource(const Project* project, std::string programDir, ThumbnailCache* thumbnails) {
    project_ = project;
    programDir_ = std::move(programDir);
    thumbnails_ = thumbnails;
    invalidate();
}

void MenuCanvas::setFirstAlbum(int firstAlbum) {
    if (firstAlbum == firstAlbum_) return;
    firstAlbum_ = firstAlbum;
    invalidate();
}

void MenuCanvas::invalidate() {
    stale_ = true;
    update();
}

std::vector<TitleHit> MenuCanvas::titleHits() const {
    if (!project_) return {};
    // The template the page is drawn with: an unusable one falls back to the classic.
    const MenuTemplate drawn = readUsableTemplate(programDir_, project_->menu().templatePath);
    return titleHitRects(drawn, pageRect(), firstAlbum_, project_->albumCount());
}

void MenuCanvas::drawPage() {
    stale_ = false;
    const QRect page = pageRect();
    Picture target = Picture::create(page.width(), page.height());
    if (!project_ || !target.valid()) {
        page_ = QImage();
        return;
    }
    MenuPageRequest request;
    request.project = project_;
    request.programDir = programDir_;
    request.firstAlbum = firstAlbum_;
    request.mode = MenuPhotoMode::Screen;
    request.thumbnails = thumbnails_;
    drawMenuPage(target, {0, 0, page.width(), page.height()}, request);
    page_ = toQImage(target);
}

void MenuCanvas::paintEvent(QPaintEvent*) {
    if (stale_) drawPage();
    QPainter painter(this);
    painter.fillRect(rect(), kField);
    drawEdge(painter, rect(), kEdgeShadow, kEdgeLight);
    const QRect page = pageRect();
    if (page.isEmpty()) return;
    if (!page_.isNull()) painter.drawImage(page.topLeft(), page_);
    drawEdge(painter, page.adjusted(-1, -1, 1, 1), kEdgeLight, kEdgeDark);
}

void MenuCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidate();
}

void MenuCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int album = titleAt(titleHits(), event->position().toPoint());
    if (album >= 0) emit titleDoubleClicked(album);
}

void MenuCanvas::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(event->globalPos());
}

}  // namespace tellavine::ui
