#include "ui/pages/progress_window.h"

#include "ui/app/qt_prompt.h"
#include "ui/controls/text_progress_bar.h"
#include "ui/pages/numbered_message.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tellavine::ui {
namespace {

constexpr const char* kCancelQuestion = "Do you want to cancel the process?";

}  // namespace

ProgressWindow::ProgressWindow(std::shared_ptr<BuildJob> job, bool simulate, bool imageMode, QWidget* parent)
    : QDialog(parent), job_(std::move(job)), progress_(*job_, simulate) {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(imageMode ? tr("Writing Disc Image") : tr("Writing CD"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* group = new QGroupBox(tr("Progress"), this);
    status_ = new QLabel(group);
    status_->setObjectName(QStringLiteral("status"));  // 1033
    status_->setWordWrap(true);
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 4);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bar_ = new TextProgressBar(group);  // 1083
    bar_->setObjectName(QStringLiteral("bar"));
    bar_->setFixedHeight(22);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(status_);
    groupLayout->addWidget(bar_);

    button_ = new QPushButton(group);  // 2
    button_->setObjectName(QStringLiteral("cancel"));
    button_->setMinimumWidth(96);
    connect(button_, &QPushButton::clicked, this, &ProgressWindow::cancelOrClose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setFixedWidth(440);

    display(progress_.view());
    receiver_ = std::make_shared<QtMessageReceiver>(this);
    job_->window.attach(receiver_);
}

ProgressWindow::~ProgressWindow() {
    receiver_->release();
    job_->window.detach();
}

QString ProgressWindow::statusText() const {
    return status_->text();
}

QString ProgressWindow::buttonText() const {
    return button_->text();
}

void ProgressWindow::display(const ProgressView& view) {
    status_->setText(QString::fromStdString(view.status));
    bar_->setVisible(view.barVisible);
    bar_->setText(QString::fromStdString(view.barText));
    bar_->setPosition(view.position);
    button_->setText(view.closeLabel ? tr("&Close") : tr("Cancel"));
}

bool ProgressWindow::event(QEvent* event) {
    if (event->type() >= QEvent::User) {
        if (auto* numbered = dynamic_cast<NumberedMessageEvent*>(event)) {
            if (progress_.handle(numbered->message)) {
                display(progress_.view());
                if (progress_.view().done) closeCancelQuestion();
            }
            return true;
        }
    }
    return QDialog::event(event);
}

void ProgressWindow::cancelOrClose() {
    if (!progress_.view().done) {
        if (!prompt_) prompt_ = std::make_shared<QtPrompt>();
        const PromptAnswer answer = prompt_->showText(kCancelQuestion, PromptButtons::YesNo);
        // The build may have ended while the question was open: then its outcome stands.
        if (progress_.view().done || answer != PromptAnswer::Yes) return;
        // The build thread sees the signal at its next unit of work and stops by itself.
        if (job_->cancelEvent) job_->cancelEvent->set();
    }
    job_->window.detach();
    QDialog::reject();
}

void ProgressWindow::closeCancelQuestion() {
    // The question's box is shown over this window (the active modal one when asked).
    for (QMessageBox* box : findChildren<QMessageBox*>()) {
        if (box->isVisible() && box->text() == QLatin1String(kCancelQuestion)) box->done(QMessageBox::No);
    }
}

void ProgressWindow::reject() {
    // Escape and the title bar's close act as the button does.
    cancelOrClose();
}

}  // namespace tellavine::ui
