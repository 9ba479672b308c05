#include "ui/pages/placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tellavine::ui {

PlaceholderPage::PlaceholderPage(const QPixmap& picture, const QString& title, const QString& purpose,
                                 QWidget* parent)
    : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(232, 232, 232));
    setPalette(background);

    auto* heading = new QLabel(title, this);
    QFont headingFont = heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    auto* text = new QLabel(purpose + QStringLiteral("\n\n") +
                                tr("This page is not part of this version of Tellavine yet."),
                            this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    heading->setAlignment(Qt::AlignCenter);
    QPalette muted = text->palette();
    muted.setColor(QPalette::WindowText, QColor(90, 98, 112));
    text->setPalette(muted);

    auto* icon = new QLabel(this);
    icon->setPixmap(picture);
    icon->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(icon);
    layout->addSpacing(12);
    layout->addWidget(heading);
    layout->addSpacing(8);
    layout->addWidget(text);
    layout->addStretch();
    layout->setContentsMargins(40, 20, 40, 20);
}

}  // namespace tellavine::ui
