// The German tables against the program's English texts: every text the desktop program
// and the engine put through a translation (tr(), QT_TR_NOOP, QT_TRANSLATE_NOOP,
// QCoreApplication::translate, translated(), the album editor's tell()) and every
// numbered message must have a German entry, with the same placeholders. The English
// texts are collected from the sources, so a new text without a German entry fails here
// and is listed.

#include "platform/profile.h"
#include "project/strings.h"
#include "project/text_catalog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::filesystem::path kSource = TELLAVINE_SOURCE_DIR;

std::string readAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The text of a C++ string literal's body.
std::string literalText(const std::string& body) {
    std::string text;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\\' || i + 1 == body.size()) {
            text += body[i];
            continue;
        }
        const char escape = body[++i];
        if (escape == 'n') text += '\n';
        else if (escape == 't') text += '\t';
        else if (escape == 'u' && i + 4 < body.size()) {
            appendUtf8(text, static_cast<unsigned>(std::stoul(body.substr(i + 1, 4), nullptr, 16)));
            i += 4;
        } else text += escape;
    }
    return text;
}

// Every translated English text in src/, adjacent literals joined as the compiler does.
std::set<std::string> englishTexts() {
    static const std::regex call(
        R"re((?:\btr\(|\bQT_TR_NOOP\(|\bQT_TRANSLATE_NOOP\(\s*"[^"]*"\s*,|\btranslate\(\s*"[^"]*"\s*,|\btranslated\(|\btell\()\s*((?:"(?:[^"\\]|\\.)*"\s*)+))re");
    static const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
    std::set<std::string> texts;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kSource / "src")) {
        const auto extension = entry.path().extension();
        if (extension != ".cpp" && extension != ".h") continue;
        const std::string code = readAll(entry.path());
        for (std::sregex_iterator at(code.begin(), code.end(), call), end; at != end; ++at) {
            std::string text;
            const std::string literals = (*at)[1];
            for (std::sregex_iterator part(literals.begin(), literals.end(), literal); part != end; ++part) {
                text += literalText((*part)[1]);
            }
            texts.insert(text);
        }
    }
    return texts;
}

std::set<int> messageNumbers() {
    static const std::regex number(R"re(\bIDS_\w+\s*=\s*(\d+))re");
    const std::string header = readAll(kSource / "src/project/strings.h");
    std::set<int> numbers;
    for (std::sregex_iterator at(header.begin(), header.end(), number), end; at != end; ++at) {
        numbers.insert(std::stoi((*at)[1]));
    }
    return numbers;
}

// The placeholders of a text, in order of appearance: %1..%9 and %s.
std::multiset<std::string> placeholders(const std::string& text) {
    static const std::regex placeholder(R"re(%[1-9s])re");
    std::multiset<std::string> found;
    for (std::sregex_iterator at(text.begin(), text.end(), placeholder), end; at != end; ++at) found.insert(at->str());
    return found;
}

TEST(GermanTable, HasEveryFreeTextWithItsPlaceholders) {
    const auto catalog = tellavine::TextCatalog::load((kSource / "data/lang/de.tsv").string());
    const auto english = englishTexts();
    ASSERT_GT(english.size(), 200u);  // the collection itself works
    std::string missing, wrong;
    for (const auto& text : english) {
        const auto german = catalog.find(text);
        if (!german) missing += "\n  " + text;
        else if (placeholders(*german) != placeholders(text)) wrong += "\n  " + text + "  ->  " + *german;
    }
    EXPECT_TRUE(missing.empty()) << "de.tsv lacks:" << missing;
    EXPECT_TRUE(wrong.empty()) << "de.tsv changes the placeholders of:" << wrong;
}

TEST(GermanTable, HasEveryNumberedMessageWithItsPlaceholders) {
    const auto table = tellavine::ProfileDocument::load((kSource / "data/lang/de.ini").string());
    ASSERT_TRUE(table.loaded());
    const auto numbers = messageNumbers();
    ASSERT_GT(numbers.size(), 30u);
    std::string missing, wrong;
    for (const int number : numbers) {
        const std::string german = table.getString("STRINGS", std::to_string(number), "", 1019);
        const std::string english = tellavine::builtInString(number);
        if (german.empty()) missing += "\n  " + std::to_string(number) + " " + english;
        else if (placeholders(german) != placeholders(english)) wrong += "\n  " + std::to_string(number) + "  ->  " + german;
    }
    EXPECT_TRUE(missing.empty()) << "de.ini [STRINGS] lacks:" << missing;
    EXPECT_TRUE(wrong.empty()) << "de.ini changes the placeholders of:" << wrong;
}

}  // namespace
