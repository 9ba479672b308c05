#include "ui/controls/number_spin_edit.h"

#include <QLineEdit>

#include <algorithm>

namespace tellavine::ui {

NumberSpinEdit::NumberSpinEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

std::optional<int> NumberSpinEdit::number() const {
    bool ok = false;
    const int value = text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void NumberSpinEdit::setNumber(int value) {
    lineEdit()->setText(QString::number(value));
}

void NumberSpinEdit::stepBy(int steps) {
    // A step from a number outside the range (or from no number) lands inside it.
    const long long from = number().value_or(minimum_);
    setNumber(static_cast<int>(std::clamp<long long>(from + steps, minimum_, maximum_)));
    lineEdit()->selectAll();
}

QValidator::State NumberSpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled NumberSpinEdit::stepEnabled() const {
    const auto value = number();
    if (!value) return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (*value < maximum_) enabled |= StepUpEnabled;
    if (*value > minimum_) enabled |= StepDownEnabled;
    return enabled;
}

}  // namespace tellavine::ui
