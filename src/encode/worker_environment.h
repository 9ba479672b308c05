#pragma once
// The environment the MPEG worker runs in: the engine's own, with glibc's malloc told
// to back the worker's heap with transparent huge pages (glibc.malloc.hugetlb=1, on
// kernels that offer them on request). The encoder library allocates its picture
// stores anew for every still and leaks part of them, so the worker keeps touching
// fresh memory; in 2 MB pages that costs about a quarter of the page faults and a
// tenth of the build's processor time. A GLIBC_TUNABLES that already names the
// setting is left as it is.

#include <string>
#include <vector>

namespace tellavine {

class WorkerEnvironment {
public:
    // `parent` is a null-terminated array of "NAME=value" strings, like environ.
    explicit WorkerEnvironment(char* const* parent);

    const std::vector<std::string>& entries() const { return entries_; }
    // Null-terminated, for posix_spawn; valid as long as this object is unchanged.
    char* const* block() { return pointers_.data(); }

private:
    std::vector<std::string> entries_;
    std::vector<char*> pointers_;
};

}  // namespace tellavine
