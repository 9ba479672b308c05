#include "ui/controls/pane_status_bar.h"

#include <QPainter>
#include <algorithm>

namespace tellavine::ui {
namespace {

constexpr int kPaneGap = 3;
constexpr int kBorder = 2;

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

QRect PaneStatusBar::paneRect(int paneId) const {
    int fixed = 0;
    int stretchers = 0;
    for (const StatusPane& p : panes_) {
        if (p.width < 0) {
            ++stretchers;
        } else {
            fixed += p.width;
        }
    }
    const int gaps = kPaneGap * std::max(0, static_cast<int>(panes_.size()) - 1);
    const int spare = std::max(0, width() - fixed - gaps);
    int x = 0;
    for (const StatusPane& p : panes_) {
        const int w = p.width < 0 ? spare / std::max(1, stretchers) : p.width;
        if (p.id == paneId) return QRect(x, 0, w, height());
        x += w + kPaneGap;
    }
    return {};
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
        QRect textRect = r.adjusted(6, 0, -4, 0);
        if (!icons_[i].isNull()) {
            const QSize iconSize = icons_[i].size() / icons_[i].devicePixelRatio();
            painter.drawPixmap(textRect.left(), r.center().y() - iconSize.height() / 2, icons_[i]);
            textRect.setLeft(textRect.left() + iconSize.width() + 4);
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(p.text, Qt::ElideRight, textRect.width()));
    }
}

}  // namespace tellavine::ui
