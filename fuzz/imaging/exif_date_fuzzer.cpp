// The EXIF date reader over arbitrary bytes, as the block after "Exif\0\0".

#include "imaging/exif_date.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string date = tellavine::exifDateTaken(std::span(data, size));
    if (!date.empty() && date.size() != 19) std::abort();
    return 0;
}
