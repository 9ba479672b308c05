#pragma once
// The Add Text dialog's preview: the caption's text drawn by the engine's caption
// drawing at its stored size (one reference unit a pixel), shadow first, centred in the
// area on a neutral grey on which light and dark colours both show.

#include "project/model.h"

#include <QFrame>

namespace tellavine::ui {

class CaptionPreview : public QFrame {
    Q_OBJECT
public:
    explicit CaptionPreview(QWidget* parent = nullptr);

    void setCaption(const SlideCaption& caption);
    QSize sizeHint() const override { return {360, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SlideCaption caption_;
};

}  // namespace tellavine::ui
