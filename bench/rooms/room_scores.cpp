// The room finder on every tuning and held-out room: the photo is read as
// the program reads a room photo (upright as its camera recorded), the room found with the floor's click and the
// room's known length, and scored against the truth (layout pixel error,
// each visible surface's outline IoU, the worst corner angle and size error
// over the surfaces), beside one click on the floor and one on the widest
// wall (their outline IoUs).
// Usage: room_scores [--size WxH] [--dir FOLDER] [--only NAME] [--set NAME] [--truth] [--draw FOLDER]
//   --set scores one set (suite, tuning, held-out); given again, more.
//   --draw writes each room's photo with the found planes tinted and the
//   visible outlines drawn, as NAME.png.
//   --explain prints the box fit's score, term by term, for the box found
//   and for the best box the truth allows on the found camera (the share
//   of the grid's cells it labels wrong beside it): an objective that
//   prefers the found box is at fault, else the search is.
//   --truth scores the true layout instead of the finder's (the scorer's
//   own check: pixel error about 0, IoU about 1 where nothing stands).
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "base/process_setup.h"
#include "demo/room_score.h"
#include "demo/room_sets.h"
#include "vision/room_planes.h"
#include "vision/surface_finder.h"

namespace v2d {
namespace {

struct Options {
    int width = 640, height = 480;
    std::filesystem::path dir;
    std::string only;
    std::vector<std::string> sets;  // empty: all
    bool truth = false;
    std::filesystem::path draw;
    bool explain = false;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    options.dir = std::filesystem::path(argv[0]).parent_path() / "rendered-rooms";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) std::sscanf(argv[++i], "%dx%d", &options.width, &options.height);
        else if (arg == "--dir" && hasValue) options.dir = argv[++i];
        else if (arg == "--only" && hasValue) options.only = argv[++i];
        else if (arg == "--set" && hasValue) options.sets.push_back(argv[++i]);
        else if (arg == "--truth") options.truth = true;
        else if (arg == "--draw" && hasValue) options.draw = argv[++i];
        else if (arg == "--explain") options.explain = true;
    }
    return options;
}

const char* Letter(demo::RoomFace face) {
    switch (face) {
    case demo::RoomFace::Floor: return "F";
    case demo::RoomFace::LeftWall: return "L";
    case demo::RoomFace::BackWall: return "B";
    case demo::RoomFace::RightWall: return "R";
    case demo::RoomFace::FrontWall: return "N";
    case demo::RoomFace::Ceiling: return "C";
    default: return "?";
    }
}

// The found planes tinted, one colour each, and their visible outlines.
void Draw(const QImage& photo, const vision::RoomLayout& layout, const std::filesystem::path& file) {
    QImage picture = photo.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta, Qt::cyan};
    int next = 0;
    for (const vision::RoomSurface& surface : layout.surfaces) {
        QColor colour = colours[next++ % 6];
        auto path = [](const std::vector<vision::Ring>& rings) {
            QPainterPath p;
            p.setFillRule(Qt::OddEvenFill);
            for (const vision::Ring& ring : rings) {
                QPolygonF polygon;
                for (const V2d_Point& q : ring) polygon << QPointF(q.x, q.y);
                p.addPolygon(polygon);
                p.closeSubpath();
            }
            return p;
        };
        colour.setAlpha(70);
        painter.fillPath(path({surface.plane}), colour);
        colour.setAlpha(255);
        painter.strokePath(path(surface.outline), QPen(colour, 2));
    }
    painter.end();
    if (const auto png = EncodePng(picture)) (void)WriteFileAtomically(file, *png);
}

