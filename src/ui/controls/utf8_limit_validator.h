#pragma once
// Keeps a line edit's text within the bytes a project file keeps for it. The file's
// fields hold UTF-8, so 255 characters of Cyrillic or Chinese need far more than 255
// bytes: a character limit alone would let the text be cut when it is stored.

#include <QValidator>

namespace tellavine::ui {

class Utf8LimitValidator : public QValidator {
    Q_OBJECT
public:
    Utf8LimitValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

    State validate(QString& input, int&) const override {
        return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
    }
    int maxBytes() const { return maxBytes_; }

private:
    int maxBytes_;
};

// True when `text` fits `maxBytes` bytes of UTF-8.
inline bool fitsUtf8Bytes(const QString& text, int maxBytes) {
    return text.toUtf8().size() <= maxBytes;
}

}  // namespace tellavine::ui
