#include "platform/text.h"

#include <glib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tellavine {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

struct GFreeDeleter {
    void operator()(gchar* p) const { g_free(p); }
};

// Marks an invalid byte in a folded key. 0xFF never occurs in valid UTF-8, so an
// invalid byte can never equal (part of) a real character.
constexpr char kInvalidByte = '\xFF';

// `text` as a key in which equal keys mean equal text apart from letter case: runs of
// valid UTF-8 go through `foldRun`, invalid bytes (and NUL) are kept as themselves.
template <typename FoldRun>
std::string foldedKey(std::string_view text, FoldRun foldRun) {
    std::string key;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const gchar* end = nullptr;
        g_utf8_validate(text.data() + pos, static_cast<gssize>(text.size() - pos), &end);
        const auto valid = static_cast<std::size_t>(end - (text.data() + pos));
        if (valid > 0) key += foldRun(text.substr(pos, valid));
        pos += valid;
        if (pos < text.size()) {
            key += kInvalidByte;
            key += text[pos++];
        }
    }
    return key;
}

std::string fullCaseFold(std::string_view run) {
    const std::unique_ptr<gchar, GFreeDeleter> folded(g_utf8_casefold(run.data(), static_cast<gssize>(run.size())));
    return folded.get();
}

// One character for one character, as a case-insensitive file system compares names.
std::string simpleCaseFold(std::string_view run) {
    std::string folded;
    for (const gchar* p = run.data(); p < run.data() + run.size(); p = g_utf8_next_char(p)) {
        gchar bytes[6];
        const gint length = g_unichar_to_utf8(g_unichar_tolower(g_unichar_toupper(g_utf8_get_char(p))), bytes);
        folded.append(bytes, static_cast<std::size_t>(length));
    }
    return folded;
}

template <typename FoldRun>
bool equalFolded(std::string_view a, std::string_view b, FoldRun foldRun) {
    if (isAscii(a) && isAscii(b)) {
        // Nothing outside ASCII folds to ASCII between two ASCII texts: the quick way.
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
    }
    return foldedKey(a, foldRun) == foldedKey(b, foldRun);
}

}  // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) { return equalFolded(a, b, fullCaseFold); }

bool fileNamesEqualIgnoreCase(std::string_view a, std::string_view b) { return equalFolded(a, b, simpleCaseFold); }

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
