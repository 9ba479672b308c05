#pragma once
// The slot of a page that this version of the program does not have yet: it says so
// plainly instead of pretending.

#include <QWidget>

namespace tellavine::ui {

class PlaceholderPage : public QWidget {
    Q_OBJECT
public:
    PlaceholderPage(const QPixmap& picture, const QString& title, const QString& purpose, QWidget* parent = nullptr);
};

}  // namespace tellavine::ui
