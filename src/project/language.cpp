#include "project/language.h"

#include "platform/profile.h"
#include "project/messages.h"
#include "project/settings.h"
#include "project/text_catalog.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace tellavine {
namespace {

std::string tablePath(const std::string& language, const std::string& dataDir, const char* extension) {
    return dataDir + "lang/" + language + extension;
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string languageOfLocale(const std::string& locale) {
    std::string language;
    for (const char c : locale) {
        if (!std::isalpha(static_cast<unsigned char>(c))) break;
        language += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (language == "c" || language == "posix") return {};
    return language;
}

bool languageAvailable(const std::string& language, const std::string& dataDir) {
    if (language == "en") return true;
    if (language.empty() || language.find_first_not_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos) return false;
    std::error_code error;
    return std::filesystem::is_regular_file(tablePath(language, dataDir, ".ini"), error) &&
           std::filesystem::is_regular_file(tablePath(language, dataDir, ".tsv"), error);
}

std::string chooseLanguage(const LanguageSources& sources, const std::string& dataDir) {
    std::vector<std::string> candidates{sources.option, sources.setting};
    std::istringstream list(sources.languageEnv);
    for (std::string entry; std::getline(list, entry, ':');) candidates.push_back(entry);
    candidates.push_back(sources.langEnv);
    for (const auto& candidate : candidates) {
        const std::string language = languageOfLocale(candidate);
        if (languageAvailable(language, dataDir)) return language;
    }
    return "en";
}

LanguageSources environmentLanguageSources() {
    LanguageSources sources;
    sources.languageEnv = environmentValue("LANGUAGE");
    sources.langEnv = environmentValue("LANG");
    return sources;
}

std::string startUpLanguage(const std::string& option, const AppFolders& folders) {
    LanguageSources sources = environmentLanguageSources();
    sources.option = option;
    sources.setting = readSettings(ProfileDocument::load(folders.settingsFile()), folders).language;
    return chooseLanguage(sources, folders.programDir);
}

void useLanguage(const std::string& language, const std::string& dataDir) {
    if (language == "en" || !languageAvailable(language, dataDir)) {
        setTextTablePath("");
        setLanguageCatalog({});
        return;
    }
    setTextTablePath(tablePath(language, dataDir, ".ini"));
    setLanguageCatalog(TextCatalog::load(tablePath(language, dataDir, ".tsv")));
}

}  // namespace tellavine
