#pragma once
// Real sizes are millimetres: a region `regionPixels` across on the picture
// stands for `regionMm` of wall or floor, so a product `productMm` long
// covers this many of the region's pixels. Callers round the result their
// own way and check regionMm > 0 first.

namespace v2d {

inline double MmToPixels(int productMm, int regionPixels, int regionMm) {
    return static_cast<double>(regionPixels) * productMm / regionMm;
}

// The same length as tiles have always been sized: the millimetre ratio is
// held as a 32-bit float before it scales the pixels.
inline double MmToPixelsAsTiled(int productMm, int regionPixels, int regionMm) {
    const float ratio = static_cast<float>(static_cast<double>(productMm) / static_cast<double>(regionMm));
    return static_cast<double>(regionPixels) * static_cast<double>(ratio);
}

}  // namespace v2d
