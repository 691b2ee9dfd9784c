/* The image-operations library's C interface (VexellDll.so).
 * Nine exports, C linkage, resolved by name at start-up. Bitmaps cross as
 * VxBitmap handles: 32-bit rows, bytes blue, green, red, fourth. A returned
 * handle belongs to the caller, who copies the pixels and calls its release.
 * Input bitmaps are views the caller fills in (release = NULL). */
#ifndef VEXELL_API_H
#define VEXELL_API_H

#include <stdint.h>

/* The library is built with hidden visibility; only the nine exports are seen. */
#if defined(__GNUC__)
#define VEXELL_API __attribute__((visibility("default")))
#else
#define VEXELL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VxPoint {
    int32_t x;
    int32_t y;
} VxPoint;

typedef struct VxBitmap VxBitmap;
struct VxBitmap {
    int32_t width;
    int32_t height;
    int32_t stride; /* bytes per row, at least 4 * width */
    uint8_t* bits;  /* row 0 first */
    void (*release)(VxBitmap* self); /* NULL for caller-owned views */
};

/* Fraction done, 0..1; returns 0. */
typedef int (*VxProgress)(double fraction);

/* A quad is four points: top-left, top-right, bottom-right, bottom-left. */
typedef VxBitmap* (*VxTransformFn)(const VxPoint* quad, const VxBitmap* source, VxProgress progress);
typedef VxBitmap* (*VxTransformMeshFn)(const VxPoint* srcNodes, const VxPoint* dstNodes, int32_t rows,
                                       int32_t cols, const VxBitmap* source, VxProgress progress);
typedef int32_t (*VxPointMapFn)(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad);
typedef VxBitmap* (*VxBumpMapFn)(const VxBitmap* source, int32_t kind);
typedef VxBitmap* (*VxGaussBlurCV2Fn)(const VxBitmap* source, int32_t radius, double sigma);
typedef VxBitmap* (*VxGaussBlurFn)(const VxBitmap* source, int32_t radius);

/* Exports. Every one returns NULL (or -1 for the point mappings) on bad
 * arguments; no exception ever leaves the library. */
VEXELL_API VxBitmap* transform(const VxPoint* quad, const VxBitmap* source, VxProgress progress);
VEXELL_API VxBitmap* GaussBlur(const VxBitmap* source, int32_t radius);
VEXELL_API VxBitmap* GetBumpMap(const VxBitmap* source, int32_t kind);
VEXELL_API VxBitmap* atransform(const VxPoint* quad, const VxBitmap* source, VxProgress progress);
VEXELL_API VxBitmap* TransformMesh(const VxPoint* srcNodes, const VxPoint* dstNodes, int32_t rows,
                                   int32_t cols, const VxBitmap* source, VxProgress progress);
VEXELL_API int32_t PsTransPoint(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad);
VEXELL_API int32_t TransPoint(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad);
VEXELL_API int32_t aTransPoint(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad);
VEXELL_API VxBitmap* GaussBlurCV2(const VxBitmap* source, int32_t radius, double sigma);

#ifdef __cplusplus
}
#endif

#endif
