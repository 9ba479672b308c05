#pragma once
// Qt's tr() texts in the chosen language: looks each source text up in the language's
// free-text catalog (project/text_catalog.h), whatever its context, so one German entry
// serves every window that shows the same English text. Texts the catalog lacks stay
// English.

#include <QTranslator>

namespace tellavine::ui {

class CatalogTranslator : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// Reads --language from `arguments` (and removes it with its value), chooses the language
// from it, the settings and the environment, and installs the translator for it.
// False when --language names a language without texts; `problem` then says why.
bool installLanguage(QStringList& arguments, QString& problem);

}  // namespace tellavine::ui
