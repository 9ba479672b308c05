#include "platform/heap_reuse.h"

#include <malloc.h>

namespace tellavine {

void reuseLargeBlocksInHeap() {
    // Larger than any frame-sized block (a 12-megapixel RGB picture is 36 MB; the photos
    // a build decodes at a reduction are far smaller); beyond it, blocks are mapped as
    // before, so a rare huge picture still returns its memory when freed.
    constexpr int kMapAbove = 64 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kMapAbove);
    // Freed memory at the top of the heap is given back only beyond this much.
    mallopt(M_TRIM_THRESHOLD, 2 * kMapAbove);
}

}  // namespace tellavine
