#include "platform/rtl/heap.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace pw::rtl {

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    // Besides the top of the heap, free pages inside it go back too.
    malloc_trim(0);
#endif
}

} // namespace pw::rtl
