#include "render/tiling.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "layout/light_mode.h"
#include "layout/pattern_descriptor.h"
#include "layout/region_quote.h"
#include "layout/region_plane.h"
#include "render/relief.h"
#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"
#include "render/tone.h"

namespace v2d {
namespace {

// A warp result at exactly the box's size: a library result of another size
// is cut or padded with black; a null result stays null.
QImage SizedToBox(const QImage& warped, const PixelBox& box) {
    if (warped.isNull()) return {};
    if (warped.width() == box.width() && warped.height() == box.height()) return warped;
    QImage sized(box.width(), box.height(), QImage::Format_RGB32);
    sized.fill(0xFF000000u);
    CopyPictureInto(sized, warped, 0, 0, sized.rect());
    return sized;
}

// The window of a 32-bit picture. One that keeps nearly all of it shares
// its pixels, read-only (a change copies them first), instead of a copy.
QImage WindowOf(const QImage& picture, const QRect& window) {
    if (window == picture.rect()) return picture;
    constexpr double kShared = 0.9;  // what of the picture a shared window keeps at least
    if (double(window.width()) * window.height() < kShared * double(picture.width()) * picture.height())
        return picture.copy(window);
    auto* keep = new QImage(picture);
    const QImage shared(keep->constBits() + window.top() * keep->bytesPerLine() + 4 * qsizetype(window.left()),
                        window.width(), window.height(), keep->bytesPerLine(), keep->format(),
                        [](void* info) { delete static_cast<QImage*>(info); }, keep);
    if (!shared.isNull()) return shared;
    delete keep;
    return picture.copy(window);
}

// Corners on the corners of their own box, in quad order: the canvas is that
// box, and its warp would be the identity.
bool CornersAreUpright(const V2dPolygon& region) {
    const Quad quad = QuadOf(region.corners);
    return quad == BoxOf(quad).corners();
}

}  // namespace

LaidSize PanelTileSize(const ProductPanelState& panel, const V2dPolygon& region) {
    // Fit comes after the swap: it ignores the turn for the size.
    if (panel.fit) return {region.realWidth, region.realHeight};
    return panel.rotate ? LaidSize{panel.heightMm, panel.widthMm} : LaidSize{panel.widthMm, panel.heightMm};
}

QImage PrepareProduct(const ProductPanelState& panel, const V2dPolygon& region, int& widthMm, int& heightMm) {
    QImage product = ToRgb32(panel.picture);
    if (panel.mirror) product = MirrorPicture(product);
    if (panel.rotate) product = RotatePicture90(product);
    const LaidSize size = PanelTileSize(panel, region);
    widthMm = size.width;
    heightMm = size.height;
    return product;
}

Result<RegionMeasure> MeasurePanelLaying(const Scene& scene, const V2dPolygon& region, const ProductPanelState& panel) {
    return MeasureRegion(scene, region, panel.pattern, PanelTileSize(panel, region));
}

QImage WarpToQuad(const QImage& canvas, const Quad& quad, const ImageOperations& ops, const Progress& progress) {
    const PixelBox box = BoxOf(quad);
    if (canvas.isNull() || !CanvasBoxUsable(box)) return {};
    return SizedToBox(ops.Transform(ToRgb32(canvas), quad, progress), box);
}

QImage WarpToMesh(const V2dPolygonMesh& mesh, const QImage& canvas, const ImageOperations& ops,
                  const Progress& progress) {
    const PixelBox box = BoxOf(mesh.dstNodes);
    if (canvas.isNull() || !CanvasBoxUsable(box)) return {};
    return SizedToBox(ops.TransformMesh(ToRgb32(canvas), mesh.srcNodes, mesh.dstNodes, mesh.rows, mesh.cols, progress),
                      box);
}

QImage ComposeRegionPicture(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& warped,
                            const QImage& photo) {
    const PixelBox box = OutlineBox(region);
    if (!CanvasBoxUsable(box)) return {};
    QPoint anchor;
    if (mesh) {
        const PixelBox nodes = BoxOf(mesh->dstNodes);
        anchor = QPoint(nodes.minX + box.minX, nodes.minY + box.minY);
    } else {
        const PixelBox quad = BoxOf(QuadOf(region.corners));
        anchor = QPoint(quad.minX, quad.minY);
    }
    // A warped canvas that covers the whole box hides the photo entirely:
    // the picture is the box's window of it.
    const QRect window(box.minX - anchor.x(), box.minY - anchor.y(), box.width(), box.height());
    if (QRect(QPoint(0, 0), warped.size()).contains(window)) return WindowOf(ToRgb32(warped), window);
    // The photo under the box, with the warped canvas copied over it: the
    // photo only where the canvas leaves the box uncovered.
    QImage result(box.width(), box.height(), QImage::Format_RGB32);
    const bool photoCovers = box.minX >= 0 && box.minY >= 0 && box.maxX < photo.width() && box.maxY < photo.height();
    if (!photoCovers) result.fill(0xFF000000u);
    const QPoint at(anchor.x() - box.minX, anchor.y() - box.minY);
    const QRect covered = QRect(at, warped.size()) & result.rect();
    const QRect strips[] = {QRect(0, 0, result.width(), covered.top()),
                            QRect(0, covered.bottom() + 1, result.width(), result.height() - covered.bottom() - 1),
                            QRect(0, covered.top(), covered.left(), covered.height()),
                            QRect(covered.right() + 1, covered.top(), result.width() - covered.right() - 1,
                                  covered.height())};
    if (covered.isEmpty()) {
        CopyPictureInto(result, photo, -box.minX, -box.minY, result.rect());
    } else {
        for (const QRect& strip : strips)
            if (!strip.isEmpty()) CopyPictureInto(result, photo, -box.minX, -box.minY, strip);
    }
    CopyPictureInto(result, warped, at.x(), at.y(), result.rect());
    return result;
}

QImage TileIntoRectangle(V2d_Point start, V2d_Point end, const V2dPolygon& region, const QImage& canvas,
                         const ProductPanelState& panel, const ImageOperations& ops) {
    if (region.picture.isNull() || canvas.isNull()) return {};
    const Quad corners = QuadOf(region.corners);
    const V2d_Point ends[] = {start, end};
    const std::vector<V2d_Point> flat = MappedOrAsGiven(ops.ATransPoint(ends, corners), ends);
    if (flat.size() != 2) return {};
    // The rectangle in the unwarped plane, corners in quad order.
    const int left = std::min(flat[0].x, flat[1].x), right = std::max(flat[0].x, flat[1].x);
    const int top = std::min(flat[0].y, flat[1].y), bottom = std::max(flat[0].y, flat[1].y);
    const long long w = static_cast<long long>(right) - left, h = static_cast<long long>(bottom) - top;
    if (w < 1 || h < 1 || !PictureSizeAllowed(static_cast<int>(std::min<long long>(w, kMaxPictureSide + 1LL)),
                                              static_cast<int>(std::min<long long>(h, kMaxPictureSide + 1LL))))
        return {};
    const V2d_Point rectangle[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    const std::vector<V2d_Point> q = MappedOrAsGiven(ops.TransPoint(rectangle, corners), rectangle);
    if (q.size() != 4) return {};
    const Quad scenQuad{q[0], q[1], q[2], q[3]};

    const QImage flatBitmap = BuildRectangleFill(region, panel, canvas, static_cast<int>(w), static_cast<int>(h));
    if (flatBitmap.isNull()) return {};
    const QImage warped = WarpToQuad(flatBitmap, scenQuad, ops, {});
    if (warped.isNull()) return {};

    const PixelBox box = OutlineBox(region);
    const PixelBox quadBox = BoxOf(scenQuad);
    QPolygonF polygon;
    for (const V2d_Point& p : scenQuad) polygon << QPointF(p.x - box.minX + 0.5, p.y - box.minY + 0.5);
    QBrush brush(warped);
    brush.setTransform(QTransform::fromTranslate(quadBox.minX - box.minX, quadBox.minY - box.minY));
    QImage picture = ToRgb32(region.picture).copy();
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(brush);
        painter.drawPolygon(polygon);
    }
    return picture;
}

namespace {

// The descriptor as stored: at most 1023 characters.
std::string StoredDescriptor(const std::string& descriptor) {
    size_t characters = 0, i = 0;
    while (i < descriptor.size() && characters < 1023) {
        const unsigned char c = static_cast<unsigned char>(descriptor[i]);
        i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        ++characters;
    }
    return descriptor.substr(0, std::min(i, descriptor.size()));
}

RegionLaying Refused(const char* text, const char* caption, MessageIcon icon) {
    RegionLaying laid;
    laid.status = TileStatus::Refused;
    laid.message = Error{text, caption, icon};
    return laid;
}

}  // namespace

RegionLaying LayRegion(const Scene& scene, const ImageOperations& ops, const ModelDrawer& drawer,
                       const V2dPolygon& region, const ProductPanelState& panel, const EffectSettings& effect,
                       const Progress& progress, const CancelToken& cancel) {
    if (cancel.cancelled()) return {};
    // A region without points or without a positive real size gives no
    // scale to tile with.
    if (region.points.empty()) return Refused(kMsgCannotCompute, kCaptionPrompt, MessageIcon::Question);
    if (region.kind == RecordKind::ShadowRegion) return Refused(kMsgShadowNotTiled, "", MessageIcon::Information);
    const V2dPolygonMesh* mesh = region.kind == RecordKind::Region ? scene.MeshOf(&region) : nullptr;
    // A quad side of no length gives no perspective to warp with.
    if (!CheckRegionPlane(region, mesh || region.kind != RecordKind::Region))
        return Refused(kMsgCannotCompute, kCaptionPrompt, MessageIcon::Question);

    int w = 0, h = 0;
    const QImage product = PrepareProduct(panel, region, w, h);
    Result<QImage> built = BuildLayingCanvas({region, mesh, product, w, h, panel.pattern, effect});
    if (!built) return Refused(built.error().c_str(), kCaptionPrompt, MessageIcon::Information);
    QImage canvas = std::move(*built);
    RegionLaying laid;
    if (canvas.isNull() || cancel.cancelled()) return laid;
    if (effect.shown && (effect.bump == ReliefChoice::Raised || effect.bump == ReliefChoice::Sunken))
        canvas = ApplyRelief(canvas, effect.bump == ReliefChoice::Raised ? ReliefKind::Raised : ReliefKind::Sunken,
                             0.01 * effect.strength, ops);
    laid.toneEnabled = true;
    if (panel.ambientColour) canvas = MultiplyColour(canvas, panel.colour);

    if (region.kind == RecordKind::PictureModel) {
        laid.picture = std::move(canvas);
        laid.status = TileStatus::Tiled;
        if (region.group && scene.IndexOfPolygon(region.group) >= 0) {
            laid.owner = region.group->id;
            laid.ownerPicture =
                drawer.PartsPicture(*region.group, DrawContext{scene, ops, progress}, {&region, laid.picture});
        }
        return laid;
    }
    QImage warped;
    if (!mesh && CornersAreUpright(region))
        warped = std::move(canvas);
    else if (mesh)
        warped = WarpToMesh(*mesh, canvas, ops, progress);
    else
        warped = WarpToQuad(canvas, QuadOf(region.corners), ops, progress);
    canvas = QImage();  // warped: the flat canvas is no longer needed
    if (cancel.cancelled()) return {};
    if (!warped.isNull()) laid.picture = ComposeRegionPicture(region, mesh, warped, scene.background);
    if (laid.picture.isNull()) {
        laid.status = TileStatus::WarpFailed;
        return laid;
    }
    // Patterned layings keep their settings after the product's items, and
    // the region keeps its light after those.
    const LightMode light = region.partsInfo.lightMode();
    const size_t lightBytes = light == LightMode::Room ? kLightItemBytes : 0;
    const bool limited = !panel.pattern.isPlain() || light == LightMode::Room;
    laid.partsInfo = PartsInfo(WithLightMode(
        WithPatternSettings(StoredDescriptor(panel.product.descriptor()), panel.pattern, {w, h},
                            limited ? kPartsInfoBytes - 1 - lightBytes : std::string::npos),
        light));
    laid.status = TileStatus::Tiled;
    return laid;
}

}  // namespace v2d
