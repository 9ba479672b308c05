#include "ui/pages/page_preview.h"

#include "compose/caption.h"
#include "compose/menu_page.h"
#include "compose/thumbnail_cache.h"
#include "ui/app/tv_artwork.h"
#include "ui/controls/image_button.h"
#include "ui/pages/remote_control.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>

namespace tellavine::ui {
namespace {

// The television and remote together are 690 x 425; the page centres them.
constexpr int kSceneWidth = 690;
constexpr int kSceneHeight = 425;
constexpr QPoint kScreenOffset(25, 23);
constexpr std::size_t kThumbnailBudget = 16u * 1024 * 1024;

}  // namespace

QRect previewPhotoRect(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    int w = 0;
    int h = 0;
    if (height < width) {
        w = kPreviewWidth;
        h = static_cast<int>(static_cast<long long>(kPreviewWidth) * height / width);
        if (h > kPreviewHeight) {
            h = kPreviewHeight;
            w = static_cast<int>(static_cast<long long>(width) * kPreviewHeight / height);
        }
    } else {
        h = kPreviewHeight;
        w = static_cast<int>(static_cast<long long>(kPreviewHeight) * width / height);
    }
    return QRect((kPreviewWidth - w) / 2, (kPreviewHeight - h) / 2, std::max(w, 1), std::max(h, 1));
}

CPagePreview::CPagePreview(const Project& project, PreviewServices services, QWidget* parent)
    : QWidget(parent), project_(project), services_(std::move(services)),
      thumbnails_(std::make_unique<ThumbnailCache>(kThumbnailBudget)) {
    if (!services_.clock) services_.clock = std::make_unique<TimerSlideshowClock>();
    if (!services_.playMusic) services_.playMusic = [](const std::string&, std::int32_t) {};
    if (!services_.closeMusic) services_.closeMusic = [] {};
    remote_ = new CDlgRemoteControl(this);
    connect(remote_, &CDlgRemoteControl::command, this, &CPagePreview::command);
    refreshButtons();
}

CPagePreview::~CPagePreview() {
    services_.clock->stop();
    loader_.stop();
}

QImage CPagePreview::screen() const {
    if (!screen_.valid()) return {};
    return QImage(screen_.row(0), screen_.width(), screen_.height(), static_cast<qsizetype>(screen_.rowBytes()),
                  QImage::Format_RGB888)
        .copy();
}

QPoint CPagePreview::televisionOrigin() const {
    return QPoint((width() - kSceneWidth) / 2 + 4, (height() - kSceneHeight) / 2 + 4);
}

QRect CPagePreview::screenRect() const {
    return QRect(televisionOrigin() + kScreenOffset, QSize(kPreviewWidth, kPreviewHeight));
}

void CPagePreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int left = (width() - kSceneWidth) / 2 + 547;
    const int top = (height() - kSceneHeight) / 2 + 13;
    remote_->setGeometry(left, top, std::max(width() - 10 - left, kRemoteFaceWidth),
                         std::max(height() - 8 - top, kRemoteFaceHeight));
    update();
}

void CPagePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // A sunken inner edge around the page.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);

    const qreal ratio = devicePixelRatioF();
    if (television_.isNull() || television_.devicePixelRatio() != ratio) television_ = drawTelevision(ratio);
    painter.drawPixmap(televisionOrigin(), television_);
    const QRect screenArea = screenRect();
    if (!screen_.valid()) {
        painter.fillRect(screenArea, QColor(0, 0, 255));
        painter.setPen(Qt::white);
        painter.drawText(screenArea.topLeft() + QPoint(100, 100), tr("Click Button <Play> to start ->"));
        return;
    }
    // The picture reaches the window in one copy, smoothly scaled on a high-density screen.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(screenArea, QImage(screen_.row(0), screen_.width(), screen_.height(),
                                         static_cast<qsizetype>(screen_.rowBytes()), QImage::Format_RGB888));
}