struct Totals {
    int rooms = 0, refused = 0, lengthRefused = 0, surfaces = 0, clicks = 0, walls = 0;
    double pixelError = 0, worstPixelError = 0, iou = 0, minIou = 1, click = 0, minClick = 1, wall = 0, minWall = 1;
    double worstAngle = 0, worstSize = 0, seconds = 0;
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The true face of each grid cell of the evidence, None where clutter stands.
std::vector<demo::RoomFace> TrueCells(const QImage& labels, const vision::RoomEvidence& evidence) {
    std::vector<demo::RoomFace> out;
    const int columns = std::max(1, evidence.columns), rows = int(evidence.cells.size()) / columns;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const int px = std::min(labels.width() - 1, int((x + 0.5) * labels.width() / columns));
            const int py = std::min(labels.height() - 1, int((y + 0.5) * labels.height() / rows));
            const auto face = demo::RoomFace(qGray(labels.pixel(px, py)));
            out.push_back(face >= demo::RoomFace::Furniture ? demo::RoomFace::None : face);
        }
    return out;
}

// The share of cells a box labels wrong, its walls matched to the true ones at best.
double CellError(const std::vector<vision::RoomFace>& found, const std::vector<demo::RoomFace>& truth) {
    int counted = 0;
    int cells[5][7] = {};  // found face x true face
    for (size_t i = 0; i < found.size(); ++i) {
        if (truth[i] == demo::RoomFace::None) continue;
        ++counted;
        cells[int(found[i])][int(truth[i])]++;
    }
    // Floor and ceiling are themselves; the walls by the best permutation.
    const int floorOk = cells[int(vision::RoomFace::Floor)][int(demo::RoomFace::Floor)];
    const int ceilingOk = cells[int(vision::RoomFace::Ceiling)][int(demo::RoomFace::Ceiling)];
    int bestWalls = 0;
    const int trueWalls[4] = {int(demo::RoomFace::LeftWall), int(demo::RoomFace::BackWall), int(demo::RoomFace::RightWall),
                              int(demo::RoomFace::FrontWall)};
    int order[4] = {0, 1, 2, 3};
    do {
        const int ok = cells[int(vision::RoomFace::Left)][trueWalls[order[0]]] +
                       cells[int(vision::RoomFace::Back)][trueWalls[order[1]]] +
                       cells[int(vision::RoomFace::Right)][trueWalls[order[2]]];
        bestWalls = std::max(bestWalls, ok);
    } while (std::next_permutation(order, order + 4));
    return counted ? double(counted - floorOk - ceilingOk - bestWalls) / counted : 0;
}

void PrintTerms(const char* title, const vision::BoxObjective& objective, const vision::RoomBox& box,
                const std::vector<demo::RoomFace>& truth) {
    std::vector<vision::RoomFace> labels;
    const vision::BoxScore s = objective.Terms(box, labels);
    std::printf("    %-6s total %8.3f colour %8.3f boundaries %8.3f orientation %8.3f segments %8.3f edges %8.3f  cells wrong "
                "%5.2f%%  box L %.2f R %.2f B %.2f C %.2f\n",
                title, s.total(), s.colour, s.boundaries, s.orientation, s.segmentsOnBoundaries, s.edgesOnBoundaries,
                100 * CellError(labels, truth), box.left, box.right, box.back, box.ceiling);
}

void Explain(const vision::PhotoAnalysis& analysis, const demo::RenderedRoom& rendered) {
    const auto& axes = analysis.roomAxes();
    if (!axes) return;
    const vision::RoomEvidence evidence = vision::RoomEvidenceOf(analysis, *axes);
    const cv::Vec3d floorRay = vision::RayOfPixel(vision::RoomBox{*axes}, analysis.frame(),
                                                  {rendered.click.x + 0.5, rendered.click.y + 0.5});
    const vision::BoxObjective objective(*axes, evidence, floorRay);
    const std::vector<demo::RoomFace> truth = TrueCells(rendered.labels, evidence);
    if (const auto found = vision::RoomBoxWithFloorAt(analysis, rendered.click))
        PrintTerms("found", objective, *found, truth);
    const vision::BoxObjective plain(*axes, evidence, std::nullopt);
    const vision::RoomBox best = vision::ClimbedBox(*axes, [&](const vision::RoomBox& box, std::vector<vision::RoomFace>& labels) {
        plain(box, labels);  // fills the labels
        return -CellError(labels, truth);
    });
    PrintTerms("truth", objective, best, truth);
}

