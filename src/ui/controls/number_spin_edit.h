#pragma once
// An edit for a whole number with up and down arrows beside it. Typing is free: what is
// typed is checked when the dialog's OK is pressed, so a number out of range gets the
// dialog's message instead of being silently refused key by key. The arrows (and the
// Up and Down keys) step within the range.

#include <QAbstractSpinBox>

#include <optional>

namespace tellavine::ui {

class NumberSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    NumberSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

    // The typed text as an integer (surrounding spaces allowed), nothing when it is not one.
    std::optional<int> number() const;
    void setNumber(int value);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // The edit itself, where the number is typed.
    using QAbstractSpinBox::lineEdit;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int minimum_;
    int maximum_;
};

}  // namespace tellavine::ui
