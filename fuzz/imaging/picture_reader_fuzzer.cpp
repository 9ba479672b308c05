// libFuzzer harness for one picture reader, chosen at build time with
// TELLAVINE_FUZZ_READER (decodeJpeg, decodePng, ...). Every input must decode or fail
// cleanly, and a decoded picture must be within the size limits.

#include "imaging/codec.h"

#include <cstdlib>

namespace {

bool decode(std::span<const std::uint8_t> data, tellavine::Picture& out, std::string& error) {
    using namespace tellavine;
#if TELLAVINE_FUZZ_WITH_OPTIONS
    DecodeOptions options;
    options.minimumWidth = data.empty() ? 0 : data[0] % 64;
    return TELLAVINE_FUZZ_READER(data, options, out, error);
#else
    return TELLAVINE_FUZZ_READER(data, out, error);
#endif
}

}  // namespace

// libheif 1.15 hands dav1d an empty AV1 buffer for some damaged AVIF files and never
// releases it (40 bytes per file, between the two libraries); not a fault of ours, and
// not a reason to stop looking for ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tellavine::Picture picture;
    std::string error;
    const bool ok = decode({data, size}, picture, error);
    if (ok && !tellavine::pictureSizeAllowed(picture.width(), picture.height())) std::abort();
    if (!ok && error.empty()) std::abort();
    return 0;
}
