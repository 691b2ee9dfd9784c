// Mutated scheme and model files parse or report the format message, and what
// parses renders, under the sanitisers. VEXEL_FUZZ_RUNS sets the runs per
// reader and lifts the time limit.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <random>

#include "base/picture_codec.h"
#include "demo/demo_room.h"
#include "models/model_loading.h"
#include "render/perspective_model_drawer.h"
#include "render/scene_renderer.h"
#include "scene/model_file.h"
#include "scene/record_codec.h"
#include "scene/scheme_file.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {

// A cut-out with three frames, and a model of three parts.
std::vector<Bytes> RealModels() {
    const Scene scene = testing::RichScene();
    const V2dPolygon* cutout = scene.at(scene.count() - 1);
    return {*SerializeModelFile({cutout}, scene.FrameSetOf(cutout)),
            *SerializeModelFile({scene.at(0), scene.at(2), scene.at(3)}, nullptr)};
}

std::vector<Bytes> RealSchemes() {
    return {*SerializeScheme(testing::RichScene()), *SerializeScheme(demo::BuildDemoRoomScene(160, 120))};
}

void Render(Scene& scene, const ImageOperations& ops = testing::Library()) {
    if (scene.background.isNull()) scene.background = testing::Solid(64, 48, testing::Rgb(200, 180, 160));
    SceneRenderer renderer(scene, ops);
    PerspectiveModelDrawer drawer;
    renderer.SetModelDrawer(&drawer);
    renderer.RenderAll();
    for (const V2dPolygon* r : scene.records()) renderer.RedrawScene(r);
}

template <typename T>
bool Refused(const Result<T>& read) {
    EXPECT_TRUE(read.ok() || read.error() == "文件格式不正确");
    return !read.ok();
}

// Parses as a model or a scheme (by the signature), checks what parsed is
// consistent, and renders it.
void ExpectReadsOrRefuses(const Bytes& bytes) {
    Scene scene;
    if (bytes.size() >= 4 && bytes[2] == 'c') {
        Result<ModelFile> model = ParseModelFile(bytes);
        if (Refused(model)) return;
        EXPECT_TRUE(!model->frames || size_t(model->frames->current) < model->frames->frames.size());
        const size_t records = model->records.size();
        ASSERT_EQ(size_t(AddModelToScene(scene, std::move(*model), "m")), records > 1 ? records + 1 : records);
    } else {
        Result<SchemeFile> file = ParseScheme(bytes);
        if (Refused(file)) return;
        scene = std::move(file->scene);
        for (const V2dPolygonMesh* mesh : scene.meshes()) EXPECT_EQ(mesh->srcNodes.size(), size_t(mesh->rows * mesh->cols));
    }
    for (const V2dPolygon* r : scene.records()) {
        const auto& ends = r->indexList;
        EXPECT_TRUE(std::adjacent_find(ends.begin(), ends.end(), std::greater_equal<>()) == ends.end() && (ends.empty() || ends.back() < r->pointCount()));
        EXPECT_TRUE(!r->group || scene.IndexOfPolygon(r->group) >= 0);
    }
    for (const V2dPolygonEx* frames : scene.frameSets()) ASSERT_LT(size_t(frames->current), frames->frames.size());
    Render(scene);
}

void Put(Bytes& bytes, size_t offset, uint32_t value) {
    for (int b = 0; b < 4 && offset + size_t(b) < bytes.size(); ++b) bytes[offset + size_t(b)] = uint8_t(value >> (8 * b));
}

// Truncations, bit flips (half of them among the header and records), and
// extreme values written anywhere, in turn.
Bytes Mutated(const Bytes& file, std::mt19937& random, int run) {
    static const uint32_t kHostile[] = {0x7FFFFFFF, 0xFFFFFFFF, 0x80000000, 0x40000000, 0x10000000,
                                        0x00FFFFFF, 0xFFFFFFFE, 0x20000001, 0x00007531, 0x0000FFFF};
    Bytes bytes = file;
    switch (run % 3) {
        case 0: return Bytes(file.begin(), file.begin() + std::ptrdiff_t(random() % file.size()));
        case 1:
            for (int f = 1 + random() % 4; f > 0; --f) {
                const size_t span = (run % 2) ? bytes.size() : std::min<size_t>(bytes.size(), 4096);
                bytes[random() % span] ^= uint8_t(1u << (random() % 8));
            }
            return bytes;
        default: Put(bytes, random() % bytes.size(), kHostile[random() % std::size(kHostile)]); return bytes;
    }
}

