#pragma once
// A status bar of fixed panes that can host child controls: each control is kept on
// its pane's rectangle (inside the pane's border unless the pane has none).

#include <QFrame>
#include <QPointer>

#include <vector>

namespace tellavine::ui {

struct StatusPane {
    int id = 0;
    int width = -1;  // pixels; -1 takes the room left over
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct PaneControlInfo {
        QPointer<QWidget> control;
        int paneId;
        bool autoDestroy;
    };
    const StatusPane* pane(int paneId) const;
    void layoutControls();

    std::vector<StatusPane> panes_;
    std::vector<QPixmap> icons_;
    std::vector<PaneControlInfo> controls_;
};

}  // namespace tellavine::ui
