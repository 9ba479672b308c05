#include "project/messages.h"

#include "project/strings.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tellavine {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

class RunLogFile : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(RunLogFile, EachEntryIsALineBreakThenItsText) {
    testing::RecordingServices services(dir.file("orx_log.txt"));
    services.services().log("Begin Encoding...");
    services.services().log("Begin Encoding Menu...");
    EXPECT_EQ(readFile(dir.file("orx_log.txt")), "\nBegin Encoding...\nBegin Encoding Menu...");
    services.services().log("Begin Encoding...");  // a second build appends after the first
    EXPECT_EQ(readFile(dir.file("orx_log.txt")), "\nBegin Encoding...\nBegin Encoding Menu...\nBegin Encoding...");
}

TEST_F(RunLogFile, SwitchedOffWritesNothingAndCreatesNoFile) {
    EXPECT_TRUE(RunLog(dir.file("orx_log.txt"), false).append("Begin Encoding..."));
    EXPECT_FALSE(std::filesystem::exists(dir.file("orx_log.txt")));
}

TEST_F(RunLogFile, UnopenableLogShowsAMessage) {
    testing::RecordingServices services(dir.file("missing/orx_log.txt"));
    services.services().log("x");
    EXPECT_EQ(services->shown(), std::vector<std::string>{"Error while open log file."});
}

class TextTable : public ::testing::Test {
protected:
    void TearDown() override { setTextTablePath(""); }
    TempDir dir;
};

TEST_F(TextTable, WithoutATableTheBuiltInTextsAreShown) {
    testing::RecordingServices prompt;
    EXPECT_EQ(tableText(IDS_CURRENT_SELECTION), "Current Selection");
    prompt.services().showTableMessage(IDS_MAX_ALBUMS);
    EXPECT_EQ(prompt->shown(), std::vector<std::string>{"The max. album number has been reached. Cannot add more albums."});
}

TEST_F(TextTable, TableEntriesReplaceTextsWithEscapesExpanded) {
    testing::RecordingServices prompt;
    writeFile(dir.file("texts.ini"),
              "[STRINGS]\n142=Auswahl\n305=Line one\\nLine\\ttwo\n[IDD_OPTIONS]\nTitle=Optionen\\tX\n1001=OK\\t!\n1002=\n");
    setTextTablePath(dir.file("texts.ini"));
    EXPECT_EQ(tableText(IDS_CURRENT_SELECTION), "Auswahl");
    EXPECT_EQ(tableText(IDS_MINI_PLAYER), "Mini Player");  // not in the table
    prompt.services().showTableMessage(IDS_SAVE_MODIFIED, PromptButtons::YesNo);
    prompt.services().showTableMessage(IDS_MAX_ALBUMS);
    EXPECT_EQ(prompt->shown()[0], "Line one\nLine\ttwo");
    EXPECT_EQ(prompt->shown()[1], "The max. album number has been reached. Cannot add more albums.");

    const auto texts = applyDialogTexts("IDD_OPTIONS", {1001, 1002, 1003});
    EXPECT_EQ(texts.title, "Optionen\\tX");  // titles expand line breaks only
    ASSERT_EQ(texts.controls.size(), 1u);  // an empty value counts as missing
    EXPECT_EQ(texts.controls[0], (std::pair<int, std::string>{1001, "OK\t!"}));
}

}  // namespace
}  // namespace tellavine
