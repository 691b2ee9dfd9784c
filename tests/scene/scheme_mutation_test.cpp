// Hostile scheme and model files: thousands of truncations, bit flips and
// huge counts over real files. Every one must either parse or report the format
// message; none may crash, leak or allocate without bound (the sanitised
// build watches all three).
#include <gtest/gtest.h>

#include <random>

#include "demo/demo_room.h"
#include "models/model_loading.h"
#include "scene/model_file.h"
#include "scene/scheme_file.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

// A cut-out with three frames, and a model of three parts.
std::vector<Bytes> RealModels() {
    const Scene scene = testing::RichScene();
    std::vector<Bytes> models;
    const V2dPolygon* cutout = scene.PolyList.back().get();
    models.push_back(*SerializeModelFile({cutout}, scene.FrameSetOf(cutout)));
    models.push_back(*SerializeModelFile({scene.at(0), scene.at(2), scene.at(3)}, nullptr));
    return models;
}

std::vector<Bytes> RealFiles() {
    std::vector<Bytes> files = RealModels();
    files.push_back(*SerializeScheme(testing::RichScene()));
    files.push_back(*SerializeScheme(demo::BuildDemoRoomScene(160, 120)));
    return files;
}

void ExpectRisingRings(const V2dPolygon& r) {
    int32_t previous = -1;
    for (int32_t v : r.indexList) {
        ASSERT_GT(v, previous);
        ASSERT_LT(v, r.pointCount());
        previous = v;
    }
}

// What reads as a model also enters a scene: the owner of its parts is built
// from whatever outlines and pictures survived.
void ExpectModelLoadsOrRefuses(const Bytes& bytes) {
    Result<ModelFile> model = ParseModelFile(bytes);
    if (!model.ok()) {
        EXPECT_EQ(model.error(), "文件格式不正确");
        return;
    }
    for (const auto& r : model->records) ExpectRisingRings(*r);
    if (model->frames) ASSERT_LT(size_t(model->frames->current), model->frames->frames.size());
    Scene scene;
    const size_t records = model->records.size();
    EXPECT_EQ(size_t(AddModelToScene(scene, std::move(*model), "m")), records > 1 ? records + 1 : records);
}

void ExpectParsesOrRefuses(const Bytes& bytes) {
    if (bytes.size() >= 4 && bytes[2] == 'c') return ExpectModelLoadsOrRefuses(bytes);
    Result<SchemeFile> file = ParseScheme(bytes);
    if (!file.ok()) {
        EXPECT_EQ(file.error(), "文件格式不正确");
        return;
    }
    // What parses is a consistent scene.
    const Scene& scene = file->scene;
    for (const auto& r : scene.PolyList) {
        ExpectRisingRings(*r);
        if (r->group) {
            ASSERT_GE(scene.IndexOfPolygon(r->group), 0);
        }
    }
    for (const auto& frames : scene.FrameSetList) ASSERT_LT(size_t(frames->current), frames->frames.size());
    for (const auto& mesh : scene.MeshList)
        ASSERT_EQ(mesh->srcNodes.size(), size_t(mesh->rows) * size_t(mesh->cols));
}

TEST(SchemeMutation, EveryTruncationParsesOrRefuses) {
    std::mt19937 random(20261206);
    for (const Bytes& scheme : RealFiles()) {
        ExpectParsesOrRefuses(scheme);
        for (int k = 0; k < 1500; ++k) {
            const size_t length = random() % scheme.size();
            ExpectParsesOrRefuses(Bytes(scheme.begin(), scheme.begin() + length));
        }
    }
}

TEST(SchemeMutation, BitFlipsParseOrRefuse) {
    std::mt19937 random(7);
    for (const Bytes& scheme : RealFiles()) {
        for (int k = 0; k < 2000; ++k) {
            Bytes mutated = scheme;
            const int flips = 1 + random() % 4;
            for (int f = 0; f < flips; ++f) {
                // Half the flips land in the header and records, where counts live.
                const size_t span = (k % 2) ? mutated.size() : std::min<size_t>(mutated.size(), 4096);
                mutated[random() % span] ^= uint8_t(1u << (random() % 8));
            }
            ExpectParsesOrRefuses(mutated);
        }
    }
}

TEST(SchemeMutation, HugeCountsAndLengthsAreCheckedBeforeAllocating) {
    std::mt19937 random(99);
    const uint32_t hostile[] = {0x7FFFFFFF, 0xFFFFFFFF, 0x80000000, 0x40000000, 0x10000000, 0x00FFFFFF,
                                0xFFFFFFFE, 0x20000001};
    for (const Bytes& scheme : RealFiles()) {
        for (int k = 0; k < 1500; ++k) {
            Bytes mutated = scheme;
            const size_t offset = (random() % (mutated.size() / 4)) * 4;
            const uint32_t value = hostile[random() % std::size(hostile)];
            for (int b = 0; b < 4; ++b) mutated[offset + size_t(b)] = uint8_t(value >> (8 * b));
            ExpectParsesOrRefuses(mutated);
        }
        // The header's own counts.
        for (size_t offset : {size_t(8), size_t(16)}) {
            for (uint32_t value : hostile) {
                Bytes mutated = scheme;
                for (int b = 0; b < 4; ++b) mutated[offset + size_t(b)] = uint8_t(value >> (8 * b));
                ExpectParsesOrRefuses(mutated);
            }
        }
    }
}

}  // namespace
}  // namespace v2d
