#include "support/memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace rilumo {

void ConfineAllocatorArenas() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 2);
#endif
}

void ReturnFreeMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace rilumo
