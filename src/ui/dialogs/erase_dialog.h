#pragma once
// The "Erase CD-RW" dialog: a quick or a full erase, each with its description. The
// erase runs on its own thread, which sends the elapsed time and the end as numbered
// messages; meanwhile every control is disabled and the dialog cannot be closed (an
// erase cannot be stopped). A refusal (no disc, a disc that is not rewritable) or a
// failure is shown as a message and the dialog lets the user choose again.
//
// Threads: the erase thread uses the driver while the dialog keeps everything that could
// reach it disabled; it is joined before the dialog goes.

#include "platform/message_target.h"
#include "platform/prompt.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QListWidget;
class QPushButton;

namespace tellavine {
class BaseDriver;
}

namespace tellavine::ui {

class QtMessageReceiver;

class EraseDialog : public QDialog {
    Q_OBJECT
public:
    // Messages go to `prompt` (Qt message boxes when null).
    EraseDialog(BaseDriver& driver, std::shared_ptr<Prompt> prompt, QWidget* parent = nullptr);
    ~EraseDialog() override;

    // The Erase button: refuses (with a message) or starts the erase thread.
    void startErase();
    bool erasing() const { return eraser_.joinable(); }

    QString statusText() const;
    QListWidget* methodList() const { return methods_; }
    QPushButton* eraseButton() const { return erase_; }
    // Milliseconds of a monotonic clock for the elapsed time; tests set their own.
    std::function<std::int64_t()> clock;

protected:
    bool event(QEvent* event) override;

public slots:
    void reject() override;

private:
    void showDescription();
    void setChoosing(bool choosing);
    void endErase(const QString& failure);

    BaseDriver& driver_;
    std::shared_ptr<Prompt> prompt_;
    MessageTarget window_;
    std::shared_ptr<QtMessageReceiver> receiver_;
    std::thread eraser_;
    QListWidget* methods_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* erase_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tellavine::ui
