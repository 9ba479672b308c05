// The desktop program with --language de: the main window's menus and toolbar, the burn
// page and a message box show German, and a language without texts is refused.

#include "platform/folders.h"
#include "project/language.h"
#include "project/messages.h"
#include "project/strings.h"
#include "project/text_catalog.h"
#include "support/temp_dir.h"
#include "test_folders.h"
#include "ui/app/catalog_translator.h"
#include "ui/app/qt_prompt.h"
#include "ui/pages/main_window.h"
#include "ui/pages/page_burn.h"
#include "ui/pages/recorder_access.h"
#include "when_modal.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

using namespace tellavine;
using namespace tellavine::ui;

namespace {

// Every text a user reads on `widget` and its children (labels, buttons, group boxes,
// menu and toolbar commands with their tooltips).
QStringList visibleTexts(QWidget* widget) {
    QStringList texts;
    for (auto* label : widget->findChildren<QLabel*>()) texts << label->text();
    for (auto* button : widget->findChildren<QAbstractButton*>()) texts << button->text() << button->toolTip();
    for (auto* box : widget->findChildren<QGroupBox*>()) texts << box->title();
    for (auto* action : widget->findChildren<QAction*>()) texts << action->text() << action->iconText() << action->toolTip();
    texts.removeAll(QString());
    return texts;
}

// The texts that are still the English of a German entry.
QStringList stillEnglish(const QStringList& texts) {
    QStringList english;
    for (const QString& text : texts) {
        const auto german = translationOf(text.toStdString());
        if (german && QString::fromStdString(*german) != text) english << text;
    }
    return english;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::TempDir> dir_;

    MainWindowServices services() {
        MainWindowServices s;
        s.recorders = std::make_shared<NoRecorders>();
        s.prompt = std::make_shared<QtPrompt>();
        return s;
    }

private slots:
    void initTestCase() {
        dir_ = std::make_unique<testing::TempDir>();
        const AppFolders folders = testing::useTestFolders(*dir_);
        // The setting says English; the option outweighs it.
        testing::writeFile(folders.settingsFile(), "[Options]\nLanguage=en\n[Window]\nbMaximized=0\n");

        QStringList unknown{QStringLiteral("tellavine"), QStringLiteral("--language"), QStringLiteral("xx")};
        QString problem;
        QVERIFY(!installLanguage(unknown, problem));
        QVERIFY(problem.contains(QStringLiteral("xx")));

        QStringList arguments{QStringLiteral("tellavine"), QStringLiteral("--language"), QStringLiteral("de"),
                              QStringLiteral("trip.ovp")};
        QVERIFY(installLanguage(arguments, problem));
        QCOMPARE(arguments, QStringList({QStringLiteral("tellavine"), QStringLiteral("trip.ovp")}));
    }

    void cleanupTestCase() { useLanguage("en", appFolders().programDir); }

    void mainWindowMenusAndToolbarAreGerman() {
        MainWindow window(services(), QString());
        QStringList menus;
        for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
        QCOMPARE(menus, QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&Hilfe"}));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tellavine - [Neues Projekt]"));
        const QStringList texts = visibleTexts(&window);
        QVERIFY(texts.contains(QStringLiteral("Ö&ffnen...")));
        QVERIFY(texts.contains(QStringLiteral("CD brennen")));
        QVERIFY(texts.contains(QStringLiteral("Bilder zur aktuellen Diashow hinzufügen")));  // numbered tooltip
        QVERIFY2(stillEnglish(texts).isEmpty(), qPrintable(stillEnglish(texts).join(QStringLiteral(" | "))));
    }

    void burnPageIsGerman() {
        MainWindow window(services(), QString());
        window.showPage(Page::Burn);
        const QStringList texts = visibleTexts(window.burnPage());
        QVERIFY(texts.contains(QStringLiteral("Disc brennen")));
        QVERIFY(texts.contains(QStringLiteral("Die CD-R/RW brennen oder in eine Disc-Abbilddatei schreiben.")));  // the Burn Now tooltip
        QVERIFY(texts.contains(QStringLiteral("TV-Optionen")));
        QVERIFY2(stillEnglish(texts).isEmpty(), qPrintable(stillEnglish(texts).join(QStringLiteral(" | "))));
    }

    void messageBoxIsGerman() {
        EngineServices engine;
        engine.prompt = std::make_shared<QtPrompt>();
        QString text;
        QStringList buttons;
        testing::whenModal<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            for (QAbstractButton* button : box->buttons()) buttons << button->text();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(engine.showMessage(IDS_SAVE_MODIFIED, PromptButtons::YesNo), PromptAnswer::No);
        QCOMPARE(text, QStringLiteral("Die aktuelle Projektdatei wurde geändert.\nMöchten Sie sie speichern?"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({"&Ja", "&Nein"}));
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
