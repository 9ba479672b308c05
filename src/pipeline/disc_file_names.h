#pragma once
// Names of the photo and music copies on the disc. The disc's file system upper-cases
// every name and keeps one entry per name in a folder, and a name longer than a
// directory record can hold refuses the whole disc. Names are therefore made safe,
// shortened and numbered here, before they reach the file system.

#include <cstddef>
#include <set>
#include <string>

namespace tellavine {

// A name as one entry of a folder: slashes would nest folders, and ".", ".." or nothing
// would make an entry no file browser can open.
std::string safeDiscName(const std::string& name);

// The names already given in one folder of the disc, compared as the disc stores them.
class DiscNameSet {
public:
    // Gives `wanted` a name of its own in the folder: `wanted` itself when that is free,
    // else "<part before the first dot>_<d><rest>" for the first free d from `firstNumber`
    // (at least 1). Names are shortened to the file system's longest name, keeping the
    // extension.
    std::string claim(const std::string& wanted, int firstNumber = 0);

private:
    bool taken(const std::string& name) const;
    std::set<std::string> used_;  // upper case
};

}  // namespace tellavine