// Up to 1500 runs or 5 seconds per reader unless VEXEL_FUZZ_RUNS asks for more.
void Fuzz(const std::vector<Bytes>& seeds, unsigned seed) {
    const char* asked = std::getenv("VEXEL_FUZZ_RUNS");
    const long runs = asked ? std::atol(asked) : 1500;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(asked ? 1 << 20 : 5);
    std::mt19937 random(seed);
    for (const Bytes& file : seeds) ExpectReadsOrRefuses(file);
    long run = 0;
    for (; run < runs && std::chrono::steady_clock::now() < deadline && !::testing::Test::HasFailure(); ++run)
        ExpectReadsOrRefuses(Mutated(seeds[size_t(run) % seeds.size()], random, int(run)));
    std::printf("%ld runs\n", run);
}

TEST(SchemeMutation, SchemeFilesReadAndRenderOrRefuse) { Fuzz(RealSchemes(), 20261206); }
TEST(SchemeMutation, ModelFilesReadAndRenderOrRefuse) { Fuzz(RealModels(), 7); }

// The shapes the fuzzers found: each field at both ends of the int range is
// refused by the readers, and drawn safely (not at all) when it reaches the
// renderer some other way.
TEST(SchemeMutation, ExtremeRecordFieldsAreRefusedAndNotDrawn) {
    namespace off = record_offset;
    const Bytes cutout = RealModels()[0];
    for (size_t field : {off::originX, off::originY, off::shadowX, off::shadowY, off::corners, off::scaleX,
                         off::lighten, off::reflect, off::blurRadius, kRecordSize /* first point */}) {
        for (uint32_t value : {0x80000000u, 0x7FFFFFFFu}) {
            Bytes bytes = cutout;
            Put(bytes, 20 + field, value);
            EXPECT_TRUE(Refused(ParseModelFile(bytes))) << field;
        }
    }
    for (RecordKind kind :
         {RecordKind::Region, RecordKind::PictureModel, RecordKind::ShadowRegion, RecordKind::CutOutModel}) {
        for (int32_t extreme : {INT_MIN, INT_MAX}) {
            Scene scene = testing::RichScene();
            for (int i = 0; i < scene.count(); ++i) {
                V2dPolygon* r = scene.at(i);
                r->kind = r->group ? r->kind : kind;
                r->reflect = r->lighten = extreme;
                r->castShadow = 1;
                r->picture = testing::Solid(8, 8, testing::Rgb(90, 90, 90));
            }
            scene.at(0)->originX = scene.at(1)->shadowX = scene.at(2)->points[0].x = extreme;
            scene.at(3)->corners[1].y = scene.at(4)->scaleY = scene.at(5)->shadowY = extreme;
            Render(scene);
        }
    }
}

// A picture model's huge shadow radius is blurred like a cut-out's; a PNG
// chunk claiming 2 GB is refused before any decoder allocates it.
TEST(SchemeMutation, HugeShadowRadiusAndHostilePngChunk) {
    Scene scene = testing::RichScene();
    scene.at(2)->shadowRadius = 65535;
    scene.at(2)->castShadow = 1;
    scene.at(scene.count() - 1)->castShadow = 0;  // the last blur is the model's
    Result<SchemeFile> file = ParseScheme(*SerializeScheme(scene));
    ASSERT_TRUE(file.ok());
    testing::CountingOperations ops;
    Render(file->scene, ops);
    EXPECT_EQ(ops.lastBlurRadius, 5);

    Bytes png = *EncodePng(testing::Solid(4, 4, testing::Rgb(1, 2, 3)));
    const uint8_t chunk[] = {0x7F, 0x00, 0x00, 0x25, 't', 'E', 'X', 't', 'k', 0, 'v'};
    png.insert(png.begin() + 33, std::begin(chunk), std::end(chunk));
    EXPECT_TRUE(DecodePng(png).isNull());
}

}  // namespace
}  // namespace v2d
