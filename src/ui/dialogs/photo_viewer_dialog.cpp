#include "ui/dialogs/photo_viewer_dialog.h"

#include "compose/caption.h"
#include "imaging/codec.h"
#include "project/strings.h"
#include "ui/controls/image_button.h"
#include "ui/dialogs/add_text_dialog.h"
#include "ui/dialogs/picture_image.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tellavine::ui {

namespace {

const QColor kBackground(232, 232, 232);
constexpr int kAreaMargin = 10;
constexpr int kColumnWidth = 132;  // the picture area is this much narrower than the window
constexpr int kButtonWidth = 82;
constexpr int kButtonHeight = 30;
constexpr int kButtonPitch = 33;

struct ButtonEntry {
    PhotoViewerDialog::Command command;
    const char* face;
    int tooltipId;
    const char* objectName;
};
constexpr ButtonEntry kButtons[] = {
    {PhotoViewerDialog::kClose, QT_TRANSLATE_NOOP("PhotoViewerDialog", "Close"), IDS_CLOSE_DIALOG, "close"},
    {PhotoViewerDialog::kRotateClockwise, QT_TRANSLATE_NOOP("PhotoViewerDialog", "\u21bb 90 CW"),
     IDS_VIEWER_ROTATE_CLOCKWISE, "rotateClockwise"},
    {PhotoViewerDialog::kRotateCounterClockwise, QT_TRANSLATE_NOOP("PhotoViewerDialog", "\u21ba 90 CCW"),
     IDS_VIEWER_ROTATE_COUNTER_CLOCKWISE, "rotateCounterClockwise"},
    {PhotoViewerDialog::kPrevious, QT_TRANSLATE_NOOP("PhotoViewerDialog", "\u25c0 Previous"),
     IDS_VIEW_PREVIOUS_PICTURE, "previous"},
    {PhotoViewerDialog::kNext, QT_TRANSLATE_NOOP("PhotoViewerDialog", "Next \u25b6"), IDS_VIEW_NEXT_PICTURE, "next"},
};

QPixmap buttonFace(const QString& text, const QFont& font) {
    QPixmap face(kButtonWidth, kButtonHeight);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(150, 160, 175));
    painter.setBrush(QColor(250, 250, 252));
    painter.drawRoundedRect(QRectF(1.5, 1.5, kButtonWidth - 3.0, kButtonHeight - 3.0), 4, 4);
    painter.setFont(font);
    painter.setPen(QColor(30, 40, 60));
    painter.drawText(face.rect(), Qt::AlignCenter, text);
    return face;
}

}  // namespace

QRect fitPictureInto(QSize picture, QSize area) {
    const int w = picture.width(), h = picture.height(), aw = area.width(), ah = area.height();
    if (w <= 0 || h <= 0 || aw <= 0 || ah <= 0) return {};
    int pw = 0, ph = 0;
    if (w > h) {
        pw = aw;
        ph = static_cast<int>(static_cast<double>(h) / w * aw);
        if (ph > ah) {
            ph = ah;
            pw = static_cast<int>(static_cast<double>(w) * ah / h);
        }
    } else {
        ph = ah;
        pw = static_cast<int>(static_cast<double>(w) / h * ah);
        if (pw > aw) {  // an area taller than the picture's shape
            pw = aw;
            ph = static_cast<int>(static_cast<double>(h) * aw / w);
        }
    }
    pw = std::max(pw, 1);
    ph = std::max(ph, 1);
    return {(aw - pw) / 2, (ah - ph) / 2, pw, ph};
}

PhotoViewerDialog::PhotoViewerDialog(Project& project, int album, int slide, QWidget* parent)
    : PhotoViewerDialog(&project, album, slide, {}, parent) {}

PhotoViewerDialog::PhotoViewerDialog(const QString& photoPath, QWidget* parent)
    : PhotoViewerDialog(nullptr, -1, -1, photoPath, parent) {}

