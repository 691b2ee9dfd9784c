// A library with only four of the nine exports. Its TransPoint answers with a
// marker point so the tests can tell that the binding called this one.
#include "imagelib/vexell_api.h"

extern "C" {

VxBitmap* transform(const VxPoint*, const VxBitmap*, VxProgress) { return nullptr; }
VxBitmap* atransform(const VxPoint*, const VxBitmap*, VxProgress) { return nullptr; }
int32_t PsTransPoint(const VxPoint*, VxPoint*, int32_t, const VxPoint*) { return -1; }
int32_t TransPoint(const VxPoint*, VxPoint* out, int32_t count, const VxPoint*) {
    for (int32_t i = 0; i < count; ++i) out[i] = VxPoint{7, 7};
    return 0;
}

}
