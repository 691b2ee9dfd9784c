// How a product laid on an old patterned floor takes the room's light, on
// the light rooms (a chequer, mixed boards, terracotta, each in the sun
// through a window with furniture casting shadows) and their plain twins,
// rendered with POV-Ray under the same light. A light grey tile is laid on
// the floor through the built command line (new-scheme, render); the plain
// twin laid in the photo's light is the truth. Per pattern and light mode:
//   residue   how much of the old pattern shows in the laid floor (1 as
//             much as in the photo, 0 none; goal <= 0.15)
//   shading   how far the laid floor's smoothed light strays from the
//             truth's, in per cent (goal <= 6), and without exposure
//   edges     the same on the sunlit patch's and shadows' edges (goal <= 8),
//             and there without the whole floor's exposure
// and, on terracotta, the mean colour of a white tile laid in either room.
// Usage: light_scores [--size WxH] [--dir FOLDER] [--cli PATH] [--only PATTERN] [--draw FOLDER]
//   --draw keeps each pattern's schemes, tiles, laid pictures and the
//   compared floor and its edges in FOLDER/PATTERN/.
#include <QColor>
#include <QImage>

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "base/process_setup.h"
#include "demo/cli_laying.h"
#include "demo/floor_region.h"
#include "demo/laid_light_score.h"
#include "demo/room_sets.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

struct Options {
    int width = 640, height = 480;
    fs::path dir, cli, draw;
    std::string only;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    const fs::path beside = fs::path(argv[0]).parent_path();
    options.dir = beside / "rendered-rooms";
    options.cli = beside / "vexel2d-cli";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) std::sscanf(argv[++i], "%dx%d", &options.width, &options.height);
        else if (arg == "--dir" && hasValue) options.dir = argv[++i];
        else if (arg == "--cli" && hasValue) options.cli = argv[++i];
        else if (arg == "--only" && hasValue) options.only = argv[++i];
        else if (arg == "--draw" && hasValue) options.draw = argv[++i];
        else std::fprintf(stderr, "light_scores: %s ignored\n", arg.c_str());
    }
    return options;
}

// A folder of this process's own, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder() : path_(fs::temp_directory_path() / ("vexel-light-scores-" + std::to_string(::getpid()))) {
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void WritePng(const QImage& picture, const fs::path& file) {
    if (const auto png = EncodePng(picture)) (void)WriteFileAtomically(file, *png);
}

std::string PatternOf(const demo::RoomSpec& spec) {
    const std::string prefix = "light-";
    return spec.name.rfind(prefix, 0) == 0 ? spec.name.substr(prefix.size()) : spec.name;
}

// One pattern's room and twin, rendered, and where its pictures go.
struct PatternRooms {
    std::string pattern;
    demo::RenderedRoom patterned, plain;
    QImage patternedPhoto, plainPhoto;
    std::string region;  // the --region value
    QImage mask;         // the floor pixels compared
    fs::path work;
};

enum class Floor { Patterned, Plain };

std::optional<PatternRooms> Render(const demo::RoomSpec& spec, const Options& options, const fs::path& work) {
    const std::string pattern = PatternOf(spec);
    std::printf("%-11s ", pattern.c_str());
    const auto patterned = demo::RenderRoom(spec, options.dir, options.width, options.height);
    const auto plain = patterned ? demo::RenderRoom(demo::PlainTwin(spec), options.dir, options.width, options.height)
                                 : patterned;
    if (!patterned || !plain) {
        std::printf("render failed: %s\n", (patterned ? plain : patterned).error().c_str());
        return std::nullopt;
    }
    const auto region = demo::FloorRegionOf(*patterned);
    if (!region) {
        std::printf("no floor in sight\n");
        return std::nullopt;
    }
    auto seconds = [](const demo::RenderedRoom& room) {
        return room.renderSeconds > 0 ? std::to_string(int(room.renderSeconds + 0.5)) + " s" : std::string("reused");
    };
    std::printf("rendered %s, plain twin %s; floor outline of %zu points in a %d x %d mm rectangle\n",
                seconds(*patterned).c_str(), seconds(*plain).c_str(), region->outline.size(), region->widthMm,
                region->heightMm);
    PatternRooms rooms{pattern,
                       *patterned,
                       *plain,
                       demo::ReadJpegFile(patterned->photo),
                       demo::ReadJpegFile(plain->photo),
                       demo::RegionArgument("floor", *region),
                       demo::ComparedFloor(*patterned, region->outline),
                       work / pattern};
    if (rooms.patternedPhoto.isNull() || rooms.plainPhoto.isNull()) {
        std::printf("cannot read the rendered photos in %s\n", options.dir.string().c_str());
        return std::nullopt;
    }
    fs::create_directories(rooms.work);
    return rooms;
}

// The tile laid on the patterned floor or its plain twin in one light; none
// when the command line has no such light.
Result<std::optional<QImage>> Lay(const PatternRooms& rooms, Floor floor, const fs::path& tile, demo::LightMode light,
                                  const Options& options) {
    const bool plain = floor == Floor::Plain;
    const std::string stem = std::string(plain ? "plain" : "patterned") + "-" + demo::LightModeName(light) + "-" +
                             tile.stem().string();
    const demo::RenderedRoom& room = plain ? rooms.plain : rooms.patterned;
    return demo::LayThroughCli({options.cli, room.photo, rooms.region, tile, light, rooms.work / (stem + ".v2d"),
                                rooms.work / (stem + ".jpg")});
}

