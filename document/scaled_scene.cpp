#include "document/scaled_scene.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "scene/outline_geometry.h"

namespace v2d {
namespace {

class Scaler {
public:
    explicit Scaler(double factor) : f_(factor) {}

    // A pixel's centre, as the resampled photo puts it.
    int At(int p) const { return Rounded((p + 0.5) * f_ - 0.5); }
    V2d_Point At(V2d_Point p) const { return {At(p.x), At(p.y)}; }
    // An offset, or where a picture's top-left edge lies.
    int Offset(int v) const { return Rounded(v * f_); }
    // A radius: one that was there keeps at least a pixel.
    int Radius(int v) const { return v <= 0 ? v : std::max(1, Rounded(v * f_)); }
    QSize Size(QSize s) const { return {std::max(1, Rounded(s.width() * f_)), std::max(1, Rounded(s.height() * f_))}; }

private:
    static int Rounded(double v) { return static_cast<int>(std::clamp(std::round(v), -2147483647.0, 2147483647.0)); }
    double f_;
};

QImage Resampled(const QImage& picture, QSize size) {
    if (picture.isNull() || picture.size() == size) return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A picture that covers the outline's box takes the new box's size; any
// other (a repeated texture, a model's picture warped onto its corners) is
// scaled by the factor.
QImage ScaledPicture(const QImage& picture, const PixelBox& before, const PixelBox& after, const Scaler& scale) {
    if (picture.isNull()) return picture;
    if (!before.empty() && picture.size() == QSize(before.width(), before.height()))
        return Resampled(picture, QSize(after.width(), after.height()));
    return Resampled(picture, scale.Size(picture.size()));
}

PolygonPtr ScaledRecord(const V2dPolygon& source, const Scaler& scale) {
    auto record = std::make_unique<V2dPolygon>(source);  // pictures shared until resampled
    record->group = nullptr;
    for (V2d_Point& p : record->points) p = scale.At(p);
    for (V2d_Point& c : record->corners) c = scale.At(c);
    const PixelBox before = OutlineBox(source), after = OutlineBox(*record);
    record->picture = ScaledPicture(source.picture, before, after, scale);
    record->sourcePicture = source.sourcePicture.isNull() ? Picture()
                            : source.sourcePicture.size() == source.picture.size()
                                ? Picture(Resampled(source.sourcePicture, record->picture.size()))
                                : Picture(ScaledPicture(source.sourcePicture, before, after, scale));
    // A picture model's origin moves its picture; a cut-out's is where the picture's top-left edge lies.
    record->originX = scale.Offset(source.originX);
    record->originY = scale.Offset(source.originY);
    record->shadowX = scale.Offset(source.shadowX);
    record->shadowY = scale.Offset(source.shadowY);
    record->shadowRadius = scale.Radius(source.shadowRadius);
    record->blurRadius = scale.Radius(source.blurRadius);
    return record;
}

// Nodes relative to the outline's box keep their place on the photo.
std::vector<V2d_Point> ScaledNodes(const std::vector<V2d_Point>& nodes, const PixelBox& box, const Scaler& scale) {
    std::vector<V2d_Point> scaled;
    scaled.reserve(nodes.size());
    const V2d_Point origin = scale.At(V2d_Point{box.minX, box.minY});
    for (const V2d_Point& n : nodes) {
        const V2d_Point at = scale.At(V2d_Point{box.minX + n.x, box.minY + n.y});
        scaled.push_back({at.x - origin.x, at.y - origin.y});
    }
    return scaled;
}

}  // namespace

double FittingScale(QSize scene, QSize box) {
    if (scene.isEmpty() || box.isEmpty()) return 0;
    return std::min({1.0, double(box.width()) / scene.width(), double(box.height()) / scene.height()});
}

Scene ScaledScene(const Scene& scene, double factor) {
    const Scaler scale(std::clamp(factor, 1e-6, 1.0));
    Scene scaled;
    scaled.background = Resampled(scene.background, scale.Size(scene.background.size()));
    std::map<const V2dPolygon*, V2dPolygon*> copies;
    for (const V2dPolygon* record : scene.records()) copies[record] = scaled.Append(ScaledRecord(*record, scale));
    for (const auto& [source, copy] : copies) {
        if (source->group) {
            const auto owner = copies.find(source->group);
            copy->group = owner == copies.end() ? nullptr : owner->second;
        }
        if (const V2dPolygonMesh* mesh = scene.MeshOf(source)) {
            auto nodes = std::make_unique<V2dPolygonMesh>(*mesh);
            nodes->owner = copy;
            const PixelBox box = OutlineBox(*source);
            nodes->srcNodes = ScaledNodes(mesh->srcNodes, box, scale);
            nodes->dstNodes = ScaledNodes(mesh->dstNodes, box, scale);
            scaled.AddMesh(std::move(nodes));
        }
        if (scene.FrameSetOf(source)) {
            // Only the frame shown is drawn: the copy keeps that one, as its picture.
            auto shown = std::make_unique<V2dPolygonEx>();
            shown->owner = copy;
            shown->frames = {copy->picture};
            scaled.AddFrameSet(std::move(shown));
        }
    }
    for (const V2dGroupPL& group : scene.groups()) {
        V2dGroupPL copy{group.name, {}};
        for (const V2dPolygon* member : group.members)
            if (const auto found = copies.find(member); found != copies.end()) copy.members.push_back(found->second);
        if (copy.members.size() >= 2) scaled.AddGroup(std::move(copy));
    }
    return scaled;
}

}  // namespace v2d