void CPagePreview::refreshButtons() {
    const int items = project_.itemsPerPage();
    const int albums = project_.albumCount();
    for (int key = 1; key <= 9; ++key) remote_->button(30000 + key)->setEnabled(!playing_ && key <= items);
    remote_->button(kRemoteStart)->setEnabled(!playing_);
    remote_->button(kRemotePreviousMenu)->setEnabled(!playing_ && pageStart_ > 0);
    remote_->button(kRemoteNextMenu)->setEnabled(!playing_ && pageStart_ + items < albums);
    remote_->button(kRemoteStop)->setEnabled(true);
}

void CPagePreview::command(int id) {
    const int items = project_.itemsPerPage();
    if (id >= kRemoteAlbum1 && id <= kRemoteAlbum9) {
        playAlbum(id - 30000);
    } else if (id == kRemoteStart) {
        showMenuPage();
        const MenuSettings& menu = project_.menu();
        if (!menu.musicPath.empty()) services_.playMusic(menu.musicPath, menu.musicLength);
    } else if (id == kRemoteStop) {
        stopPreview();
    } else if (id == kRemotePreviousMenu) {
        if (items > 0 && pageStart_ >= items) {
            pageStart_ -= items;
            refreshButtons();
            showMenuPage();
        }
    } else if (id == kRemoteNextMenu) {
        // The key is enabled only while another page follows.
        if (items > 0 && pageStart_ + items < project_.albumCount()) {
            pageStart_ += items;
            refreshButtons();
            showMenuPage();
        }
    }
}

void CPagePreview::showMenuPage() {
    if (!screen_.valid()) screen_ = Picture::create(kPreviewWidth, kPreviewHeight);
    MenuPageRequest request;
    request.project = &project_;
    request.programDir = services_.programDir;
    request.firstAlbum = pageStart_;
    request.mode = MenuPhotoMode::Screen;
    request.thumbnails = thumbnails_.get();
    drawMenuPage(screen_, Rect{0, 0, kPreviewWidth, kPreviewHeight}, request);
    update(screenRect());
}

void CPagePreview::playAlbum(int key) {
    services_.closeMusic();
    const int album = pageStart_ + key - 1;
    if (playing_ || album >= project_.albumCount() || project_.album(album).slides.empty()) return;
    const Album& chosen = project_.album(album);
    std::vector<PreviewPhoto> photos;
    for (const auto& slide : chosen.slides) photos.push_back({slide->path, slide->rotation});
    album_ = album;
    loader_.start(std::move(photos));
    playing_ = true;
    refreshButtons();
    slideshowTick();  // the first photo at once
    if (!playing_) return;
    services_.clock->start(std::max(chosen.playTime, 1) * 1000, [this] { slideshowTick(); });
    if (chosen.hasMusic()) services_.playMusic(chosen.musicPath, chosen.musicLength);
}

void CPagePreview::slideshowTick() {
    if (!playing_) return;
    std::optional<PreviewEntry> entry = loader_.waitForEntry();
    if (!entry || entry->end) {
        stopPreview();
        return;
    }
    drawPhoto(entry->picture);
    const Album& album = project_.album(album_);
    const Slide& slide = *album.slides.at(static_cast<std::size_t>(entry->slideIndex));
    if (slide.hasCaption) {
        // A copy: the anchored position drawCaption works out is not an edit of the project.
        SlideCaption caption = slide.caption;
        drawCaption(screen_, Rect{0, 0, kPreviewWidth, kPreviewHeight}, caption, false);
    }
    update(screenRect());
}

void CPagePreview::drawPhoto(const Picture& photo) {
    if (!screen_.valid()) screen_ = Picture::create(kPreviewWidth, kPreviewHeight);
    screen_.clear();
    const QRect place = previewPhotoRect(photo.width(), photo.height());
    if (place.isEmpty()) return;  // an undecodable photo is a black screen
    Picture fitted = photo.clone();
    if (!fitted.resample(place.width(), place.height())) return;
    for (int y = 0; y < fitted.height(); ++y) {
        std::memcpy(screen_.row(place.y() + y) + static_cast<std::size_t>(place.x()) * 3, fitted.row(y), fitted.rowBytes());
    }
}

void CPagePreview::stopPreview() {
    services_.closeMusic();
    if (playing_) {
        loader_.stop();
        services_.clock->stop();
        playing_ = false;
        loader_.clear();
        album_ = -1;
        showMenuPage();
    }
    refreshButtons();
}

}  // namespace tellavine::ui
