#include "layout/laying_plan.h"

#include <algorithm>
#include <cmath>

#include "base/html_text.h"
#include "layout/pattern_table.h"
#include "layout/region_quote.h"
#include "library/product.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

std::string Quoted(const std::string& name) { return "“" + name + "”"; }

// Refused unless the record is a region laid with a product's tiles.
Status CheckTiled(const V2dPolygon& region) {
    const Product& product = region.partsInfo.product();
    if (region.kind != RecordKind::Region || region.picture.isNull() || product.number().empty())
        return Error{"区域" + Quoted(region.name) + "没有铺贴产品（砖或板），没有铺贴图。"};
    if (product.unit() == PriceUnit::Roll)
        return Error{"区域" + Quoted(region.name) + "贴的是墙纸（按卷计），没有铺贴图。"};
    return {};
}

QRectF OuterBox(const std::vector<RealRing>& outline) {
    QRectF box;
    for (const RealRing& ring : outline)
        if (!ring.hole) box = box.isNull() ? ring.box : box.united(ring.box);
    return box;
}

// ---- Drawing ---------------------------------------------------------------

// Millimetres to a hundredth, in their shortest form.
std::string Num(double value) {
    std::string text = FormatDecimals(std::abs(value) < 0.005 ? 0.0 : value, 2);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::string Point(QPointF p) { return Num(p.x()) + "," + Num(p.y()); }

std::string RingPath(const std::vector<QPointF>& points) {
    std::string d;
    for (size_t i = 0; i < points.size(); ++i) d += (i == 0 ? "M" : " L") + Point(points[i]);
    return d + " Z";
}

// The rings as one path; `holes` picks the holes alone, else every ring.
std::string OutlinePath(const std::vector<RealRing>& rings, bool holesOnly = false) {
    std::string d;
    for (const RealRing& ring : rings)
        if (!holesOnly || ring.hole) d += (d.empty() ? "" : " ") + RingPath(ring.points);
    return d;
}

// A round length for the scale bar, about a third of the drawing's width.
double ScaleBarLength(double width) {
    double length = 10;
    for (double step : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 50000.0})
        if (step <= width / 3) length = step;
    return length;
}

std::string Text(QPointF at, double size, const std::string& text, const std::string& extra = "") {
    return "<text x=\"" + Num(at.x()) + "\" y=\"" + Num(at.y()) + "\" font-size=\"" + Num(size) + "\"" + extra + ">" +
           EscapeHtml(text) + "</text>\n";
}

std::string Line(QPointF a, QPointF b, double width, const std::string& colour = "#333") {
    return "<line x1=\"" + Num(a.x()) + "\" y1=\"" + Num(a.y()) + "\" x2=\"" + Num(b.x()) + "\" y2=\"" + Num(b.y()) +
           "\" stroke=\"" + colour + "\" stroke-width=\"" + Num(width) + "\"/>\n";
}

// An arrowhead at `tip` pointing along the unit vector `to`.
std::string Arrow(QPointF tip, QPointF to, double u) {
    const QPointF across(-to.y(), to.x());
    const QPointF back = tip - 9 * u * to;
    return "<polygon points=\"" + Point(tip) + " " + Point(back + 3 * u * across) + " " + Point(back - 3 * u * across) +
           "\" fill=\"#333\"/>\n";
}

// A dimension line from a to b, `off` away from the measured edge (along
// `out`), with extension lines, arrowheads and the length on its outer side.
std::string Dimension(QPointF a, QPointF b, QPointF out, double off, double u, double length, bool vertical) {
    const QPointF da = a + off * out, db = b + off * out;
    const QPointF along = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
    std::string svg = "<g class=\"dimension\">\n" + Line(a + 4 * u * out, da + 6 * u * out, 0.8 * u) +
                      Line(b + 4 * u * out, db + 6 * u * out, 0.8 * u) + Line(da, db, 1 * u) + Arrow(da, -1 * along, u) +
                      Arrow(db, along, u);
    const QPointF mid = (da + db) / 2 - 5 * u * out;
    const std::string label = Num(std::round(length));
    svg += vertical ? Text(mid, 14 * u, label,
                           " text-anchor=\"middle\" transform=\"rotate(-90 " + Num(mid.x()) + " " + Num(mid.y()) + ")\"")
                    : Text(mid, 14 * u, label, " text-anchor=\"middle\"");
    return svg + "</g>\n";
}

