#pragma once
// A text that acts as a link: underlined, coloured for normal, visited and hovered,
// with a hand cursor and the target as its tooltip. A click opens the target with the
// desktop's default handler; a failure beeps and says why.

#include "platform/prompt.h"

#include <QLabel>

#include <memory>

namespace tellavine::ui {

// Why a target could not be opened, numbered as the link failure table numbers them.
enum LinkFailure : int {
    kLinkOutOfResources = 0,
    kLinkFileNotFound = 2,
    kLinkPathNotFound = 3,
    kLinkAccessDenied = 5,
    kLinkNoAssociation = 31,
    kLinkOpened = 33,  // anything above 32 is success
};

// The reason text for a failure number ("Unknown Error (%d) occurred." for others).
QString linkFailureReason(int result);
// Opens an address (scheme://...) or a file with the desktop's handler. Local targets
// are checked first so that the user learns the real reason. The result number.
int openLinkTarget(const QString& target);
// Opens the target; on failure beeps and shows "Unable to open hyperlink:\n\n<reason>".
bool openLinkOrExplain(const QString& target, Prompt& prompt);

class HyperlinkStatic : public QLabel {
    Q_OBJECT
public:
    explicit HyperlinkStatic(const QString& text = {}, QWidget* parent = nullptr);

    void setTarget(const QString& target);
    // Where a failure is told (Qt message boxes unless set).
    void setPrompt(std::shared_ptr<Prompt> prompt) { prompt_ = std::move(prompt); }
    QString target() const { return target_; }
    // Normal, visited and hover colours; an invalid hover colour means the highlight.
    void setColours(const QColor& normal, const QColor& visited, const QColor& hover = QColor());
    void setAutoSize(bool autoSize);
    bool visited() const { return visited_; }

    // Opens the target as a click does; true when it opened.
    bool follow();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::shared_ptr<Prompt> prompt_;
    void applyColour();
    void fitToText();

    QString target_;
    QColor normal_{230, 238, 28};
    QColor visitedColour_{0, 255, 0};
    QColor hover_{5, 206, 30};
    bool visited_ = false;
    bool hovered_ = false;
    bool autoSize_ = true;
};

}  // namespace tellavine::ui
