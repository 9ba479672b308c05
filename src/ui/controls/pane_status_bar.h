#pragma once
// A status bar of panes that can host child controls: each control is kept on its
// pane's rectangle (inside the pane's border unless the pane has none). A pane is as
// wide as given, as wide as its text (kPaneFitsText), or takes the room left over.
// When the bar is too narrow, text panes shrink and their text is elided in the middle;
// the tooltip then shows it whole.

#include <QFrame>
#include <QPointer>

#include <vector>

namespace tellavine::ui {

inline constexpr int kPaneTakesRest = -1;
inline constexpr int kPaneFitsText = -2;

struct StatusPane {
    int id = 0;
    int width = kPaneTakesRest;  // pixels, kPaneTakesRest or kPaneFitsText
    bool bordered = true;
    QString text;
};

class PaneStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit PaneStatusBar(QWidget* parent = nullptr);
    ~PaneStatusBar() override;

    void setPanes(const std::vector<StatusPane>& panes);
    void setPaneText(int paneId, const QString& text);
    QString paneText(int paneId) const;
    void setPaneIcon(int paneId, const QPixmap& icon);
    // False when the pane does not exist or already hosts a control. With autoDestroy
    // the bar deletes the control when it goes; otherwise it only closes it.
    bool addPaneControl(QWidget* control, int paneId, bool autoDestroy);
    QRect paneRect(int paneId) const;  // the pane's rectangle, borders included
    // The text as drawn: whole when it fits, else elided in the middle.
    QString paneDisplayText(int paneId) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct PaneControlInfo {
        QPointer<QWidget> control;
        int paneId;
        bool autoDestroy;
    };
    const StatusPane* pane(int paneId) const;
    int paneIndex(int paneId) const;
    std::vector<int> paneWidths() const;
    QRect textRect(std::size_t index, const QRect& pane) const;
    int fittedWidth(std::size_t index) const;
    void layoutControls();

    std::vector<StatusPane> panes_;
    std::vector<QPixmap> icons_;
    std::vector<PaneControlInfo> controls_;
};

}  // namespace tellavine::ui
