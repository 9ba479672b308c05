#pragma once
// The language of the program's texts. English is built in; another language is a pair
// of files in the data folder's "lang/": <code>.ini, the string table's text table
// (numbered messages, dialog titles and controls), and <code>.tsv, the free texts keyed by
// their English (project/text_catalog.h).

#include "platform/folders.h"

#include <string>

namespace tellavine {

// The two-letter language of a locale name ("de_DE.UTF-8" -> "de"); empty for "C",
// "POSIX" or nothing.
std::string languageOfLocale(const std::string& locale);

// Where the choice comes from, strongest first: the --language option, the setting
// "[Options] Language", then the LANGUAGE list and LANG of the environment.
struct LanguageSources {
    std::string option;
    std::string setting;
    std::string languageEnv;  // $LANGUAGE: "de:en" tries each in turn
    std::string langEnv;      // $LANG
};
// The first named language that has a table in `dataDir`, or "en"; "en" itself always
// counts, so LANGUAGE=en:de stays English.
std::string chooseLanguage(const LanguageSources& sources, const std::string& dataDir);
// The environment part of LanguageSources, from the running process.
LanguageSources environmentLanguageSources();

// True when `dataDir` holds a table for `language` ("en" always).
bool languageAvailable(const std::string& language, const std::string& dataDir);

// The start-up choice of either program: `option` (its --language, may be empty), the
// settings file of `folders`, then the environment.
std::string startUpLanguage(const std::string& option, const AppFolders& folders);

// Makes `language` the language of every text shown from now on: sets the string
// table's text table file and the free-text catalog. "en" clears both.
void useLanguage(const std::string& language, const std::string& dataDir);

}  // namespace tellavine
