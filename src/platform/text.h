#pragma once
// Text helpers shared by the engine: case-insensitive comparison of UTF-8 text,
// path pieces that accept both '/' and '\' as separators, and bounded copies.

#include <string>
#include <string_view>

namespace tellavine {

// True when the two UTF-8 texts are equal without regard to letter case, by Unicode
// case folding ("STRASSE" equals "straße"); for names people give (albums, fonts, INI
// keys). Invalid bytes compare as themselves.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The same for file names: one character folds to one character, as on a
// case-insensitive file system, so "STRASSE" and "straße" stay two names (the disc
// keeps them apart too). Invalid bytes compare as themselves.
bool fileNamesEqualIgnoreCase(std::string_view a, std::string_view b);

// Upper-cased ASCII copy (other bytes unchanged), for extension tests like ".MP3".
std::string toUpperAscii(std::string_view text);

// True when `text` ends in `suffix`, ASCII letters compared without case.
bool endsWithIgnoreCase(std::string_view text, std::string_view suffix);

// The text after the last '/' or '\' (the whole text when there is none).
std::string fileNamePart(std::string_view path);

// Everything up to and including the last '/' or '\' (empty when there is none).
std::string folderPart(std::string_view path);

// `text` cut to at most `maxBytes` bytes without splitting a UTF-8 sequence.
std::string truncateUtf8(std::string_view text, std::size_t maxBytes);

// printf-style formatting into a std::string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tellavine
