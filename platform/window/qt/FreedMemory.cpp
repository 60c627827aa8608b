#include "FreedMemory.h"

// Names the C library in __GLIBC__.
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
// GCC brings no header for AddressSanitizer's allocator interface.
extern "C" void __sanitizer_purge_allocator(); // NOLINT(bugprone-reserved-identifier)
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace pellorin {

void returnFreedMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's allocator holds freed blocks in its quarantine.
    __sanitizer_purge_allocator();
#elif defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace pellorin