void PrintColour(const char* label, const std::array<double, 3>& rgb) {
    std::printf("  %-22s %6.1f %6.1f %6.1f\n", label, rgb[0], rgb[1], rgb[2]);
}

// The rows of one pattern; false when the command line failed.
bool Score(const PatternRooms& rooms, const fs::path& grey, const Options& options) {
    const auto truth = Lay(rooms, Floor::Plain, grey, demo::LightMode::Photo, options);
    if (!truth || !*truth) {
        std::printf("%-11s %-6s %s\n", rooms.pattern.c_str(), "truth",
                    truth ? "the command line laid nothing" : truth.error().c_str());
        return false;
    }
    bool ok = true;
    for (demo::LightMode light : {demo::LightMode::Photo, demo::LightMode::Room}) {
        std::printf("%-11s %-6s", rooms.pattern.c_str(), demo::LightModeName(light));
        const auto laid = Lay(rooms, Floor::Patterned, grey, light, options);
        if (!laid) {
            std::printf(" %s\n", laid.error().c_str());
            ok = false;
            continue;
        }
        if (!*laid) {
            std::printf(" unavailable: the command line has no --light %s\n", demo::LightModeName(light));
            continue;
        }
        const demo::LightScore score =
            demo::ScoreLaidFloors({rooms.patternedPhoto, rooms.plainPhoto, **laid, **truth, rooms.mask});
        std::printf(" %8.3f %9.2f %11.2f %8.2f %13.2f\n", score.residue, score.shadingPercent,
                    score.shadingExposureFreePercent, score.edgesPercent, score.edgesExposureFreePercent);
    }
    if (!options.draw.empty()) {
        WritePng(rooms.mask, rooms.work / "compared-floor.png");
        WritePng(demo::LightEdges(rooms.plainPhoto, rooms.mask), rooms.work / "light-edges.png");
    }
    return ok;
}

// A white tile laid on the terracotta and on its plain twin: the colour the laid floor takes.
void ScoreColour(const PatternRooms& rooms, const fs::path& white, const Options& options) {
    std::printf("\n%s, a white tile laid: mean R, G, B of the floor\n", rooms.pattern.c_str());
    const auto truth = Lay(rooms, Floor::Plain, white, demo::LightMode::Photo, options);
    if (!truth || !*truth) {
        std::printf("  plain twin: %s\n", truth ? "the command line laid nothing" : truth.error().c_str());
        return;
    }
    PrintColour("plain twin, photo", demo::MeanColour(**truth, rooms.mask));
    for (demo::LightMode light : {demo::LightMode::Photo, demo::LightMode::Room}) {
        const auto laid = Lay(rooms, Floor::Patterned, white, light, options);
        const std::string label = rooms.pattern + ", " + demo::LightModeName(light);
        if (!laid) std::printf("  %-22s %s\n", label.c_str(), laid.error().c_str());
        else if (!*laid) std::printf("  %-22s unavailable\n", label.c_str());
        else PrintColour(label.c_str(), demo::MeanColour(**laid, rooms.mask));
    }
}

int Run(int argc, char** argv) {
    SetUpProcess();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each row shows as soon as it is scored
    const Options options = ParseOptions(argc, argv);
    if (!fs::exists(options.cli)) {
        std::fprintf(stderr, "light_scores: no command line at %s (build vexel2d-cli or give --cli)\n",
                     options.cli.string().c_str());
        return 1;
    }
    const ScratchFolder scratch;
    const fs::path work = options.draw.empty() ? scratch.path() : options.draw;
    std::error_code error;
    fs::create_directories(work, error);
    const fs::path grey = work / "grey-tile.jpg", white = work / "white-tile.jpg";
    if (Status s = demo::WritePlainTile(grey, QColor(200, 200, 200)); !s) return std::fprintf(stderr, "%s\n", s.error().c_str()), 1;
    if (Status s = demo::WritePlainTile(white, QColor(255, 255, 255)); !s) return std::fprintf(stderr, "%s\n", s.error().c_str()), 1;

    std::printf("light rooms %dx%d in %s, laid by %s\n", options.width, options.height, options.dir.string().c_str(),
                options.cli.string().c_str());
    std::vector<PatternRooms> rendered;
    for (const demo::RoomSpec& spec : demo::LightRooms())
        if (options.only.empty() || options.only == PatternOf(spec))
            if (auto rooms = Render(spec, options, work)) rendered.push_back(std::move(*rooms));
    if (rendered.empty()) return 1;

    std::printf("\n%-11s %-6s %8s %9s %11s %8s %13s\n", "pattern", "light", "residue", "shading%", "exposure-%", "edges%",
                "edges-exp.-%");
    bool ok = true;
    for (const PatternRooms& rooms : rendered) ok = Score(rooms, grey, options) && ok;
    for (const PatternRooms& rooms : rendered)
        if (rooms.patterned.spec.floor == demo::FloorKind::Terracotta) ScoreColour(rooms, white, options);
    std::printf("\ngoals: residue <= 0.15, shading <= 6 %%, edges <= 8 %%; the truth is the plain twin laid in the "
                "photo's light\n");
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) { return v2d::Run(argc, argv); }