PhotoViewerDialog::PhotoViewerDialog(Project* project, int album, int slide, const QString& photoPath,
                                     QWidget* parent)
    : QDialog(parent),
      project_(project),
      album_(album),
      index_(slide),
      photoPath_(photoPath),
      area_(new QWidget(this)),
      addText_(new QCheckBox(tr("Add Text"), this)),
      fullScreenButton_(new QPushButton(tr("Full Screen"), this)) {
    setObjectName(QStringLiteral("photoViewer"));
    setWindowTitle(tr("Preview"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, kBackground);
    setPalette(background);
    setMinimumSize(420, 300);
    editCaption = [this](const SlideCaption& caption) -> std::optional<SlideCaption> {
        AddTextDialog dialog(caption, this);
        if (project_) dialog.setServices(project_->services());
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.caption();
    };

    area_->setObjectName(QStringLiteral("pictureArea"));
    area_->setMouseTracking(true);
    area_->setAttribute(Qt::WA_OpaquePaintEvent);
    area_->installEventFilter(this);

    for (int i = 0; i < 5; ++i) {
        const ButtonEntry& entry = kButtons[i];
        auto* button = new ImageButton(this);
        ImageButtonDescriptor descriptor;
        descriptor.stripWidth = kButtonWidth * 4;
        descriptor.height = kButtonHeight;
        descriptor.strip = makeButtonStrip(buttonFace(tr(entry.face), font()));
        descriptor.tooltipId = entry.tooltipId;
        descriptor.controlId = entry.command;
        button->create(descriptor);
        button->setObjectName(QString::fromLatin1(entry.objectName));
        buttons_[i] = button;
    }
    connect(buttons_[0], &QAbstractButton::clicked, this, &PhotoViewerDialog::accept);
    connect(buttons_[1], &QAbstractButton::clicked, this, &PhotoViewerDialog::rotateClockwise);
    connect(buttons_[2], &QAbstractButton::clicked, this, &PhotoViewerDialog::rotateCounterClockwise);
    connect(buttons_[3], &QAbstractButton::clicked, this, &PhotoViewerDialog::showPrevious);
    connect(buttons_[4], &QAbstractButton::clicked, this, &PhotoViewerDialog::showNext);
    addText_->setObjectName(QStringLiteral("addText"));
    connect(addText_, &QCheckBox::clicked, this, &PhotoViewerDialog::addTextClicked);
    fullScreenButton_->setObjectName(QStringLiteral("fullScreen"));
    fullScreenButton_->setAutoDefault(false);
    connect(fullScreenButton_, &QPushButton::clicked, this, [this] { setFullScreenView(true); });

    if (singleMode()) {
        for (int i = 1; i < 5; ++i) buttons_[i]->hide();
        addText_->hide();
        loadPhoto(photoPath_);
    } else {
        showSlide(index_);
    }
    resize(807, 560);
    layOut();
}

PhotoViewerDialog::~PhotoViewerDialog() = default;

ImageButton* PhotoViewerDialog::commandButton(Command command) const {
    for (ImageButton* button : buttons_)
        if (button->controlId() == command) return button;
    return nullptr;
}

Slide* PhotoViewerDialog::slide() const {
    if (!project_ || album_ < 0 || album_ >= project_->albumCount()) return nullptr;
    const auto& slides = project_->album(album_).slides;
    return index_ >= 0 && index_ < static_cast<int>(slides.size()) ? slides[static_cast<std::size_t>(index_)].get()
                                                                   : nullptr;
}

void PhotoViewerDialog::showSlide(int index) {
    index_ = index;
    drag_.stop();
    hover_ = false;
    captionRect_ = {};
    const Slide* shown = slide();
    loadPhoto(shown ? QString::fromStdString(shown->path) : QString());
    refreshCommands();
}

void PhotoViewerDialog::loadPhoto(const QString& path) {
    loaded_ = {};
    loadError_.clear();
    if (!path.isEmpty()) {
        // Decoded no larger than the screen needs (JPEG reduction keeps big photos quick):
        // fitted into the screen, a photo's shorter side is at most the screen's shorter
        // side, so a reduction that keeps both sides at least that long loses nothing.
        DecodeOptions options;
        if (const QScreen* screen = this->screen()) {
            const QSize pixels = screen->size() * screen->devicePixelRatio();
            options.minimumSide = std::min(pixels.width(), pixels.height());
        }
        PictureLoad load = loadPicture(path.toStdString(), PictureType::Unknown, options);
        loaded_ = toQImage(load.picture);
        loadError_ = QString::fromStdString(load.error);
    }
    applyRotation();
}

void PhotoViewerDialog::applyRotation() {
    const Slide* shown = slide();
    const int rotation = shown ? shown->rotation : 0;
    // The quarter turns the disc's stills make; any other angle leaves the photo as is.
    if (!loaded_.isNull() && (rotation == 90 || rotation == 180 || rotation == 270))
        shown_ = loaded_.transformed(QTransform().rotate(rotation));
    else
        shown_ = loaded_;
    scaled_ = {};
    area_->update();
}

void PhotoViewerDialog::refreshCommands() {
    const Slide* shown = slide();
    const int count = project_ && album_ >= 0 && album_ < project_->albumCount()
                          ? static_cast<int>(project_->album(album_).slides.size())
                          : 0;
    commandButton(kPrevious)->setEnabled(index_ > 0);
    commandButton(kNext)->setEnabled(index_ < count - 1);
    commandButton(kRotateClockwise)->setEnabled(shown != nullptr);
    commandButton(kRotateCounterClockwise)->setEnabled(shown != nullptr);
    addText_->setEnabled(shown != nullptr);
    addText_->setChecked(shown && shown->hasCaption);
}

void PhotoViewerDialog::changedSlide() {
    area_->update();
    if (slide()) emit slideChanged(album_, index_);
}

void PhotoViewerDialog::rotateClockwise() {
    if (Slide* shown = slide()) {
        project_->rotateClockwise(*shown);
        applyRotation();
        changedSlide();
    }
}

void PhotoViewerDialog::rotateCounterClockwise() {
    if (Slide* shown = slide()) {
        project_->rotateCounterClockwise(*shown);
        applyRotation();
        changedSlide();
    }
}

void PhotoViewerDialog::showPrevious() {
    if (!singleMode() && index_ > 0) showSlide(index_ - 1);
}

void PhotoViewerDialog::showNext() {
    if (singleMode() || album_ < 0 || album_ >= project_->albumCount()) return;
    if (index_ + 1 < static_cast<int>(project_->album(album_).slides.size())) showSlide(index_ + 1);
}

void PhotoViewerDialog::addTextClicked(bool checked) {
    Slide* shown = slide();
    if (!shown) return;
    project_->setCaptionShown(*shown, checked);
    if (checked) {
        // A caption chosen here is placed by its alignment; only dragging places it freely.
        if (const auto edited = editCaption(shown->caption)) project_->setCaption(*shown, *edited);
    }
    changedSlide();
}

void PhotoViewerDialog::captionDoubleClicked() {
    Slide* shown = slide();
    if (!shown) return;
    // Editing a caption in place keeps a position it was dragged to.
    if (const auto edited = editCaption(shown->caption)) {
        project_->replaceCaption(*shown, *edited);
        changedSlide();
    }
}

void PhotoViewerDialog::setFullScreenView(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on;
    const bool slideCommands = !singleMode();
    for (int i = 0; i < 5; ++i) buttons_[i]->setVisible(!on && (i == 0 || slideCommands));
    addText_->setVisible(!on && slideCommands);
    fullScreenButton_->setVisible(!on);
    if (on) {
        normalGeometry_ = geometry();
        showFullScreen();
        // Without a window manager to honour the full-screen state, cover the screen anyway.
        if (const QScreen* screen = this->screen()) setGeometry(screen->geometry());
        fullScreenBar_ = new QWidget(this, Qt::Tool | Qt::WindowStaysOnTopHint);
        fullScreenBar_->setObjectName(QStringLiteral("fullScreenBar"));
        fullScreenBar_->setWindowTitle(tr("Full Screen"));
        auto* leave = new QToolButton(fullScreenBar_);
        leave->setObjectName(QStringLiteral("closeFullScreen"));
        leave->setText(tr("Close Full Screen"));
        connect(leave, &QToolButton::clicked, this, [this] { setFullScreenView(false); });
        auto* layout = new QVBoxLayout(fullScreenBar_);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(leave);
        fullScreenBar_->move(100, 100);
        fullScreenBar_->show();
    } else {
        delete fullScreenBar_;
        fullScreenBar_ = nullptr;
        showNormal();
        if (normalGeometry_.isValid()) setGeometry(normalGeometry_);
    }
    layOut();
}

void PhotoViewerDialog::layOut() {
    if (fullScreen_) {
        area_->setGeometry(rect());
        return;
    }
    area_->setGeometry(kAreaMargin, kAreaMargin, std::max(1, width() - kColumnWidth),
                       std::max(1, height() - 2 * kAreaMargin));
    const int x = area_->geometry().right() + 1 + (kColumnWidth - kAreaMargin - kButtonWidth) / 2;
    int y = kAreaMargin;
    for (ImageButton* button : buttons_) {
        if (button->isHidden()) continue;
        button->move(x, y);
        y += kButtonPitch;
    }
    y += kAreaMargin;
    if (!addText_->isHidden()) {
        addText_->setGeometry(x, y, kButtonWidth + kAreaMargin, addText_->sizeHint().height());
        y += addText_->height() + kAreaMargin;
    }
    fullScreenButton_->setGeometry(x, y, kButtonWidth, fullScreenButton_->sizeHint().height());
}

void PhotoViewerDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
    update();
}

void PhotoViewerDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageDown: showNext(); return;
        case Qt::Key_PageUp: showPrevious(); return;
        case Qt::Key_Escape:
            if (fullScreen_) {
                setFullScreenView(false);
                return;
            }
            break;
        default: break;
    }
    QDialog::keyPressEvent(event);
}

void PhotoViewerDialog::paintPictureArea() {
    const QSize size = area_->size();
    QImage frame(size, QImage::Format_RGB888);
    frame.fill(kBackground);
    QPainter painter(&frame);
    if (!shown_.isNull()) {
        const QRect fitted = fitPictureInto(shown_.size(), size);
        if (scaled_.size() != fitted.size())
            scaled_ = shown_.scaled(fitted.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(fitted.topLeft(), scaled_);
    } else if (!loadError_.isEmpty()) {
        painter.setPen(QColor(90, 98, 112));
        painter.drawText(frame.rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("This picture cannot be shown:\n%1").arg(loadError_));
    }
    painter.end();

    Slide* shown = slide();
    if (shown && shown->hasCaption) {
        // The engine's caption drawing, over the whole picture area as on a television
        // frame; an anchored caption writes its drawn position back, which a drag starts from.
        Canvas canvas(toPicture(frame));
        const Rect r = drawCaption(canvas, Rect{0, 0, size.width(), size.height()}, shown->caption, hover_);
        captionRect_ = QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
        frame = toQImage(canvas.toPicture());
    } else {
        captionRect_ = {};
    }
    QPainter(area_).drawImage(0, 0, frame);
}

void PhotoViewerDialog::mouseMoved(QPoint at) {
    Slide* shown = slide();
    if (drag_.active() && shown) {
        const QPoint units = drag_.moveTo(at, area_->width());
        if (!units.isNull()) {
            project_->moveCaption(*shown, units.x(), units.y());
            dragMoved_ = true;
            area_->update();
        }
        return;
    }
    const bool over = shown && shown->hasCaption && captionRect_.contains(at) && area_->rect().contains(at);
    if (over == hover_) return;
    hover_ = over;
    if (over)
        area_->setCursor(Qt::SizeAllCursor);
    else
        area_->unsetCursor();
    area_->update();
}

bool PhotoViewerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != area_) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Paint:
            paintPictureArea();
            return true;
        case QEvent::MouseMove:
            mouseMoved(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const Slide* shown = slide();
            if (mouse->button() == Qt::LeftButton && shown && shown->hasCaption &&
                captionRect_.contains(mouse->position().toPoint())) {
                drag_.start(mouse->position().toPoint());
                dragMoved_ = false;
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && drag_.active()) {
                mouseMoved(mouse->position().toPoint());  // the last movement
                drag_.stop();
                if (dragMoved_) changedSlide();
            }
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return true;
            const Slide* shown = slide();
            if (shown && shown->hasCaption && captionRect_.contains(mouse->position().toPoint()))
                captionDoubleClicked();
            else
                accept();
            return true;
        }
        case QEvent::Leave:
            if (!drag_.active()) mouseMoved(QPoint(-1, -1));
            return false;
        default:
            return QDialog::eventFilter(watched, event);
    }
}

}  // namespace tellavine::ui
