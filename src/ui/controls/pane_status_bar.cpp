#include "ui/controls/pane_status_bar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace tellavine::ui {
namespace {

constexpr int kPaneGap = 3;
constexpr int kBorder = 2;
constexpr int kTextLeft = 6;
constexpr int kTextRight = 4;
constexpr int kIconGap = 4;
constexpr int kMinRestWidth = 120;

}  // namespace

PaneStatusBar::PaneStatusBar(QWidget* parent) : QWidget(parent) {}

PaneStatusBar::~PaneStatusBar() {
    for (PaneControlInfo& info : controls_) {
        if (!info.control) continue;
        info.control->close();
        if (info.autoDestroy) delete info.control;
    }
}

void PaneStatusBar::setPanes(const std::vector<StatusPane>& panes) {
    panes_ = panes;
    icons_.assign(panes_.size(), QPixmap());
    layoutControls();
    update();
}

const StatusPane* PaneStatusBar::pane(int paneId) const {
    for (const StatusPane& p : panes_) {
        if (p.id == paneId) return &p;
    }
    return nullptr;
}

void PaneStatusBar::setPaneText(int paneId, const QString& text) {
    for (StatusPane& p : panes_) {
        if (p.id == paneId && p.text != text) {
            p.text = text;
            layoutControls();  // a pane sized by its text moves the others
            update();
        }
    }
}

QString PaneStatusBar::paneText(int paneId) const {
    const StatusPane* p = pane(paneId);
    return p ? p->text : QString();
}

void PaneStatusBar::setPaneIcon(int paneId, const QPixmap& icon) {
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (panes_[i].id == paneId) icons_[i] = icon;
    }
    layoutControls();
    update();
}

bool PaneStatusBar::addPaneControl(QWidget* control, int paneId, bool autoDestroy) {
    if (!control || !pane(paneId)) return false;
    for (const PaneControlInfo& info : controls_) {
        if (info.paneId == paneId && info.control) return false;
    }
    control->setParent(this);
    controls_.push_back({control, paneId, autoDestroy});
    layoutControls();
    control->show();
    update();
    return true;
}

int PaneStatusBar::paneIndex(int paneId) const {
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (panes_[i].id == paneId) return static_cast<int>(i);
    }
    return -1;
}

int PaneStatusBar::fittedWidth(std::size_t index) const {
    const QRect probe(0, 0, 0, height());
    const QRect text = textRect(index, probe);
    // What textRect takes from the pane, plus the text itself.
    return -text.width() + fontMetrics().horizontalAdvance(panes_[index].text) + 2;
}

std::vector<int> PaneStatusBar::paneWidths() const {
    std::vector<int> widths(panes_.size(), 0);
    int fixed = 0;
    int fitted = 0;
    int stretchers = 0;
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        const StatusPane& p = panes_[i];
        if (p.width == kPaneFitsText) {
            widths[i] = fittedWidth(i);
            fitted += widths[i];
        } else if (p.width < 0) {
            ++stretchers;
        } else {
            widths[i] = p.width;
            fixed += p.width;
        }
    }
    const int gaps = kPaneGap * std::max(0, static_cast<int>(panes_.size()) - 1);
    // The leftover panes (the gauge) keep a usable width before text panes give way.
    const int roomForText = std::max(0, width() - fixed - gaps - stretchers * kMinRestWidth);
    if (fitted > roomForText) {
        for (std::size_t i = 0; i < panes_.size(); ++i) {
            if (panes_[i].width == kPaneFitsText) widths[i] = static_cast<int>(1LL * widths[i] * roomForText / fitted);
        }
        fitted = roomForText;
    }
    const int spare = std::max(0, width() - fixed - fitted - gaps);
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (panes_[i].width == kPaneTakesRest) widths[i] = spare / std::max(1, stretchers);
    }
    return widths;
}

QRect PaneStatusBar::paneRect(int paneId) const {
    const int index = paneIndex(paneId);
    if (index < 0) return {};
    const std::vector<int> widths = paneWidths();
    int x = 0;
    for (int i = 0; i < index; ++i) x += widths[static_cast<std::size_t>(i)] + kPaneGap;
    return QRect(x, 0, widths[static_cast<std::size_t>(index)], height());
}

QRect PaneStatusBar::textRect(std::size_t index, const QRect& pane) const {
    QRect text = pane.adjusted(kTextLeft, 0, -kTextRight, 0);
    if (!icons_[index].isNull()) {
        const QSize iconSize = icons_[index].size() / icons_[index].devicePixelRatio();
        text.setLeft(text.left() + iconSize.width() + kIconGap);
    }
    return text;
}

QString PaneStatusBar::paneDisplayText(int paneId) const {
    const int index = paneIndex(paneId);
    if (index < 0) return {};
    const QRect text = textRect(static_cast<std::size_t>(index), paneRect(paneId));
    return fontMetrics().elidedText(panes_[static_cast<std::size_t>(index)].text, Qt::ElideMiddle,
                                    std::max(0, text.width()));
}

bool PaneStatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (const StatusPane& p : panes_) {
            if (!p.text.isEmpty() && paneRect(p.id).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), p.text, this, paneRect(p.id));
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void PaneStatusBar::layoutControls() {
    for (const PaneControlInfo& info : controls_) {
        if (!info.control) continue;
        const StatusPane* p = pane(info.paneId);
        QRect r = paneRect(info.paneId);
        if (p && p->bordered) r.adjust(kBorder, kBorder, -kBorder, -kBorder);
        info.control->setGeometry(r);
    }
}

void PaneStatusBar::resizeEvent(QResizeEvent*) {
    layoutControls();
}

void PaneStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        const StatusPane& p = panes_[i];
        const QRect r = paneRect(p.id);
        if (p.bordered) {
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
        const QRect text = textRect(i, r);
        if (!icons_[i].isNull()) {
            const QSize iconSize = icons_[i].size() / icons_[i].devicePixelRatio();
            painter.drawPixmap(r.left() + kTextLeft, r.center().y() - iconSize.height() / 2, icons_[i]);
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, paneDisplayText(p.id));
    }
}

}  // namespace tellavine::ui