// The size of each cut piece that is a rectangle and large enough on the
// drawing to carry it, along the tile's own sides ("100×300").
std::string CutSizes(const LayingPlan& plan, double u) {
    std::string svg;
    for (const PlanTile& tile : plan.tiles) {
        if (tile.whole || tile.inside.size() != 1) continue;
        const QPointF origin = tile.corners[0];
        const QPointF along = (tile.corners[1] - origin) / plan.tileWidth, down = (tile.corners[3] - origin) / plan.tileHeight;
        double a0 = INFINITY, a1 = -INFINITY, d0 = INFINITY, d1 = -INFINITY;
        for (const QPointF& p : tile.inside.front().points) {
            const QPointF r = p - origin;
            const double a = QPointF::dotProduct(r, along), d = QPointF::dotProduct(r, down);
            a0 = std::min(a0, a), a1 = std::max(a1, a), d0 = std::min(d0, d), d1 = std::max(d1, d);
        }
        const double w = a1 - a0, h = d1 - d0;
        if (std::abs(OutlineArea(tile.inside) - w * h) > kWholeTileToleranceMm * (w + h)) continue;  // no rectangle
        const std::string label = Num(std::round(w)) + "×" + Num(std::round(h));
        const double font = 11 * u, textWidth = 0.6 * font * static_cast<double>(label.size() - 1);  // "×" is 2 bytes
        const bool across = w >= textWidth + font && h >= 1.6 * font;
        const bool upright = !across && h >= textWidth + font && w >= 1.6 * font;
        if (!across && !upright) continue;
        const QPointF centre = origin + (a0 + a1) / 2 * along + (d0 + d1) / 2 * down;
        const QPointF at = centre + (across ? QPointF(0, 0.35 * font) : QPointF(0.35 * font, 0));
        svg += Text(at, font, label,
                    " text-anchor=\"middle\" fill=\"#5a2a08\" stroke=\"#fff\" stroke-width=\"" + Num(2.5 * u) +
                        "\" paint-order=\"stroke\"" +
                        (upright ? " transform=\"rotate(-90 " + Num(at.x()) + " " + Num(at.y()) + ")\"" : std::string()));
    }
    return svg.empty() ? svg : "<g class=\"cut-sizes\">\n" + svg + "</g>\n";
}

constexpr const char* kWholeFill = "#eef2f6";
constexpr const char* kCutFill = "#f5c48c";
constexpr const char* kCutHatch = "#c46f24";
constexpr const char* kTileStroke = "#7d8b99";
constexpr const char* kStartColour = "#d1243b";

