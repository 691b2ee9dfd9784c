// Every rendered test room at 4000 x 3000 (cached beside the program): one
// click on its floor scored against the truth (outline IoU, the corners'
// angles and opposite sides on the true floor, the size from one known
// length) and timed against a bare libjpeg decode of the same photo; a
// further click on the same photo ("again") reuses its analysis (the reduced
// copy, lines and line families: "analysis" alone).
// With --room: find-room instead, the whole room from a click on the floor,
// on each room rendered at 800 x 600 and enlarged to the size (POV-Ray takes
// minutes for a photo of 4000 x 3000), timed against a bare libjpeg decode of
// the enlarged photo, the analysis made afresh each time.
// Usage: bench_vision [--size WxH] [--dir FOLDER] [--only NAME] [--room]
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "bench/bare_libjpeg.h"
#include "bench/bench_main.h"
#include "demo/rendered_rooms.h"
#include "vision/perspective.h"
#include "vision/room_finder.h"
#include "vision/surface_finder.h"

namespace v2d {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }


template <class F>
double BestOf(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, Seconds(start));
    }
    return best;
}

struct Options {
    int width = 4000, height = 3000;
    std::filesystem::path dir;
    std::string only;
    bool room = false;
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
        else if (arg == "--room") options.room = true;
        // Options meant for Google Benchmark programs are let through.
    }
    return options;
}

struct Totals {
    int rooms = 0, found = 0, onFloor = 0, sized = 0;
    double iou = 0, worstAngle = 0, sides = 0, width = 0, height = 0, ratio = 0, again = 0;
};

void RunRoom(const demo::RoomSpec& spec, const Options& options, Totals& totals) {
    const auto room = demo::RenderRoom(spec, options.dir, options.width, options.height);
    if (!room) {
        std::printf("%-18s render failed: %s\n", spec.name.c_str(), room.error().c_str());
        return;
    }
    const auto jpeg = ReadWholeFile(room->photo);
    if (!jpeg) return;
    cv::Mat pixels;  // decoded into the same memory each time, as before
    const double decode = BestOf(3, [&] { bench::BareJpegDecode(*jpeg, pixels); });
    const QImage photo = DecodeJpeg(*jpeg);
    Result<vision::FoundSurface> found = Error{"未运行"};
    const double click = BestOf(3, [&] {
        auto analysis = vision::PhotoAnalysis::Of(photo);
        found = analysis ? vision::FindSurface(**analysis, {{room->click}, {}})
                         : Result<vision::FoundSurface>(analysis.failure());
    });
    // A further click on the same photo, as the outline tool makes it: the
    // photo's analysis (reduced copy, lines, line families) is reused.
    const double analysing = BestOf(3, [&] {
        if (const auto fresh = vision::PhotoAnalysis::Of(photo)) (void)(*fresh)->reduced(), (void)(*fresh)->lineFamilies();
    });
    const auto analysis = vision::PhotoAnalysis::Of(photo);
    if (analysis) (void)vision::FindSurface(**analysis, {{room->click}, {}});
    const double again = BestOf(3, [&] {
        if (analysis) (void)vision::FindSurface(**analysis, {{room->click}, {}});
    });
    ++totals.rooms;
    totals.ratio += click / decode;
    totals.again += again / click;
    std::printf("%-18s %6.1fs %6.0fms %7.0fms %7.0fms %7.0fms %6.1fx", spec.name.c_str(), room->renderSeconds,
                decode * 1000, analysing * 1000, click * 1000, again * 1000, click / decode);
    if (!found) {
        std::printf("  not found: %s\n", found.error().c_str());
        return;
    }
    const auto& length = room->length;
    const auto size = vision::SizeFromKnownLength(found->corners, photo.size(), {length.a.x, length.a.y},
                                                  {length.b.x, length.b.y}, length.millimetres, found->focal);
    const auto score = demo::ScoreFound(*room, found->rings, found->corners,
                                        size ? std::optional(std::pair{size->width, size->height}) : std::nullopt);
    ++totals.found;
    totals.iou += score.iou;
    std::printf("  %.3f", score.iou);
    if (!score.cornersOnFloor) {
        std::printf("  corners off the floor:");
        for (const V2d_Point& c : found->corners) std::printf(" %d,%d", c.x, c.y);
        std::printf("\n");
        return;
    }
    ++totals.onFloor;
    totals.worstAngle = std::max(totals.worstAngle, score.worstAngleErrorDeg);
    totals.sides += score.sideMismatchPercent;
    std::printf("  %5.1f %5.1f %5.1f %5.1f  %5.1f%%", score.anglesDeg[0], score.anglesDeg[1], score.anglesDeg[2],
                score.anglesDeg[3], score.sideMismatchPercent);
    if (score.widthErrorPercent) {
        ++totals.sized;
        totals.width += *score.widthErrorPercent, totals.height += *score.heightErrorPercent;
        std::printf("  %5.1f%% %5.1f%%", *score.widthErrorPercent, *score.heightErrorPercent);
    } else {
        std::printf("  no size: %s", size ? "" : size.error().c_str());
    }
    std::printf("\n");
}

