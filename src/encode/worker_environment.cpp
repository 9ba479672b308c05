#include "encode/worker_environment.h"

namespace tellavine {
namespace {

constexpr std::string_view kTunables = "GLIBC_TUNABLES=";
constexpr std::string_view kHugePages = "glibc.malloc.hugetlb=1";

}  // namespace

WorkerEnvironment::WorkerEnvironment(char* const* parent) {
    bool tunablesSeen = false;
    for (char* const* entry = parent; entry && *entry; ++entry) {
        std::string text = *entry;
        if (text.starts_with(kTunables)) {
            tunablesSeen = true;
            if (text.find("glibc.malloc.hugetlb=") == std::string::npos)
                text += (text.size() == kTunables.size() ? "" : ":") + std::string(kHugePages);
        }
        entries_.push_back(std::move(text));
    }
    if (!tunablesSeen) entries_.push_back(std::string(kTunables) + std::string(kHugePages));
    for (std::string& entry : entries_) pointers_.push_back(entry.data());
    pointers_.push_back(nullptr);
}

}  // namespace tellavine
