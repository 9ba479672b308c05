#pragma once
// The modal window of a running build: a status line, a progress bar with text and
// the Cancel button, which becomes "&Close" when the build is over. It attaches itself
// to the job's message target and turns the build's numbered messages into text.

#include "pipeline/build_progress.h"
#include "project/build_job.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace tellavine::ui {

class QtMessageReceiver;
class TextProgressBar;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(std::shared_ptr<BuildJob> job, bool simulate, bool imageMode, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    const ProgressView& view() const { return progress_.view(); }
    QString statusText() const;
    QString buttonText() const;
    TextProgressBar* bar() const { return bar_; }
    bool done() const { return progress_.view().done; }

    // The Cancel / Close button: closes when done, else asks and cancels the build. A
    // build that ends while the question is open closes the question; its outcome stays.
    void cancelOrClose();
    // Where the cancel question is asked (Qt message boxes unless set).
    void setPrompt(std::shared_ptr<Prompt> prompt) { prompt_ = std::move(prompt); }

protected:
    bool event(QEvent* event) override;
    void reject() override;

private:
    void display(const ProgressView& view);
    void closeCancelQuestion();

    std::shared_ptr<BuildJob> job_;
    std::shared_ptr<QtMessageReceiver> receiver_;
    std::shared_ptr<Prompt> prompt_;
    BuildProgress progress_;  // reads *job_
    QLabel* status_ = nullptr;
    TextProgressBar* bar_ = nullptr;
    QPushButton* button_ = nullptr;
};

}  // namespace tellavine::ui
