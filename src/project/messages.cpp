#include "project/messages.h"

#include "platform/file.h"
#include "platform/profile.h"
#include "project/strings.h"

#include <cstdio>
#include <mutex>

namespace tellavine {
namespace {

std::mutex configMutex;
std::string textTablePath;    // guarded by configMutex

// Values are read with up to 1019 characters.
constexpr std::size_t kTableValueLength = 1019;

enum class Escapes { LineBreaksOnly, LineBreaksAndTabs };

std::string unescape(const std::string& value, Escapes escapes) {
    std::string result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            if (value[i + 1] == 'n') { result += '\n'; ++i; continue; }
            if (value[i + 1] == 't' && escapes == Escapes::LineBreaksAndTabs) { result += '\t'; ++i; continue; }
        }
        result += value[i];
    }
    return result;
}

// The table's value, or empty when there is no table, no such key or an empty value.
std::string lookUp(const std::string& section, const std::string& key) {
    std::string table;
    {
        std::lock_guard lock(configMutex);
        table = textTablePath;
    }
    if (table.empty()) return {};
    return readProfileString(table, section, key, "", kTableValueLength);
}

}  // namespace

bool RunLog::append(const std::string& text) const {
    if (!enabled_) return true;
    File file = path_.empty() ? File() : File::open(path_, "a");
    if (!file) return false;
    std::fprintf(file.get(), "\n%s", text.c_str());
    return true;
}

PromptAnswer EngineServices::showText(const std::string& text, PromptButtons buttons) const {
    return prompt->showText(text, buttons);
}

// A chosen language's table replaces the built-in texts of every message, not only of
// those shown through showTableMessage.
PromptAnswer EngineServices::showMessage(int stringId, PromptButtons buttons) const {
    return showText(tableText(stringId), buttons);
}

PromptAnswer EngineServices::showTableMessage(int stringId, PromptButtons buttons) const {
    const auto value = lookUp("STRINGS", std::to_string(stringId));
    if (!value.empty()) return showText(unescape(value, Escapes::LineBreaksAndTabs), buttons);
    return showMessage(stringId, buttons);
}

void EngineServices::log(const std::string& text) const {
    if (!runLog->append(text)) showMessage(IDS_LOG_OPEN_FAILED);
}

std::string tableText(int stringId) {
    const auto value = lookUp("STRINGS", std::to_string(stringId));
    if (!value.empty()) return unescape(value, Escapes::LineBreaksAndTabs);
    return builtInString(stringId);
}

void setTextTablePath(const std::string& path) {
    std::lock_guard lock(configMutex);
    textTablePath = path;
}

DialogTexts applyDialogTexts(const std::string& section, const std::vector<int>& controlIds) {
    DialogTexts texts;
    texts.title = unescape(lookUp(section, "Title"), Escapes::LineBreaksOnly);
    for (const int id : controlIds) {
        const auto value = lookUp(section, std::to_string(id));
        if (!value.empty()) texts.controls.emplace_back(id, unescape(value, Escapes::LineBreaksAndTabs));
    }
    return texts;
}

}  // namespace tellavine
