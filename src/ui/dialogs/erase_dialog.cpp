#include "ui/dialogs/erase_dialog.h"

#include "recorder/disc_utilities.h"
#include "ui/app/qt_prompt.h"
#include "ui/pages/numbered_message.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tellavine::ui {

EraseDialog::EraseDialog(BaseDriver& driver, std::shared_ptr<Prompt> prompt, QWidget* parent)
    : QDialog(parent), driver_(driver), prompt_(prompt ? std::move(prompt) : std::make_shared<QtPrompt>()) {
    setObjectName(QStringLiteral("eraseDialog"));
    setWindowTitle(tr("Erase CD-RW"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    methods_ = new QListWidget(this);
    methods_->setObjectName(QStringLiteral("methods"));
    methods_->addItems({QString::fromUtf8(disc_text::kQuickErase), QString::fromUtf8(disc_text::kFullErase)});
    methods_->setFixedHeight(methods_->sizeHintForRow(0) * 2 + 2 * methods_->frameWidth() + 4);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("description"));
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 4);
    erase_ = new QPushButton(tr("Erase"), this);
    erase_->setObjectName(QStringLiteral("erase"));
    erase_->setDefault(true);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(erase_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(methods_);
    layout->addWidget(status_, 1);
    layout->addLayout(buttons);
    setFixedWidth(420);

    connect(methods_, &QListWidget::currentRowChanged, this, &EraseDialog::showDescription);
    connect(erase_, &QPushButton::clicked, this, &EraseDialog::startErase);
    connect(cancel_, &QPushButton::clicked, this, &EraseDialog::reject);
    methods_->setCurrentRow(0);
    showDescription();

    receiver_ = std::make_shared<QtMessageReceiver>(this);
    window_.attach(receiver_);
}

EraseDialog::~EraseDialog() {
    receiver_->release();
    window_.detach();
    // A send still queued would keep the thread waiting for this window for ever.
    QCoreApplication::removePostedEvents(this);
    if (eraser_.joinable()) eraser_.join();
}

QString EraseDialog::statusText() const {
    return status_->text();
}

void EraseDialog::showDescription() {
    if (erasing()) return;
    status_->setText(QString::fromUtf8(methods_->currentRow() == 1 ? disc_text::kFullEraseDescription
                                                                   : disc_text::kQuickEraseDescription));
}

void EraseDialog::setChoosing(bool choosing) {
    methods_->setEnabled(choosing);
    erase_->setEnabled(choosing);
    cancel_->setEnabled(choosing);
}

void EraseDialog::startErase() {
    if (erasing()) return;
    if (const std::string refusal = eraseRefusal(driver_); !refusal.empty()) {
        prompt_->showText(refusal, PromptButtons::Ok);
        return;
    }
    EraseJob job;
    job.window = window_;
    job.driver = &driver_;
    job.method = methods_->currentRow() == 1 ? EraseMethod::Full : EraseMethod::Quick;
    job.nowMs = clock;
    setChoosing(false);
    eraser_ = startEraseThread(std::move(job));
}

bool EraseDialog::event(QEvent* event) {
    auto* numbered = event->type() >= QEvent::User ? dynamic_cast<NumberedMessageEvent*>(event) : nullptr;
    if (!numbered) return QDialog::event(event);
    const Message& message = numbered->message;
    if (message.id == WM_ERASE_TICK) {
        status_->setText(QString::fromStdString(eraseElapsedText(message.wParam)));
    } else if (message.id == WM_ERASE_DONE) {
        // The thread waits in this send; it is joined once it has returned.
        const QString failure = message.wParam != 0 ? QString::fromStdString(message.text) : QString();
        QTimer::singleShot(0, this, [this, failure] { endErase(failure); });
    }
    return true;
}

void EraseDialog::endErase(const QString& failure) {
    if (eraser_.joinable()) eraser_.join();
    if (failure.isEmpty()) {
        QDialog::accept();
        return;
    }
    prompt_->showText(failure.toStdString(), PromptButtons::Ok);
    setChoosing(true);
    showDescription();
}

void EraseDialog::reject() {
    // Escape and the title bar's close are ignored while the disc is being erased.
    if (!erasing()) QDialog::reject();
}

}  // namespace tellavine::ui
