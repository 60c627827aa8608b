#include "FreedMemory.h"

// Names the C library in __GLIBC__.
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/allocator_interface.h>
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
