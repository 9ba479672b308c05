#pragma once
// "Preview": one photo of an album as large as the window allows, with its caption.
// The user steps through the album (Previous / Next, Page Up / Page Down), rotates the
// photo, switches its caption on and off ("Add Text"), edits the caption (double click
// on it) and drags it to a place of its own ("User Defined"). Every change goes to the
// project at once through its model operations; closing undoes nothing.
//
// In single mode the viewer shows one photo file of the editor's file list: no slide,
// no caption, and the slide commands are hidden.

#include "project/model.h"
#include "ui/dialogs/caption_drag.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <optional>

class QCheckBox;
class QPushButton;

namespace tellavine::ui {

class ImageButton;

// Where a picture of `picture` size stands when it is fitted whole into `area`, keeping
// its proportions and centred (a wide picture fills the width unless it then is too tall,
// a tall one the height unless it then is too wide).
QRect fitPictureInto(QSize picture, QSize area);

class PhotoViewerDialog : public QDialog {
    Q_OBJECT
public:
    // Command ids of the buttons in the column on the right.
    enum Command { kClose = 39001, kRotateClockwise = 39002, kRotateCounterClockwise = 39003,
                   kPrevious = 39004, kNext = 39005 };

    PhotoViewerDialog(Project& project, int album, int slide, QWidget* parent = nullptr);
    explicit PhotoViewerDialog(const QString& photoPath, QWidget* parent = nullptr);
    ~PhotoViewerDialog() override;

    bool singleMode() const { return project_ == nullptr; }
    int currentSlide() const { return index_; }
    QWidget* pictureArea() const { return area_; }
    ImageButton* commandButton(Command command) const;
    QCheckBox* addTextBox() const { return addText_; }
    // The caption's rectangle as last drawn, in picture-area pixels (empty without one).
    QRect captionRect() const { return captionRect_; }
    bool isFullScreenView() const { return fullScreen_; }

    // Opens the Add Text dialog on a caption; replaced in tests. Nothing means Cancel.
    std::function<std::optional<SlideCaption>(const SlideCaption&)> editCaption;

    void rotateClockwise();
    void rotateCounterClockwise();
    void showPrevious();
    void showNext();
    void setFullScreenView(bool on);

signals:
    // A slide's picture or caption changed: its thumbnail wants rebuilding.
    void slideChanged(int album, int slide);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PhotoViewerDialog(Project* project, int album, int slide, const QString& photoPath, QWidget* parent);
    Slide* slide() const;
    void showSlide(int index);
    void loadPhoto(const QString& path);
    void applyRotation();
    void refreshCommands();
    void layOut();
    void paintPictureArea();
    void mouseMoved(QPoint at);
    void captionDoubleClicked();
    void addTextClicked(bool checked);
    void changedSlide();

    Project* project_;
    int album_;
    int index_;
    QString photoPath_;  // single mode
    QImage loaded_;      // as read, turned upright from its EXIF
    QImage shown_;       // rotated by the slide's rotation
    QImage scaled_;      // shown_ fitted into the picture area, kept until either changes
    QString loadError_;
    QRect captionRect_;
    bool hover_ = false;
    CaptionDrag drag_;
    bool dragMoved_ = false;
    bool fullScreen_ = false;
    QRect normalGeometry_;

    QWidget* area_;
    ImageButton* buttons_[5] = {};
    QCheckBox* addText_;
    QPushButton* fullScreenButton_;
    QWidget* fullScreenBar_ = nullptr;
};

}  // namespace tellavine::ui
