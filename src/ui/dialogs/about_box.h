#pragma once
// The About box: the About picture alone, centred on the main window, closed by a
// left click (or Escape).

#include <QDialog>

namespace tellavine::ui {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace tellavine::ui