void RunRoom(const demo::RoomCase& room, const Options& options, Totals& totals) {
    std::printf("%-24s", room.name.c_str());
    const auto rendered = demo::RenderCase(room, options.dir, options.width, options.height);
    if (!rendered) {
        std::printf(" render failed: %s\n", rendered.error().c_str());
        return;
    }
    const auto bytes = ReadWholeFile(rendered->photo);
    const QImage photo = bytes ? DecodeUprightPhoto(*bytes) : QImage();
    auto analysis = vision::PhotoAnalysis::Of(photo);
    ++totals.rooms;
    // One click on the floor, as today.
    std::string clickText = "   -  ";
    if (analysis) {
        const auto surface = vision::FindSurface(**analysis, {{rendered->click}, {}});
        const double iou = surface ? demo::ScoreFound(*rendered, surface->rings, surface->corners, std::nullopt).iou : 0;
        char text[16];
        std::snprintf(text, sizeof text, "%6.3f", iou);
        clickText = text;
        ++totals.clicks, totals.click += iou, totals.minClick = std::min(totals.minClick, iou);
    }
    // One click on the widest visible wall, well inside it.
    std::string wallText = "   -  ";
    demo::RoomFace widest = demo::RoomFace::None;
    int widestPixels = 0;
    for (demo::RoomFace face : {demo::RoomFace::LeftWall, demo::RoomFace::BackWall, demo::RoomFace::RightWall}) {
        const QImage mask = demo::FaceMask(rendered->labels, face);
        if (const int pixels = int(std::count_if(mask.constBits(), mask.constBits() + mask.sizeInBytes(),
                                                 [](uchar v) { return v != 0; }));
            pixels > widestPixels)
            widest = face, widestPixels = pixels;
    }
    const QImage wall = demo::FaceMask(rendered->labels, widest);
    if (const auto at = demo::DeepestPixel(wall, 4); at && analysis) {
        const auto surface = vision::FindSurface(**analysis, {{*at}, {}});
        const double iou = surface ? demo::MaskIou(wall, demo::FilledRings(wall.size(), surface->rings)) : 0;
        char text[16];
        std::snprintf(text, sizeof text, "%s%.3f", Letter(widest), iou);
        wallText = text;
        ++totals.walls, totals.wall += iou, totals.minWall = std::min(totals.minWall, iou);
    }
    if (options.explain && analysis) {
        std::printf("\n");
        Explain(**analysis, *rendered);
    }
    const demo::SurfaceLength& known = rendered->known;
    vision::RoomRequest request;
    request.floorClick = rendered->click;
    request.length = vision::RoomLength{known.a, known.b, known.millimetres};
    const auto start = std::chrono::steady_clock::now();
    Result<vision::RoomLayout> layout = options.truth ? Result<vision::RoomLayout>(demo::TrueLayout(*rendered))
                                        : analysis    ? vision::FindRoom(**analysis, request)
                                                      : Result<vision::RoomLayout>(analysis.failure());
    // A length the found surfaces cannot take fails the sizes only: the
    // room is found again without it and scored without sizes.
    std::string note;
    if (!layout && analysis && !options.truth && layout.error() == vision::kMsgLengthAcrossSurfaces) {
        note = "  (length refused)";
        ++totals.lengthRefused;
        request.length.reset();
        layout = vision::FindRoom(**analysis, request);
    }
    const double seconds = Seconds(start);
    totals.seconds += seconds;
    if (layout && !options.draw.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.draw, error);
        Draw(photo, *layout, options.draw / (room.name + ".png"));
    }
    // A refusal scores as an empty layout: every pixel wrong, every surface missed.
    const demo::RoomLayoutScore score = demo::ScoreLayout(*rendered, layout ? *layout : vision::RoomLayout{});
    totals.refused += !layout;
    totals.pixelError += score.pixelError;
    totals.worstPixelError = std::max(totals.worstPixelError, score.pixelError);
    std::string ious;
    for (const demo::SurfaceScore& s : score.surfaces) {
        char text[24];
        std::snprintf(text, sizeof text, " %s%.3f", Letter(s.face), s.outlineIou);
        ious += text;
        ++totals.surfaces, totals.iou += s.outlineIou, totals.minIou = std::min(totals.minIou, s.outlineIou);
    }
    if (!layout) {
        std::printf("  refused: %s  click %s %s\n", layout.error().c_str(), clickText.c_str(), wallText.c_str());
        return;
    }
    auto figure = [](const std::optional<double>& v) {
        char text[16];
        std::snprintf(text, sizeof text, v ? "%6.2f" : "     -", v.value_or(0));
        return std::string(text);
    };
    if (score.worstAngleDeg) totals.worstAngle = std::max(totals.worstAngle, *score.worstAngleDeg);
    if (score.worstSizeErrorPercent) totals.worstSize = std::max(totals.worstSize, *score.worstSizeErrorPercent);
    std::printf(" %6.2f%% %2zu/%-2zu %-34s %6.3f %s %s  %s %s %6.2fs%s\n", 100 * score.pixelError,
                layout->surfaces.size(), score.surfaces.size(), ious.c_str(), score.minIou,
                figure(score.worstAngleDeg).c_str(), figure(score.worstSizeErrorPercent).c_str(), clickText.c_str(),
                wallText.c_str(), seconds, note.c_str());
}

