#pragma once
// The remote control beside the preview's television: nine album keys, Start, Stop and
// the two menu page keys, each a skinned button at its place on the remote's face. It
// forwards every key to the preview page.

#include <QPixmap>
#include <QWidget>

#include <map>

namespace tellavine::ui {

class ImageButton;

enum RemoteCommand : int {
    kRemoteAlbum1 = 30001,  // album keys 1..9 are 30001..30009
    kRemoteAlbum9 = 30009,
    kRemoteStart = 30010,
    kRemoteStop = 30011,
    kRemotePreviousMenu = 30012,
    kRemoteNextMenu = 30013,
};

class CDlgRemoteControl : public QWidget {
    Q_OBJECT
public:
    explicit CDlgRemoteControl(QWidget* parent = nullptr);

    ImageButton* button(int command) const;

signals:
    void command(int id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::map<int, ImageButton*> buttons_;
    QPixmap face_;  // drawn at the screen's pixel ratio on first paint
};

}  // namespace tellavine::ui
