#pragma once
// INI ("profile") files with the semantics the program relies on: section and key
// names compared without regard to letter case, defaults for anything missing,
// integers read from leading digits, and writes that keep the rest of the file.
// Every call reads the file afresh, so two writers of one file never hold stale copies.
// Only regular files of at most kMaxProfileBytes with no line longer than
// kMaxProfileLineBytes are read; any other is treated as unreadable and never written.

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>

namespace tellavine {

// Settings and templates are a few KiB; anything larger is not one of ours.
inline constexpr std::uint64_t kMaxProfileBytes = 1u << 20;
inline constexpr std::size_t kMaxProfileLineBytes = 16u << 10;

// Why `filePath` cannot be read as a profile file ("it is not a regular file"); empty
// when it can, or when it is missing (which reads as every default).
std::string profileFileProblem(const std::string& filePath);

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
// file cannot be written, or exists and cannot be read (it is then left as it was).
bool writeProfileString(const std::string& filePath, const std::string& section,
                        const std::string& key, const std::string& value);

bool writeProfileInt(const std::string& filePath, const std::string& section,
                     const std::string& key, int value);

// Several keys at once, in order, each as writeProfileString sets it; the file is
// replaced once.
struct ProfileEntry {
    std::string section, key, value;
};
bool writeProfileStrings(const std::string& filePath, std::span<const ProfileEntry> entries);

// A profile file read once, for readers that look up many keys (old project files,
// templates). Lookups follow the same rules as the functions above.
class ProfileDocument {
public:
    // `maxBytes` raises the cap for larger documents (old project files).
    static ProfileDocument load(const std::string& filePath, std::uint64_t maxBytes = kMaxProfileBytes);
    static ProfileDocument parse(const std::string& text);

    bool loaded() const { return loaded_; }
    // Why load() read nothing: empty for a missing file, else a reason as profileFileProblem gives.
    const std::string& error() const { return error_; }
    std::string getString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t maxLength = 1023) const;
    int getInt(const std::string& section, const std::string& key, int defaultValue) const;

private:
    bool find(const std::string& section, const std::string& key, std::string& value) const;

    bool loaded_ = false;
    std::string error_;
    // Keyed by (section, key) with ASCII letters folded; the first entry wins.
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

// The integer at the start of `value` as profile integers are read.
int parseProfileInt(const std::string& value);

}  // namespace tellavine
