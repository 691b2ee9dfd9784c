#include "render/laying_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "base/picture_codec.h"
#include "base/real_scale.h"
#include "base/row_bands.h"
#include "layout/pattern_canvas.h"
#include "layout/pattern_layout.h"
#include "render/picture_ops.h"
#include "render/tiling.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

constexpr double kLargestTile = 1 << 24;

int TileSide(int boxSide, int realMm, int productMm, bool roundUp) {
    if (realMm <= 0 || boxSide <= 0) return 0;
    const double exact = MmToPixelsAsTiled(productMm, boxSide, realMm);
    const double side = roundUp ? std::ceil(exact) : std::trunc(exact);
    if (!(side <= kLargestTile)) return 0;
    return std::max(2, static_cast<int>(side));
}

// Fills the canvas with the tile repeated from (-shiftX, -shiftY).
void FillWithPattern(QImage& canvas, const QImage& tile, int shiftX, int shiftY) {
    const int tw = tile.width(), th = tile.height();
    const int w = canvas.width();
    uchar* const canvasBits = canvas.bits();  // detached once, before the bands share it
    const qsizetype stride = canvas.bytesPerLine();
    ForEachRowBand(canvas.height(), w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(tile.constScanLine((y + shiftY) % th));
            auto* out = reinterpret_cast<uint32_t*>(canvasBits + y * stride);
            int x = 0, column = shiftX % tw;
            while (x < w) {
                const int run = std::min(tw - column, w - x);
                std::memcpy(out + x, in + column, static_cast<size_t>(run) * 4);
                x += run;
                column = 0;
            }
        }
    });
}

// A tile a fraction of its product's size is first averaged down to twice
// the tile, so that fine detail (grain, printed flowers, joints) reads at the
// tile's size instead of folding into blocks. Products that are not shrunk
// that far are resampled from as they are.
QImage AveragedForTile(const QImage& product, int tileWidth, int tileHeight) {
    const int w = std::min(product.width(), 2 * tileWidth), h = std::min(product.height(), 2 * tileHeight);
    if (w == product.width() && h == product.height()) return product;
    return product.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Shift {
    double x = 0, y = 0;  // millimetres, the pattern moved left and up
};

// The pattern laid into a real rectangle and painted on a canvas of
// width × height pixels standing for it.
Result<QImage> PaintLaid(const PatternSettings& pattern, const QImage& product, double tileWidth, double tileHeight,
                         double realWidth, double realHeight, Shift shift, int width, int height) {
    const Result<TileLayout> layout = LayPattern(pattern, tileWidth, tileHeight, realWidth, realHeight, shift.x, shift.y);
    if (!layout) return layout.failure();
    return PaintPatternCanvas(*layout, product, width, height, pattern.jointColour);
}

QImage PatternedRectangle(const V2dPolygon& region, const ProductPanelState& panel, int width, int height) {
    ProductPanelState unfitted = panel;
    unfitted.fit = false;
    int widthMm = 0, heightMm = 0;
    const QImage product = PrepareProduct(unfitted, region, widthMm, heightMm);
    const PixelBox box = BoxOf(QuadOf(region.corners));
    if (product.isNull() || box.empty() || region.realWidth <= 0 || region.realHeight <= 0) return {};
    const Result<QImage> painted =
        PaintLaid(panel.pattern, product, widthMm, heightMm, double(width) * region.realWidth / box.width(),
                  double(height) * region.realHeight / box.height(), {}, width, height);
    return painted ? *painted : QImage();
}

using CanvasBuilder = Result<QImage> (*)(const CanvasRequest&);

Result<QImage> RepeatedCanvas(const CanvasRequest& r) {
    return BuildTiledCanvas(r.region, r.mesh, r.product, r.widthMm, r.heightMm);
}
Result<QImage> ShiftedCanvas(const CanvasRequest& r) {
    return BuildShiftedTiledCanvas(r.region, r.mesh, r.product, r.widthMm, r.heightMm, r.effect.offsetX,
                                   r.effect.offsetY);
}
Result<QImage> PatternedCanvas(const CanvasRequest& r) {
    return BuildPatternCanvas(r.region, r.mesh, r.product, r.widthMm, r.heightMm, r.pattern, r.effect);
}

// By CanvasKind.
constexpr CanvasBuilder kCanvasBuilders[] = {RepeatedCanvas, ShiftedCanvas, PatternedCanvas};
static_assert(std::size(kCanvasBuilders) == static_cast<size_t>(CanvasKind::Patterned) + 1);

}  // namespace

int PlainTileSide(int boxSide, int realMm, int productMm) { return TileSide(boxSide, realMm, productMm, true); }
int ShiftedTileSide(int boxSide, int realMm, int productMm) { return TileSide(boxSide, realMm, productMm, false); }