// The drawing; in a page it shrinks to the page's width.
std::string PlanSvg(const LayingPlan& plan, bool inPage) {
    QRectF drawing = plan.extent;
    drawing = drawing.united(QRectF(plan.start, QSizeF(0, 0)));
    // Millimetres per pixel of a drawing about 760 pixels across its longer side.
    const double u = std::max(drawing.width(), drawing.height()) / 760;
    const double left = drawing.left() - 30 * u, top = drawing.top() - 92 * u;
    const double width = std::max(drawing.width() + 100 * u, 520 * u), height = drawing.height() + 208 * u;
    const std::string id = "plan" + std::to_string(plan.index);

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"laying-plan\" viewBox=\"" + Num(left) + " " +
                      Num(top) + " " + Num(width) + " " + Num(height) + "\" width=\"" + Num(width / u) +
                      "\" height=\"" + Num(height / u) + (inPage ? "\" style=\"max-width:100%;height:auto;max-height:250mm" : "") +
                      "\" font-family=\"'Noto Sans CJK SC','Source Han Sans SC','WenQuanYi Micro Hei',sans-serif\" "
                      "fill=\"#222\">\n<title>" + EscapeHtml(plan.regionName) + " 铺贴图</title>\n";
    svg += "<defs>\n<pattern id=\"" + id + "-hatch\" patternUnits=\"userSpaceOnUse\" width=\"" + Num(7 * u) +
           "\" height=\"" + Num(7 * u) + "\" patternTransform=\"rotate(30)\"><rect width=\"" + Num(7 * u) +
           "\" height=\"" + Num(7 * u) + "\" fill=\"" + kCutFill + "\"/>" + "<rect width=\"" + Num(1.6 * u) +
           "\" height=\"" + Num(7 * u) + "\" fill=\"" + kCutHatch + "\"/></pattern>\n";
    svg += "<clipPath id=\"" + id + "-region\"><path clip-rule=\"evenodd\" d=\"" + OutlinePath(plan.outline) +
           "\"/></clipPath>\n</defs>\n";
    svg += "<rect x=\"" + Num(left) + "\" y=\"" + Num(top) + "\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
           "\" fill=\"#fff\"/>\n";

    // The tiles, the cut ones only where they stay; the clip keeps every
    // stroke inside the region.
    svg += "<g class=\"tiles\" clip-path=\"url(#" + id + "-region)\" stroke=\"" + kTileStroke + "\" stroke-width=\"" +
           Num(0.9 * u) + "\" stroke-linejoin=\"round\">\n";
    for (const PlanTile& tile : plan.tiles) {
        if (tile.whole) {
            svg += "<polygon class=\"whole\" fill=\"" + std::string(kWholeFill) + "\" points=\"";
            for (size_t n = 0; n < tile.corners.size(); ++n) svg += (n ? " " : "") + Point(tile.corners[n]);
            svg += "\"/>\n";
        } else {
            svg += "<path class=\"cut\" fill=\"url(#" + id + "-hatch)\" fill-rule=\"evenodd\" d=\"" +
                   OutlinePath(tile.inside) + "\"/>\n";
        }
    }
    svg += "</g>\n" + CutSizes(plan, u);
    const std::string holes = OutlinePath(plan.outline, true);
    if (!holes.empty())
        svg += "<path class=\"hole\" fill=\"#d6d6d6\" fill-rule=\"evenodd\" d=\"" + holes + "\"/>\n";
    svg += "<path class=\"outline\" fill=\"none\" stroke=\"#1d2a38\" stroke-width=\"" + Num(2.4 * u) +
           "\" stroke-linejoin=\"miter\" d=\"" + OutlinePath(plan.outline) + "\"/>\n";

    // Where laying starts.
    const QPointF s = plan.start;
    svg += "<g class=\"start\"><circle cx=\"" + Num(s.x()) + "\" cy=\"" + Num(s.y()) + "\" r=\"" + Num(7 * u) +
           "\" fill=\"" + kStartColour + "\" stroke=\"#fff\" stroke-width=\"" + Num(1.5 * u) + "\"/>" +
           Line(s - QPointF(11 * u, 0), s + QPointF(11 * u, 0), 1.2 * u, kStartColour) +
           Line(s - QPointF(0, 11 * u), s + QPointF(0, 11 * u), 1.2 * u, kStartColour) +
           Text(s + QPointF(12 * u, 22 * u), 13 * u, "起铺点",
                std::string(" fill=\"") + kStartColour + "\" stroke=\"#fff\" stroke-width=\"" + Num(3 * u) +
                    "\" paint-order=\"stroke\" font-weight=\"bold\"") +
           "</g>\n";

    // The overall size below and right of the drawing.
    const QRectF& e = plan.extent;
    svg += Dimension(e.bottomLeft(), e.bottomRight(), QPointF(0, 1), 30 * u + drawing.bottom() - e.bottom(), u,
                     e.width(), false);
    svg += Dimension(e.topRight(), e.bottomRight(), QPointF(1, 0), 30 * u + drawing.right() - e.right(), u, e.height(),
                     true);

    // The scale bar: two halves, black and white, the length under it.
    const double bar = ScaleBarLength(drawing.width() > 0 ? drawing.width() : e.width());
    const QPointF b0(drawing.left(), drawing.bottom() + 62 * u);
    svg += "<g class=\"scale\"><rect x=\"" + Num(b0.x()) + "\" y=\"" + Num(b0.y()) + "\" width=\"" + Num(bar / 2) +
           "\" height=\"" + Num(6 * u) + "\" fill=\"#222\"/><rect x=\"" + Num(b0.x() + bar / 2) + "\" y=\"" +
           Num(b0.y()) + "\" width=\"" + Num(bar / 2) + "\" height=\"" + Num(6 * u) +
           "\" fill=\"#fff\" stroke=\"#222\" stroke-width=\"" + Num(0.8 * u) + "\"/>\n" +
           Text(b0 + QPointF(0, 20 * u), 12 * u, "0", " text-anchor=\"middle\"") +
           Text(b0 + QPointF(bar, 20 * u), 12 * u, Num(bar) + " 毫米", " text-anchor=\"middle\"") + "</g>\n";

    // The legend under the scale bar, and the caption over the drawing.
    const double ly = drawing.bottom() + 100 * u, lx = drawing.left();
    auto swatch = [&](double x, const std::string& fill, const std::string& label) {
        return "<rect x=\"" + Num(x) + "\" y=\"" + Num(ly - 11 * u) + "\" width=\"" + Num(14 * u) + "\" height=\"" +
               Num(14 * u) + "\" fill=\"" + fill + "\" stroke=\"" + kTileStroke + "\" stroke-width=\"" + Num(0.9 * u) +
               "\"/>" + Text(QPointF(x + 20 * u, ly), 12 * u, label);
    };
    svg += "<g class=\"legend\">" + swatch(lx, kWholeFill, "整砖") + swatch(lx + 80 * u, "url(#" + id + "-hatch)", "切割砖") +
           (holes.empty() ? "" : swatch(lx + 175 * u, "#d6d6d6", "孔洞，不铺")) + "</g>\n";

    const PatternRow* row = PatternRowOf(plan.pattern);
    std::string product = plan.productName;
    if (!plan.productNumber.empty() && plan.productNumber != product)
        product += product.empty() ? plan.productNumber : "（" + plan.productNumber + "）";
    svg += "<g class=\"caption\">" +
           Text(QPointF(drawing.left(), drawing.top() - 64 * u), 18 * u, plan.regionName + " 铺贴图",
                " font-weight=\"bold\"") +
           Text(QPointF(drawing.left(), drawing.top() - 42 * u), 14 * u,
                "整砖 " + std::to_string(plan.whole) + " 块，切割砖 " + std::to_string(plan.cut) + " 块（共 " +
                    std::to_string(plan.whole + plan.cut) + " 块）") +
           Text(QPointF(drawing.left(), drawing.top() - 22 * u), 12 * u,
                "产品：" + product + "　铺法：" + std::string(row ? row->caption : "") + "　砖：" + Num(plan.tileWidth) +
                    "×" + Num(plan.tileHeight) + "　缝宽：" + std::to_string(plan.jointMm) + "　尺寸单位：毫米",
                " fill=\"#555\"") +
           "</g>\n";
    return svg + "</svg>";
}

}  // namespace

