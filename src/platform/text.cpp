#include "platform/text.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tellavine {
namespace {

// Decodes one UTF-8 sequence at `pos`; invalid bytes decode as themselves (tagged
// above the Unicode range so they never equal a real character).
char32_t decodeAt(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) { ++pos; return lead; }
    if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; }
    else { ++pos; return 0x110000u + lead; }
    if (pos + extra >= text.size()) {
        ++pos;
        return 0x110000u + lead;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80) { ++pos; return 0x110000u + lead; }
        cp = (cp << 6) | (c & 0x3F);
    }
    pos += extra + 1;
    return cp;
}

char32_t foldCase(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;                       // Latin-1
    if (c >= 0x100 && c <= 0x137 && (c % 2 == 0)) return c + 1;                    // Latin Ext-A
    if (c >= 0x139 && c <= 0x148 && (c % 2 == 1)) return c + 1;
    if (c >= 0x14A && c <= 0x177 && (c % 2 == 0)) return c + 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E && (c % 2 == 1)) return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;                     // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;                                   // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

}  // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (foldCase(decodeAt(a, i)) != foldCase(decodeAt(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

std::string toUpperAscii(std::string_view text) {
    std::string result(text);
    for (auto& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return result;
}

bool endsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) return false;
    return toUpperAscii(text.substr(text.size() - suffix.size())) == toUpperAscii(suffix);
}

std::string fileNamePart(std::string_view path) {
    const auto sep = path.find_last_of("/\\");
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string folderPart(std::string_view path) {
    const auto sep = path.find_last_of("/\\");
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string truncateUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    std::size_t cut = maxBytes;
    // Step back over continuation bytes so the cut lands on a sequence boundary.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut));
}

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (needed > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<std::size_t>(needed));
    }
    va_end(args);
    return result;
}

}  // namespace tellavine
