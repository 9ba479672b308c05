#include "project/text_catalog.h"

#include <fstream>
#include <mutex>
#include <sstream>

namespace tellavine {
namespace {

std::mutex catalogMutex;
TextCatalog languageCatalog;  // guarded by catalogMutex

std::string unescape(const std::string& value) {
    std::string result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            if (value[i + 1] == 'n') { result += '\n'; ++i; continue; }
            if (value[i + 1] == 't') { result += '\t'; ++i; continue; }
            if (value[i + 1] == '\\') { result += '\\'; ++i; continue; }
        }
        result += value[i];
    }
    return result;
}

}  // namespace

TextCatalog TextCatalog::parse(const std::string& text) {
    TextCatalog catalog;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const auto tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size()) continue;  // half an entry: keep English
        catalog.entries_[unescape(line.substr(0, tab))] = unescape(line.substr(tab + 1));
    }
    return catalog;
}

TextCatalog TextCatalog::load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

std::optional<std::string> TextCatalog::find(const std::string& english) const {
    const auto found = entries_.find(english);
    if (found == entries_.end()) return std::nullopt;
    return found->second;
}

void setLanguageCatalog(TextCatalog catalog) {
    std::lock_guard lock(catalogMutex);
    languageCatalog = std::move(catalog);
}

std::optional<std::string> translationOf(const std::string& english) {
    std::lock_guard lock(catalogMutex);
    return languageCatalog.find(english);
}

std::string translated(const std::string& english) { return translationOf(english).value_or(english); }

std::string fillArguments(const std::string& text, const std::vector<std::string>& arguments) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(text[i + 1] - '1');
            if (index < arguments.size()) {
                result += arguments[index];
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

}  // namespace tellavine
