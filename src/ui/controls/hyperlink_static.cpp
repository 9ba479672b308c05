#include "ui/controls/hyperlink_static.h"

#include "ui/app/qt_prompt.h"

#include <QCoreApplication>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QUrl>

namespace tellavine::ui {

QString linkFailureReason(int result) {
    switch (result) {
    case 0: return QCoreApplication::translate("Tellavine", "The operating system is out\nof memory or resources.");
    case 2: return QCoreApplication::translate("Tellavine", "The specified file was not found.");
    case 3: return QCoreApplication::translate("Tellavine", "The specified path was not found.");
    case 5: return QCoreApplication::translate("Tellavine", "The operating system denied\naccess to the specified file.");
    case 8: return QCoreApplication::translate("Tellavine", "There was not enough memory to complete the operation.");
    case 11: return QCoreApplication::translate("Tellavine", "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QCoreApplication::translate("Tellavine", "A sharing violation occurred. ");
    case 27: return QCoreApplication::translate("Tellavine", "The filename association is\nincomplete or invalid.");
    case 28: return QCoreApplication::translate("Tellavine", "The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QCoreApplication::translate("Tellavine", "The DDE transaction failed.");
    case 30:
        return QStringLiteral(
            "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QCoreApplication::translate("Tellavine", "There is no application associated\nwith the given filename extension.");
    case 32: return QCoreApplication::translate("Tellavine", "The specified dynamic-link library was not found.");
    default: return QCoreApplication::translate("Tellavine", "Unknown Error (%1) occurred.").arg(result);
    }
}

int openLinkTarget(const QString& target) {
    const QUrl asUrl(target);
    const bool isAddress = asUrl.isValid() && asUrl.scheme().size() > 1 && asUrl.scheme() != QLatin1String("file");
    QUrl url = isAddress ? asUrl : QUrl::fromUserInput(target, QString(), QUrl::AssumeLocalFile);
    if (!isAddress) {
        const QFileInfo file(url.isLocalFile() ? url.toLocalFile() : target);
        if (!file.exists()) return file.dir().exists() ? kLinkFileNotFound : kLinkPathNotFound;
        if (!file.isReadable()) return kLinkAccessDenied;
        url = QUrl::fromLocalFile(file.absoluteFilePath());
    }
    return QDesktopServices::openUrl(url) ? kLinkOpened : kLinkNoAssociation;
}

bool openLinkOrExplain(const QString& target, Prompt& prompt) {
    const int result = openLinkTarget(target);
    if (result > 32) return true;
    QApplication::beep();
    prompt.showText(("Unable to open hyperlink:\n\n" + linkFailureReason(result)).toStdString(), PromptButtons::Ok);
    return false;
}

HyperlinkStatic::HyperlinkStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    applyColour();
}

void HyperlinkStatic::setTarget(const QString& target) {
    target_ = target;
    if (target_.isEmpty()) target_ = text();
    if (text().isEmpty()) setText(target_);
    setToolTip(target_);
    fitToText();
}

void HyperlinkStatic::setColours(const QColor& normal, const QColor& visited, const QColor& hover) {
    normal_ = normal;
    visitedColour_ = visited;
    hover_ = hover.isValid() ? hover : palette().color(QPalette::Highlight);
    applyColour();
}

void HyperlinkStatic::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    fitToText();
}

void HyperlinkStatic::fitToText() {
    if (!autoSize_) return;
    // Keeps the centre or the right edge as the alignment asks.
    const QRect old = geometry();
    const QSize wanted = sizeHint();
    QRect fitted(old.topLeft(), wanted);
    if (alignment() & Qt::AlignHCenter) fitted.moveCenter(QPoint(old.center().x(), fitted.center().y()));
    if (alignment() & Qt::AlignRight) fitted.moveRight(old.right());
    if (alignment() & Qt::AlignVCenter) fitted.moveTop(old.center().y() - wanted.height() / 2);
    setGeometry(fitted);
}

void HyperlinkStatic::applyColour() {
    const QColor colour = hovered_ ? hover_ : visited_ ? visitedColour_ : normal_;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
}

bool HyperlinkStatic::follow() {
    const QString target = target_.isEmpty() ? text() : target_;
    if (!prompt_) prompt_ = std::make_shared<QtPrompt>();
    const bool opened = openLinkOrExplain(target, *prompt_);
    if (opened) visited_ = true;
    applyColour();
    return opened;
}

void HyperlinkStatic::enterEvent(QEnterEvent*) {
    hovered_ = true;
    applyColour();
}

void HyperlinkStatic::leaveEvent(QEvent*) {
    hovered_ = false;
    applyColour();
}

void HyperlinkStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) follow();
}

}  // namespace tellavine::ui
