#include "pipeline/disc_file_names.h"

#include "platform/text.h"
#include "vcd/iso_tree.h"

#include <algorithm>

namespace tellavine {
namespace {

// Room kept for "_<d>" when a shortened name has to be numbered.
constexpr std::size_t kNumberRoom = 11;

// Cuts the part before the last dot so the whole name fits `limit` bytes; a name
// whose extension alone is too long is cut as a whole.
std::string shortened(const std::string& name, std::size_t limit) {
    if (name.size() <= limit) return name;
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && name.size() - dot < limit) {
        const std::string extension = name.substr(dot);
        return truncateUtf8(name.substr(0, dot), limit - extension.size()) + extension;
    }
    return truncateUtf8(name, limit);
}

std::string numbered(const std::string& name, int number) {
    const auto dot = name.find('.');
    if (dot == std::string::npos || dot == 0) return formatText("%s_%d", name.c_str(), number);
    return formatText("%s_%d%s", name.substr(0, dot).c_str(), number, name.substr(dot).c_str());
}

}  // namespace

std::string safeDiscName(const std::string& name) {
    std::string safe = name;
    std::replace(safe.begin(), safe.end(), '/', '_');
    std::replace(safe.begin(), safe.end(), '\\', '_');
    if (safe.empty() || safe == "." || safe == "..") safe.assign(std::max<std::size_t>(safe.size(), 1), '_');
    return safe;
}

bool DiscNameSet::taken(const std::string& name) const { return used_.count(toUpperAscii(name)) != 0; }

std::string DiscNameSet::claim(const std::string& wanted, int firstNumber) {
    std::string name = shortened(wanted, vcd::kLongestName);
    if (firstNumber > 0 || taken(name)) {
        const std::string base = shortened(wanted, vcd::kLongestName - kNumberRoom);
        for (int number = std::max(firstNumber, 1);; ++number) {
            name = numbered(base, number);
            if (!taken(name)) break;
        }
    }
    used_.insert(toUpperAscii(name));
    return name;
}

}  // namespace tellavine
