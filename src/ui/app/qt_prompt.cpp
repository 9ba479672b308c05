#include "ui/app/qt_prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace tellavine::ui {
namespace {

// Over the modal window when one is up (the box belongs to what it interrupts), else
// over the active window.
QWidget* owner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

PromptAnswer showOnUiThread(const QString& text, PromptButtons buttons) {
    const bool question = buttons == PromptButtons::YesNo;
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information,
                    QString::fromUtf8(kMessageCaption), text,
                    question ? QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No)
                             : QMessageBox::StandardButtons(QMessageBox::Ok),
                    owner());
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    if (!question) return PromptAnswer::Ok;
    return answer == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

}  // namespace

PromptAnswer QtPrompt::showText(const std::string& text, PromptButtons buttons) {
    const QString message = QString::fromStdString(text);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    if (QThread::currentThread() == app->thread()) return showOnUiThread(message, buttons);
    PromptAnswer answer = PromptAnswer::No;
    QMetaObject::invokeMethod(
        app, [&] { answer = showOnUiThread(message, buttons); }, Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace tellavine::ui
