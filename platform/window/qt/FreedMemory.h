#pragma once

namespace pellorin {

// Hands the memory the program has freed back to the operating system. The
// C library keeps freed blocks for reuse, and the results list's blocks,
// freed from the middle of its heap, would otherwise stay resident; after
// "Clear Results" of millions of rows that is hundreds of megabytes.
void returnFreedMemory();

} // namespace pellorin
