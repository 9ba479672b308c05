#include "ui/pages/thumbnail_loader.h"

#include "imaging/codec.h"

#include <QMetaObject>
#include <QPainter>

#include <cstdint>

namespace tellavine::ui {

QSize thumbnailFit(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    // Landscape pictures take the full width unless that makes them too tall.
    if (width > height && static_cast<long long>(height) * kThumbnailWidth / width <= kThumbnailHeight) {
        return {kThumbnailWidth, std::max(1, static_cast<int>(static_cast<long long>(height) * kThumbnailWidth / width))};
    }
    return {std::max(1, static_cast<int>(static_cast<long long>(width) * kThumbnailHeight / height)), kThumbnailHeight};
}

namespace {

void rotateBy(Picture& picture, int rotation) {
    switch (rotation) {
        case 90: picture.rotateRight(); break;
        case 180: picture.rotate180(); break;
        case 270: picture.rotateLeft(); break;
        default: break;
    }
}

QImage toImage(const Picture& picture) {
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* from = picture.row(y);
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width(); ++x, from += 3) to[x] = qRgb(from[0], from[1], from[2]);
    }
    return image;
}

}  // namespace

QImage fitIntoBox(const QImage& image, QSize box) {
    QImage square(box, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    if (image.isNull() || box.isEmpty()) return square;
    const QImage fitted = image.width() > box.width() || image.height() > box.height()
                              ? image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : image;
    QPainter painter(&square);
    painter.drawImage((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2, fitted);
    return square;
}

QImage makeThumbnail(const ThumbnailRequest& request, ThumbnailCache& cache) {
    if (auto cached = cache.find(request.path, request.rotation)) return toImage(*cached);
    DecodeOptions options;
    options.minimumSide = kThumbnailWidth;  // the DCT does most of the shrinking
    PictureLoad load = loadPicture(request.path, PictureType::Unknown, options);
    if (!load.ok()) return {};
    rotateBy(load.picture, request.rotation);
    const QSize fit = thumbnailFit(load.picture.width(), load.picture.height());
    if (!load.picture.resample(fit.width(), fit.height())) return {};
    return toImage(*cache.store(request.path, std::move(load.picture), request.rotation));
}

ThumbnailLoader::ThumbnailLoader(ThumbnailCache& cache, QObject* parent) : ThumbnailLoader(cache, parent, QSize()) {}

ThumbnailLoader::ThumbnailLoader(ThumbnailCache& cache, QObject* parent, QSize iconBox)
    : QObject(parent), cache_(cache), iconBox_(iconBox), thread_([this] { work(); }) {}

ThumbnailLoader::~ThumbnailLoader() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        ++generation_;
    }
    wake_.notify_all();
    thread_.join();
}

void ThumbnailLoader::start(std::vector<ThumbnailRequest> items) {
    {
        std::lock_guard lock(mutex_);
        items_ = std::move(items);
        ++generation_;
        pending_ = true;
    }
    wake_.notify_all();
}

void ThumbnailLoader::stop() {
    std::lock_guard lock(mutex_);
    items_.clear();
    ++generation_;
    pending_ = false;
}

bool ThumbnailLoader::idle() const {
    std::lock_guard lock(mutex_);
    return !pending_ && !running_;
}

bool ThumbnailLoader::waitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, timeout, [this] { return !pending_ && !running_; });
}

bool ThumbnailLoader::current(unsigned generation) const {
    std::lock_guard lock(mutex_);
    return generation == generation_;
}

void ThumbnailLoader::work() {
    for (;;) {
        std::vector<ThumbnailRequest> items;
        unsigned generation = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || pending_; });
            if (quit_) return;
            items = std::move(items_);
            items_.clear();
            generation = generation_;
            pending_ = false;
            running_ = true;
        }
        for (std::size_t i = 0; i < items.size() && current(generation); ++i) {
            QImage image = makeThumbnail(items[i], cache_);
            if (iconBox_.isValid() && !image.isNull()) image = fitIntoBox(image, iconBox_);
            const int index = static_cast<int>(i);
            // Queued on the UI thread; dropped there when a newer run has begun.
            QMetaObject::invokeMethod(
                this,
                [this, generation, index, image = std::move(image)] {
                    if (current(generation)) emit thumbnailReady(index, image);
                },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this, [this, generation] { if (current(generation)) emit runFinished(); }, Qt::QueuedConnection);
        {
            std::lock_guard lock(mutex_);
            running_ = false;
        }
        wake_.notify_all();
    }
}

}  // namespace tellavine::ui
