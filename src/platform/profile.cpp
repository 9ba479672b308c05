#include "platform/profile.h"

#include "platform/file_replace.h"
#include "platform/regular_file.h"
#include "platform/text.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace tellavine {
namespace {

std::string_view trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// What reading a profile file gave: its lines, nothing (a missing file) or a refusal.
enum class LinesRead { Read, Missing, Refused };

LinesRead readLines(const std::string& filePath, std::vector<std::string>& lines, std::string& error,
                    std::uint64_t maxBytes = kMaxProfileBytes) {
    std::string text;
    bool missing = false;
    if (!readRegularFile(filePath, maxBytes, text, error, &missing)) {
        return missing ? LinesRead::Missing : LinesRead::Refused;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end - start > kMaxProfileLineBytes) {
            error = formatText("line %zu is longer than %s", lines.size() + 1, byteSizeText(kMaxProfileLineBytes).c_str());
            lines.clear();
            return LinesRead::Refused;
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return LinesRead::Read;
}

bool readLines(const std::string& filePath, std::vector<std::string>& lines) {
    std::string error;
    return readLines(filePath, lines, error) == LinesRead::Read;
}

// "[name]" gives name; anything else gives nullopt-like empty with ok=false.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const auto stripped = trim(line);
    if (stripped.empty() || stripped.front() == ';') return false;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return true;
}

bool findValue(const std::vector<std::string>& lines, const std::string& section,
               const std::string& key, std::string& value) {
    bool inSection = false;
    for (const auto& line : lines) {
        std::string_view name;
        if (sectionName(line, name)) {
            inSection = equalsIgnoreCase(name, section);
            continue;
        }
        if (!inSection) continue;
        std::string_view k, v;
        if (keyValue(line, k, v) && equalsIgnoreCase(k, key)) {
            if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') ||
                                  (v.front() == '\'' && v.back() == '\''))) {
                v = v.substr(1, v.size() - 2);
            }
            value.assign(v);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string readProfileString(const std::string& filePath, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t maxLength) {
    std::vector<std::string> lines;
    std::string value;
    if (!readLines(filePath, lines) || !findValue(lines, section, key, value)) {
        value = defaultValue;
    }
    if (value.size() > maxLength) value.resize(maxLength);
    return value;
}

std::string profileFileProblem(const std::string& filePath) {
    std::vector<std::string> lines;
    std::string error;
    return readLines(filePath, lines, error) == LinesRead::Refused ? error : std::string();
}

int parseProfileInt(const std::string& value) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '-' || value[pos] == '+')) {
        negative = value[pos] == '-';
        ++pos;
    }
    long long result = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        result = result * 10 + (value[pos] - '0');
        if (result > 0x7fffffffLL) result = 0x7fffffffLL + (negative ? 1 : 0);
    }
    return static_cast<int>(negative ? -result : result);
}

int readProfileInt(const std::string& filePath, const std::string& section,
                   const std::string& key, int defaultValue) {
    std::vector<std::string> lines;
    std::string value;
    if (!readLines(filePath, lines) || !findValue(lines, section, key, value)) {
        return defaultValue;
    }
    return parseProfileInt(value);
}

namespace {

std::string foldAscii(std::string_view text) {
    std::string folded(text);
    for (auto& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return folded;
}

void parseLines(const std::vector<std::string>& lines,
                           std::map<std::pair<std::string, std::string>, std::string>& values) {
    std::string section;
    bool inSection = false;
    for (const auto& line : lines) {
        std::string_view name;
        if (sectionName(line, name)) {
            section = foldAscii(name);
            inSection = true;
            continue;
        }
        std::string_view k, v;
        if (!inSection || !keyValue(line, k, v)) continue;
        if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\''))) {
            v = v.substr(1, v.size() - 2);
        }
        values.emplace(std::make_pair(section, foldAscii(k)), std::string(v));
    }
}

}  // namespace

ProfileDocument ProfileDocument::load(const std::string& filePath, std::uint64_t maxBytes) {
    ProfileDocument document;
    std::vector<std::string> lines;
    if (readLines(filePath, lines, document.error_, maxBytes) != LinesRead::Read) return document;
    parseLines(lines, document.values_);
    document.loaded_ = true;
    return document;
}

ProfileDocument ProfileDocument::parse(const std::string& text) {
    ProfileDocument document;
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    parseLines(lines, document.values_);
    document.loaded_ = true;
    return document;
}

bool ProfileDocument::find(const std::string& section, const std::string& key, std::string& value) const {
    const auto found = values_.find({foldAscii(section), foldAscii(key)});
    if (found == values_.end()) return false;
    value = found->second;
    return true;
}

std::string ProfileDocument::getString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, std::size_t maxLength) const {
    std::string value;
    if (!find(section, key, value)) value = defaultValue;
    if (value.size() > maxLength) value.resize(maxLength);
    return value;
}

int ProfileDocument::getInt(const std::string& section, const std::string& key, int defaultValue) const {
    std::string value;
    return find(section, key, value) ? parseProfileInt(value) : defaultValue;
}

namespace {

// Sets one key in the lines of a profile file, as writeProfileString describes.
void setProfileLine(std::vector<std::string>& lines, const std::string& section, const std::string& key,
                    const std::string& value) {
    // Find the section and, inside it, the key or the place after its last entry.
    std::size_t sectionLine = lines.size();
    std::size_t insertAt = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (sectionName(lines[i], name)) {
            if (sectionLine != lines.size()) break;  // the next section ends ours
            if (equalsIgnoreCase(name, section)) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionLine == lines.size()) continue;
        std::string_view k, v;
        if (keyValue(lines[i], k, v) && equalsIgnoreCase(k, key)) {
            lines[i] = std::string(k) + "=" + value;
            return;
        }
        if (!trim(lines[i]).empty()) insertAt = i + 1;
    }
    if (sectionLine == lines.size()) {
        lines.push_back("[" + section + "]");
        insertAt = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), key + "=" + value);
}

}  // namespace

bool writeProfileStrings(const std::string& filePath, std::span<const ProfileEntry> entries) {
    std::vector<std::string> lines;
    // A missing file is created; one that cannot be read is left alone, not replaced by
    // the few keys set here (and a link to a device is never written through).
    std::string error;
    if (readLines(filePath, lines, error) == LinesRead::Refused) return false;
    for (const auto& entry : entries) setProfileLine(lines, entry.section, entry.key, entry.value);
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return replaceFileContent(filePath, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) == 0;
}

bool writeProfileString(const std::string& filePath, const std::string& section,
                        const std::string& key, const std::string& value) {
    const ProfileEntry entry{section, key, value};
    return writeProfileStrings(filePath, std::span(&entry, 1));
}

bool writeProfileInt(const std::string& filePath, const std::string& section,
                     const std::string& key, int value) {
    return writeProfileString(filePath, section, key, std::to_string(value));
}

}  // namespace tellavine