Result<LayingPlan> MakeLayingPlan(const Scene& scene, int regionIndex) {
    if (regionIndex < 0 || regionIndex >= scene.count())
        return Error{"方案中没有第 " + std::to_string(regionIndex) + " 个区域。"};
    const V2dPolygon& region = *scene.at(regionIndex);
    if (Status tiled = CheckTiled(region); !tiled) return tiled.failure();
    Result<RegionTiles> laying = LayRegionAsLaid(scene, region);
    if (!laying) return laying.failure();

    LayingPlan plan;
    plan.index = regionIndex;
    plan.regionName = region.name;
    plan.productName = region.partsInfo.product().name();
    plan.productNumber = region.partsInfo.product().number();
    const PatternSettings& settings = region.partsInfo.pattern();
    plan.pattern = settings.pattern;
    plan.jointMm = std::clamp(settings.jointMm, 0, kMaxJointMm);
    const TileLayout& layout = laying->layout;
    plan.tileWidth = layout.tileWidth;
    plan.tileHeight = layout.tileHeight;
    plan.outline = std::move(laying->outline);
    plan.extent = OuterBox(plan.outline);
    if (plan.extent.isEmpty()) return Error{"区域" + Quoted(region.name) + "在铺贴的范围里没有面积，没有铺贴图。"};
    plan.start = QPointF(layout.origin.x, layout.origin.y);
    for (const PlacedTile& placed : layout.tiles) {
        const TileFit fit = FitOf(plan.outline, layout, placed);
        if (fit == TileFit::Outside) continue;
        const TileCorners c = CornersOf(layout, placed);
        PlanTile tile{{QPointF(c.x[0], c.y[0]), QPointF(c.x[1], c.y[1]), QPointF(c.x[2], c.y[2]), QPointF(c.x[3], c.y[3])},
                      fit == TileFit::Whole,
                      {}};
        if (!tile.whole) tile.inside = OutlineWithinTile(plan.outline, layout, placed);
        (tile.whole ? plan.whole : plan.cut) += 1;
        plan.tiles.push_back(std::move(tile));
    }
    return plan;
}

std::string LayingPlanSvgElement(const LayingPlan& plan) { return PlanSvg(plan, true); }

std::string LayingPlanSvg(const LayingPlan& plan) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + PlanSvg(plan, false) + "\n";
}

}  // namespace v2d
