#pragma once
// Picture helpers shared by tiling, tone, models and the material editor.
// Each returns a new 32-bit bitmap (QImage::Format_RGB32) and leaves its
// input alone; a null input gives a null result.
#include <QImage>

#include <cstdint>

namespace v2d {

// Colours are 0x00BBGGRR values, as the scene stores them.
inline constexpr uint32_t kFuchsia = 0x00FF00FF;
inline int RedOf(uint32_t colour) { return static_cast<int>(colour & 0xFF); }
inline int GreenOf(uint32_t colour) { return static_cast<int>((colour >> 8) & 0xFF); }
inline int BlueOf(uint32_t colour) { return static_cast<int>((colour >> 16) & 0xFF); }
// As a pixel of a Format_RGB32 row.
inline uint32_t PixelOfColour(uint32_t colour) {
    return 0xFF000000u | uint32_t(RedOf(colour)) << 16 | uint32_t(GreenOf(colour)) << 8 | uint32_t(BlueOf(colour));
}

// The picture at 32 bits per pixel (shares pixels when it already is).
QImage ToRgb32(const QImage& picture);

// Pixel (x, y) takes source pixel (W - 1 - x, y).
QImage MirrorPicture(const QImage& picture);

// A quarter turn counter-clockwise: H wide, W high; source (x, y) lands on
// (y, W - 1 - x).
QImage RotatePicture90(const QImage& picture);

// Bilinear resampling that maps corner pixels onto corner pixels: target
// column x samples source column x * (sw - 1) / (tw - 1) (rows likewise),
// the four neighbours weighted with integer weights and each channel sum
// divided by (tw - 1) * (th - 1), rounding half up. The same size gives a
// plain copy. A target one pixel wide (or high) copies source column 0 (row
// 0), the corner it shares with the source. Null for sizes below 1.
QImage ResizePicture(const QImage& picture, int width, int height);

// The top-left `windowWidth` x `windowHeight` pixels of ResizePicture
// (picture, width, height), without computing the rest: a tile larger than
// the canvas it fills costs only what shows. Null for sizes above 2^24.
QImage ResizePictureWindow(const QImage& picture, int width, int height, int windowWidth, int windowHeight);

// Rows [firstRow, endRow) of ResizePicture (picture, width, height) made
// from the source rows they sample alone: `sourceRows` holds the picture's
// rows from `sourceFirstRow` on (at least ResizeSourceRows of them) of a
// picture `sourceHeight` rows high. A tall picture is resized band by band.
struct SourceRows {
    int first = 0;
    int end = 0;
};
SourceRows ResizeSourceRows(int sourceHeight, int height, int firstRow, int endRow);
QImage ResizePictureRows(const QImage& sourceRows, int sourceFirstRow, int sourceHeight, int width, int height,
                         int firstRow, int endRow);

// Each of red, green and blue becomes trunc(colour/255 * pixel/255 * 255),
// computed exactly as floor(colour * pixel / 255).
QImage MultiplyColour(const QImage& picture, uint32_t colour);

// A bitmap of the given size filled with one colour (0x00BBGGRR).
QImage SolidBitmap(int width, int height, uint32_t colour);

// The part of the w x h rectangle at (x, y) that lies inside `bounds`,
// computed in 64 bits so a place far outside any picture cannot overflow.
QRect ClippedRect(int64_t x, int64_t y, int64_t w, int64_t h, const QRect& bounds);

// Unlike the helpers above, writes into `target` (a 32-bit picture): the
// source's pixels placed at (x, y), clipped to `within` (a part of the
// target), without blending, row bands over the cores.
void CopyPictureInto(QImage& target, const QImage& source, int x, int y, const QRect& within);

}  // namespace v2d