int PatternShift(int tile, int offsetPercent) {
    const double shift = offsetPercent >= 0 ? tile * offsetPercent * 0.01 : tile + tile * offsetPercent * 0.01;
    return std::clamp(static_cast<int>(std::trunc(shift)), 0, tile);
}

PixelBox CanvasBox(const V2dPolygon& region, const V2dPolygonMesh* mesh) {
    return mesh ? OutlineBox(region) : BoxOf(QuadOf(region.corners));
}

bool CanvasBoxUsable(const PixelBox& box) { return !box.empty() && PictureSizeAllowed(box.width(), box.height()); }

CanvasKind CanvasKindFor(const PatternSettings& pattern, const EffectSettings& effect) {
    if (!pattern.isPlain()) return CanvasKind::Patterned;
    if (effect.shown && (effect.offsetX != 0 || effect.offsetY != 0)) return CanvasKind::Shifted;
    return CanvasKind::Repeated;
}

Result<QImage> BuildLayingCanvas(const CanvasRequest& request) {
    return kCanvasBuilders[static_cast<size_t>(CanvasKindFor(request.pattern, request.effect))](request);
}

QImage BuildTiledCanvas(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& product, int widthMm,
                        int heightMm) {
    const PixelBox box = CanvasBox(region, mesh);
    if (product.isNull() || !CanvasBoxUsable(box)) return {};
    const int bw = box.width(), bh = box.height();
    const int tw = PlainTileSide(bw, region.realWidth, widthMm);
    const int th = PlainTileSide(bh, region.realHeight, heightMm);
    if (tw == 0 || th == 0) return {};
    // Only the part of a tile that falls on the canvas is ever drawn.
    const QImage tile =
        ResizePictureWindow(AveragedForTile(product, tw, th), tw, th, std::min(tw, bw), std::min(th, bh));
    if (tile.isNull()) return {};
    QImage canvas(bw, bh, QImage::Format_RGB32);
    FillWithPattern(canvas, tile, 0, 0);
    return canvas;
}

QImage BuildShiftedTiledCanvas(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& product,
                               int widthMm, int heightMm, int offsetX, int offsetY) {
    const PixelBox box = CanvasBox(region, mesh);
    if (product.isNull() || !CanvasBoxUsable(box)) return {};
    const int bw = box.width(), bh = box.height();
    const int tw = ShiftedTileSide(bw, region.realWidth, widthMm);
    const int th = ShiftedTileSide(bh, region.realHeight, heightMm);
    if (tw == 0 || th == 0 || !PictureSizeAllowed(tw, th)) return {};
    const QImage tile = ResizePicture(AveragedForTile(product, tw, th), tw, th);
    if (tile.isNull()) return {};
    QImage canvas(bw, bh, QImage::Format_RGB32);
    FillWithPattern(canvas, tile, PatternShift(tw, offsetX), PatternShift(th, offsetY));
    return canvas;
}

Result<QImage> BuildPatternCanvas(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& product,
                                  int widthMm, int heightMm, const PatternSettings& pattern,
                                  const EffectSettings& effect) {
    const PixelBox box = CanvasBox(region, mesh);
    if (product.isNull() || !CanvasBoxUsable(box)) return QImage();
    const double shiftX = effect.shown ? widthMm * effect.offsetX * 0.01 : 0;
    const double shiftY = effect.shown ? heightMm * effect.offsetY * 0.01 : 0;
    return PaintLaid(pattern, product, widthMm, heightMm, region.realWidth, region.realHeight, {shiftX, shiftY},
                     box.width(), box.height());
}

QImage BuildRectangleCanvas(const V2dPolygon& region, const ProductPanelState& panel) {
    int w = 0, h = 0;
    ProductPanelState unfitted = panel;
    unfitted.fit = false;
    const QImage product = PrepareProduct(unfitted, region, w, h);
    if (product.isNull()) return {};
    if (panel.fit) return product;
    const PixelBox box = BoxOf(QuadOf(region.corners));
    if (box.empty() || region.realWidth <= 0 || region.realHeight <= 0) return {};
    const double tw = std::ceil(MmToPixels(w, box.width(), region.realWidth));
    const double th = std::ceil(MmToPixels(h, box.height(), region.realHeight));
    if (!(tw <= kMaxPictureSide && th <= kMaxPictureSide)) return {};
    return ResizePicture(product, std::max(2, static_cast<int>(tw)), std::max(2, static_cast<int>(th)));
}

QImage BuildRectangleFill(const V2dPolygon& region, const ProductPanelState& panel, const QImage& canvas, int width,
                          int height) {
    if (panel.fit) return ResizePicture(canvas, width, height);
    if (CanvasKindFor(panel.pattern, {}) == CanvasKind::Patterned) return PatternedRectangle(region, panel, width, height);
    QImage filled(width, height, QImage::Format_RGB32);
    FillWithPattern(filled, ToRgb32(canvas), 0, 0);
    return filled;
}

}  // namespace v2d