void RunSet(const char* title, const std::vector<demo::RoomCase>& rooms, const Options& options) {
    std::printf("\n%s rooms\n%-24s %7s %5s %-34s %6s %6s %6s  %6s %6s %7s\n", title, "room", "pixels", "found",
                "outline IoU per true surface", "min", "angle", "size%", "floor", "wall", "time");
    if (!options.sets.empty() && std::find(options.sets.begin(), options.sets.end(), title) == options.sets.end()) return;
    Totals totals;
    for (const demo::RoomCase& room : rooms)
        if (options.only.empty() || options.only == room.name) RunRoom(room, options, totals);
    if (totals.rooms == 0) return;
    std::printf("%s mean over %d rooms (%d refused): pixel error %.2f%% (worst %.2f%%), outline IoU %.3f (min %.3f "
                "over %d surfaces), worst angle %.2f deg, worst size %.2f%% (%d lengths refused), floor click IoU %.3f "
                "(min %.3f), wall click IoU %.3f (min %.3f), find %.2fs\n",
                title, totals.rooms, totals.refused, 100 * totals.pixelError / totals.rooms,
                100 * totals.worstPixelError, totals.surfaces ? totals.iou / totals.surfaces : 0.0, totals.minIou,
                totals.surfaces, totals.worstAngle, totals.worstSize, totals.lengthRefused, totals.clicks ? totals.click / totals.clicks : 0.0,
                totals.minClick, totals.walls ? totals.wall / totals.walls : 0.0, totals.minWall, totals.seconds / totals.rooms);
}

int Run(int argc, char** argv) {
    SetUpProcess();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // a room's row shows as soon as it is scored
    const Options options = ParseOptions(argc, argv);
    std::printf("rooms %dx%d in %s%s; surfaces F floor, L/B/R/N left/back/right/front wall, C ceiling\n",
                options.width, options.height, options.dir.string().c_str(),
                options.truth ? " (the true layout scored)" : "");
    // The suite's own rooms are tuned on too.
    std::vector<demo::RoomCase> suite;
    for (const demo::RoomSpec& spec : demo::TestRooms()) suite.push_back({spec.name, spec});
    RunSet("suite", suite, options);
    RunSet("tuning", demo::TuningRooms(), options);
    RunSet("held-out", demo::HeldOutRooms(), options);
    return 0;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) { return v2d::Run(argc, argv); }
