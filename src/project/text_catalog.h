#pragma once
// A language's table of free texts (menus, buttons, tooltips, the command-line tool's
// messages), keyed by their English text. Numbered messages and dialog texts go through
// the string table's text table file instead (project/messages.h).
//
// File format, UTF-8, one entry a line: the English text, a tab, the translation.
// "\n" and "\t" in either stand for a line break and a tab; lines starting with '#' and
// blank lines are skipped.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tellavine {

class TextCatalog {
public:
    TextCatalog() = default;  // no translations: every text stays English
    static TextCatalog parse(const std::string& text);
    static TextCatalog load(const std::string& path);  // empty when the file cannot be read

    // The translation of `english`; nothing when the table has none.
    std::optional<std::string> find(const std::string& english) const;
    std::size_t size() const { return entries_.size(); }
    const std::map<std::string, std::string>& entries() const { return entries_; }

private:
    std::map<std::string, std::string> entries_;
};

// The catalog of the chosen language, process-wide (set once at start-up).
void setLanguageCatalog(TextCatalog catalog);
// The chosen language's text for `english`; nothing when it has none (or is English).
std::optional<std::string> translationOf(const std::string& english);
// `english` in the chosen language, or `english` itself when the catalog lacks it.
std::string translated(const std::string& english);

// `text` with each "%1" .. "%9" replaced by that argument. For translated texts with
// values in them: a table text is never used as a printf format.
std::string fillArguments(const std::string& text, const std::vector<std::string>& arguments);

}  // namespace tellavine
