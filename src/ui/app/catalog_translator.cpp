#include "ui/app/catalog_translator.h"

#include "platform/folders.h"
#include "project/language.h"
#include "project/text_catalog.h"

#include <QCoreApplication>
#include <QStringList>

namespace tellavine::ui {

QString CatalogTranslator::translate(const char* /*context*/, const char* sourceText, const char* /*disambiguation*/,
                                     int /*n*/) const {
    if (!sourceText) return {};
    const auto text = translationOf(sourceText);
    return text ? QString::fromStdString(*text) : QString();
}

bool installLanguage(QStringList& arguments, QString& problem) {
    QString option;
    for (int i = 1; i < arguments.size();) {
        if (arguments.at(i) == QLatin1String("--language") && i + 1 < arguments.size()) {
            option = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else if (arguments.at(i).startsWith(QLatin1String("--language="))) {
            option = arguments.at(i).mid(int(sizeof("--language=")) - 1);
            arguments.removeAt(i);
        } else {
            ++i;
        }
    }
    const std::string& dataDir = appFolders().programDir;
    if (!option.isEmpty() && !languageAvailable(option.toStdString(), dataDir)) {
        problem = QStringLiteral("--language: no texts for '%1' (there are en and de).").arg(option);
        return false;
    }
    useLanguage(startUpLanguage(option.toStdString(), appFolders()), dataDir);
    // One translator for the whole run; the application owns it.
    QCoreApplication::installTranslator(new CatalogTranslator(QCoreApplication::instance()));
    return true;
}

}  // namespace tellavine::ui
