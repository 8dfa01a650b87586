#include "platform/MemoryPolicy.h"

#include <cstdlib> // defines __GLIBC__ where it is the C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarnwick {

void returnLargeBlocksToSystem() {
#if defined(__GLIBC__)
    // A fixed threshold also stops the library from raising it after each large free.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

} // namespace tarnwick
