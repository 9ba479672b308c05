#pragma once
// INI ("profile") files with the semantics the program relies on: section and key
// names compared without regard to letter case, defaults for anything missing,
// integers read from leading digits, and writes that keep the rest of the file.
// Every call reads the file afresh, so two writers of one file never hold stale copies.

#include <cstddef>
#include <string>

namespace tellavine {

// The value of `key` in `section`, or `defaultValue` when the file, the section or the
// key is missing. Surrounding blanks and one pair of enclosing quotes are removed.
// At most `maxLength` characters are returned (a value is cut, never rejected).
std::string readProfileString(const std::string& filePath, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t maxLength = 1023);

// The integer at the start of the value (optional sign, then decimal digits);
// `defaultValue` when the key is missing, 0 when the value starts with no digit.
int readProfileInt(const std::string& filePath, const std::string& section,
                   const std::string& key, int defaultValue);

// Sets `key` in `section` to `value`, keeping every other line of the file. Creates the
// section at the end of the file, and the file itself, when missing. False when the
// file cannot be written.
bool writeProfileString(const std::string& filePath, const std::string& section,
                        const std::string& key, const std::string& value);

bool writeProfileInt(const std::string& filePath, const std::string& section,
                     const std::string& key, int value);

}  // namespace tellavine
