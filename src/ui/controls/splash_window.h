#pragma once
// The start-up picture: a borderless window centred on its parent that closes itself
// after half a second or at the first key or mouse press, which it consumes.

#include <QPointer>
#include <QWidget>

namespace tellavine::ui {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(const QPixmap& picture);

    static void enable(bool enabled);
    // Shows the splash over `parent` once; nothing when disabled or already shown.
    static void show(QWidget* parent, const QPixmap& picture);
    static bool visible();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace tellavine::ui
