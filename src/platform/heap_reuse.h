#pragma once
// A build allocates and frees buffers of a few megabytes for every photo (decoded
// pictures, frames, YCbCr planes, the encoder's picture stores). glibc maps blocks that
// large afresh each time and unmaps them when freed, so every photo pays for faulting
// in, and clearing, the same memory again: a tenth of a build's processor time. Calling
// this once at the start of a program keeps such blocks in the heap, where the next
// photo reuses them; the heap then stays at the largest photo's working set.

namespace tellavine {

void reuseLargeBlocksInHeap();

}  // namespace tellavine
