#include "base/allocator_tuning.h"

#include <malloc.h>

namespace v2d {

void KeepLargePictureMemory() {
#if defined(__GLIBC__) && !defined(VEXEL_SANITIZED_BUILD)
    constexpr int kLargestPooled = 512 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargestPooled);
    mallopt(M_TRIM_THRESHOLD, kLargestPooled);
#endif
}

}  // namespace v2d
