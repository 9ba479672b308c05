// The language choice and its two tables: which language wins, how the free-text
// catalog reads, and that a chosen language reaches messages and texts with English
// wherever its tables have no entry.

#include "platform/profile.h"
#include "project/language.h"
#include "project/messages.h"
#include "project/settings.h"
#include "project/strings.h"
#include "project/text_catalog.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tellavine;

namespace {

struct LocaleCase {
    const char* locale;
    const char* language;
};

class LanguageOfLocaleTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LanguageOfLocaleTest, TakesTheLanguagePart) {
    EXPECT_EQ(languageOfLocale(GetParam().locale), GetParam().language);
}

INSTANTIATE_TEST_SUITE_P(Locales, LanguageOfLocaleTest,
                         ::testing::Values(LocaleCase{"de_DE.UTF-8", "de"}, LocaleCase{"de", "de"},
                                           LocaleCase{"DE_at@euro", "de"}, LocaleCase{"en_GB", "en"},
                                           LocaleCase{"C", ""}, LocaleCase{"C.UTF-8", ""}, LocaleCase{"POSIX", ""},
                                           LocaleCase{"", ""}, LocaleCase{"../x", ""}));

// A data folder with German tables (a French .ini without its .tsv is no language).
class LanguageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "lang");
        tellavine::testing::writeFile(dir.file("lang/de.ini"), "[STRINGS]\n305=Geändert.\\nSpeichern?\n314=Bild:\\n%s\n");
        tellavine::testing::writeFile(dir.file("lang/de.tsv"), "# comment\nOpen\tÖffnen\nTotal : %1 Albums, %2 Photos\t%2 Fotos in %1 Alben\n");
        tellavine::testing::writeFile(dir.file("lang/fr.ini"), "[STRINGS]\n305=Modifié\n");
    }
    void TearDown() override { useLanguage("en", dir.folder()); }

    std::string choose(LanguageSources sources) const { return chooseLanguage(sources, dir.folder()); }

    tellavine::testing::TempDir dir;
};

TEST_F(LanguageFolder, OptionThenSettingThenLanguageListThenLang) {
    EXPECT_EQ(choose({"de", "en", "en", "en_US"}), "de");
    EXPECT_EQ(choose({"en", "de", "de", "de_DE"}), "en");
    EXPECT_EQ(choose({"", "de", "", ""}), "de");
    EXPECT_EQ(choose({"", "", "fr:de:en", ""}), "de");   // fr has no complete table: the next one
    EXPECT_EQ(choose({"", "", "en:de", "de_DE"}), "en");  // English named first stays English
    EXPECT_EQ(choose({"", "", "", "de_DE.UTF-8"}), "de");
    EXPECT_EQ(choose({"", "", "", "C"}), "en");
    EXPECT_EQ(choose({"xx", "", "", "ja_JP"}), "en");
    EXPECT_FALSE(languageAvailable("fr", dir.folder()));
    EXPECT_FALSE(languageAvailable("../lang/de", dir.folder()));
}

TEST_F(LanguageFolder, SettingsFileCountsAfterTheOption) {
    AppFolders folders;
    folders.programDir = dir.folder();
    folders.settingsDir = dir.folder();
    folders.defaultTempDir = dir.folder() + "Temp/";
    tellavine::testing::writeFile(folders.settingsFile(), "[Options]\nLanguage=de\n");
    EXPECT_EQ(readSettings(ProfileDocument::load(folders.settingsFile()), folders).language, "de");
    EXPECT_EQ(startUpLanguage("", folders), "de");
    EXPECT_EQ(startUpLanguage("en", folders), "en");
}

TEST_F(LanguageFolder, ChosenLanguageReachesMessagesAndFallsBackToEnglish) {
    useLanguage("de", dir.folder());
    EXPECT_EQ(tableText(IDS_SAVE_MODIFIED), "Geändert.\nSpeichern?");
    EXPECT_EQ(fillPlaceholder(tableText(IDS_DECODE_ERROR), "kaputt"), "Bild:\nkaputt");
    EXPECT_EQ(tableText(IDS_MAX_PHOTOS), builtInString(IDS_MAX_PHOTOS));  // no entry: English
    EXPECT_EQ(translated("Open"), "Öffnen");
    EXPECT_EQ(translated("Save"), "Save");
    Project project;
    project.addAlbum("A");
    EXPECT_EQ(project.statusLine(), "0 Fotos in 1 Alben");  // arguments in the table's order

    useLanguage("en", dir.folder());
    EXPECT_EQ(tableText(IDS_SAVE_MODIFIED), builtInString(IDS_SAVE_MODIFIED));
    EXPECT_EQ(translated("Open"), "Open");
    EXPECT_EQ(project.statusLine(), "Total : 1 Albums, 0 Photos");
}

TEST(TextCatalog, ReadsEntriesAndSkipsWhatIsNoEntry) {
    const auto catalog = TextCatalog::parse(
        "# a comment\r\n"
        "\r\n"
        "Line\\none\tZeile\\neins\r\n"
        "Tab\\tin\tTab\\tdrin\n"
        "NoTab\n"
        "\tNoEnglish\n"
        "NoGerman\t\n"
        "Trailing \tBleibt \n");
    EXPECT_EQ(catalog.size(), 3u);
    EXPECT_EQ(catalog.find("Line\none"), "Zeile\neins");
    EXPECT_EQ(catalog.find("Tab\tin"), "Tab\tdrin");
    EXPECT_EQ(catalog.find("Trailing "), "Bleibt ");
    EXPECT_FALSE(catalog.find("NoGerman"));
    EXPECT_FALSE(TextCatalog::load("/nonexistent/de.tsv").size());
}

TEST(TextCatalog, FillsNumberedArgumentsOnly) {
    EXPECT_EQ(fillArguments("%2 von %1", {"a", "b"}), "b von a");
    EXPECT_EQ(fillArguments("100% %s %3 %1", {"x"}), "100% %s %3 x");
}

}  // namespace