// find-room against a bare decode; returns the ratio, 0 when the room is not found.
double RunFindRoom(const demo::RoomSpec& spec, const Options& options) {
    const auto room = demo::RenderRoom(spec, options.dir, 800, 600);
    const auto small = room ? ReadWholeFile(room->photo) : std::nullopt;
    if (!small) return 0;
    const QImage large = DecodeJpeg(*small).scaled(options.width, options.height, Qt::IgnoreAspectRatio,
                                                   Qt::SmoothTransformation);
    const auto jpeg = EncodeJpeg(large, 90);
    if (!jpeg) return 0;
    cv::Mat pixels;
    const double decode = BestOf(3, [&] { bench::BareJpegDecode(*jpeg, pixels); });
    const double scale = double(options.width) / 800;
    const V2d_Point click{int(room->click.x * scale), int(room->click.y * scale)};
    Result<vision::RoomLayout> found = Error{"未运行"};
    const double finding = BestOf(2, [&] {
        const QImage photo = DecodeJpeg(*jpeg);
        auto analysis = vision::PhotoAnalysis::Of(photo);
        found = analysis ? vision::FindRoom(**analysis, {click, std::nullopt}) : Result<vision::RoomLayout>(analysis.failure());
    });
    std::printf("%-18s %6.0fms %8.0fms %6.1fx  %s\n", spec.name.c_str(), decode * 1000, finding * 1000, finding / decode,
                found ? (std::to_string(found->surfaces.size()) + " surfaces").c_str() : found.error().c_str());
    return found ? finding / decode : 0;
}

int Run(int argc, char** argv) {
    bench::RunHeadless();
    SetUpProcess();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // a room's row shows as soon as it is measured
    const Options options = ParseOptions(argc, argv);
    if (options.room) {
        std::printf("find-room on rooms enlarged to %dx%d (decode and find-room include the JPEG decode)\n%-18s %8s %10s %7s\n",
                    options.width, options.height, "room", "decode", "find-room", "ratio");
        double worst = 0;
        for (const demo::RoomSpec& spec : demo::TestRooms())
            if (options.only.empty() || options.only == spec.name) worst = std::max(worst, RunFindRoom(spec, options));
        std::printf("worst find-room/decode %.1fx\n", worst);
        return worst > 0 ? 0 : 1;
    }
    std::printf("rooms %dx%d in %s (render seconds 0 = reused)\n", options.width, options.height,
                options.dir.string().c_str());
    std::printf("%-18s %7s %8s %9s %9s %9s %7s  %5s  %-23s  %6s  %6s %6s\n", "room", "render", "decode", "analysis",
                "click", "again", "ratio", "IoU",
                "corner angles (deg)", "sides", "width", "height");
    Totals totals;
    for (const demo::RoomSpec& spec : demo::TestRooms())
        if (options.only.empty() || options.only == spec.name) RunRoom(spec, options, totals);
    if (totals.rooms == 0) return 1;
    std::printf("mean over %d rooms: click/decode %.1fx, again/click %.2f", totals.rooms, totals.ratio / totals.rooms,
                totals.again / totals.rooms);
    if (totals.found)
        std::printf(", IoU %.3f (%d found)", totals.iou / totals.found, totals.found);
    if (totals.onFloor)
        std::printf(", worst angle error %.1f deg, sides %.1f%%", totals.worstAngle, totals.sides / totals.onFloor);
    if (totals.sized)
        std::printf(", width %.1f%%, height %.1f%%", totals.width / totals.sized, totals.height / totals.sized);
    std::printf("\n");
    return 0;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) { return v2d::Run(argc, argv); }
