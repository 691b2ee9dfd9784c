// The demo workspace's sample rooms: distinct rooms, furnished, each with
// the thumbnail of its own rendering; wallpapers sized by one repeat.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <map>
#include <set>

#include "base/atomic_file.h"
#include "demo/workspace.h"
#include "document/scene_document.h"
#include "imagelib/image_library.h"
#include "library/product_pictures.h"
#include "library/product_queries.h"
#include "library/pub_functions.h"
#include "templates/template_pages.h"
#include "tests/library/temp_workspace.h"
#include "tests/picture_difference.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;

using test::MeanDifference;

class DemoTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);  // the demo draws with fonts
        ws_ = new test::TempWorkspace;
        ASSERT_TRUE(library_.Load(fs::path(VEXELL_LIBRARY).parent_path().string()).empty());
        const Status made = demo::MakeWorkspace(ws_->path(), library_);
        ASSERT_TRUE(made) << made.error();
    }
    static void TearDownTestSuite() { delete ws_; }
    static std::unique_ptr<TDataModule_Manager> Open() {
        return std::move(*TDataModule_Manager::DataModuleCreate(ws_->path(), OpenMode::ReadOnly));
    }
    static inline test::TempWorkspace* ws_ = nullptr;
    static inline ImageLibrary library_;
};

TEST_F(DemoTemplates, AreDistinctFurnishedRoomsWhoseThumbnailsShowThemselves) {
    auto dm = Open();
    const std::vector<TemplateRow> rows = *ReadTemplates(*dm, std::nullopt, std::nullopt);
    ASSERT_EQ(rows.size(), 13u);
    std::set<Bytes> schemes;
    std::set<std::vector<int32_t>> floors;
    std::set<int64_t> roomTypes, styles;
    std::vector<QImage> renders, thumbnails;
    for (const TemplateRow& row : rows) {
        roomTypes.insert(row.RoomTypeID);
        styles.insert(row.StyleID);
        const TemplateFiles files = TemplateFilesOf(ws_->path(), TemplateFileName(row));
        schemes.insert(*ReadWholeFile(files.scheme));
        SceneDocument doc(library_);
        ASSERT_TRUE(doc.OpenScheme(files.scheme).done()) << row.SampleName;
        const V2dPolygon& floor = *doc.scene().at(0);
        ASSERT_EQ(floor.name, "地面");
        std::vector<int32_t> geometry{floor.realWidth, floor.realHeight};
        for (const V2d_Point& p : floor.points) geometry.insert(geometry.end(), {p.x, p.y});
        floors.insert(geometry);
        int laid = 0, models = 0;
        for (int i = 0; i < doc.scene().count(); ++i) {
            const V2dPolygon& r = *doc.scene().at(i);
            models += r.kind != RecordKind::Region;
            laid += r.kind == RecordKind::Region && !GetParam(r.partsInfo.text(), "PartsNumber").empty();
        }
        EXPECT_GE(laid, 2) << row.SampleName;
        EXPECT_GE(models, 1) << row.SampleName;
        renders.push_back(doc.displayed().scaled(200, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        thumbnails.push_back(ReadTemplatePicture({row.SamplePic, files.thumbnail}).convertToFormat(QImage::Format_RGB32));
        ASSERT_EQ(thumbnails.back().size(), QSize(200, 150));
    }
    EXPECT_EQ(schemes.size(), rows.size());
    EXPECT_EQ(floors.size(), rows.size());
    EXPECT_EQ(roomTypes.size(), 6u);  // living, bed, kitchen, bath, dining, study
    EXPECT_EQ(styles.size(), 6u);
    // Each thumbnail is its own room's rendering, and nearer to it than to any other room's.
    for (size_t i = 0; i < rows.size(); ++i) {
        const double own = MeanDifference(thumbnails[i], renders[i]);
        EXPECT_LT(own, 4.0) << rows[i].SampleName;
        for (size_t j = 0; j < rows.size(); ++j)
            if (j != i) {
                EXPECT_GT(MeanDifference(thumbnails[i], renders[j]), own + 4.0) << rows[i].SampleName << " " << j;
            }
    }
}

TEST_F(DemoTemplates, WallpapersMeasureOneRepeatThatJoinsSeamlessly) {
    auto dm = Open();
    int wallpapers = 0;
    const std::vector<ProductRow> materials = *ReadAllProducts(*dm, ProductKind::Material);
    for (const ProductRow& row : materials) {
        if (row.PSTypeName.find("墙纸") == std::string::npos) continue;
        ++wallpapers;
        EXPECT_TRUE(row.PartsSpecs == "530*10000" && row.PatternRepeat == 530) << row.PartsNumber;  // the roll
        const QImage picture = (*LoadMaterialPicture(ws_->path(), row.PartsNumber))->picture;
        ASSERT_EQ(picture.width(), picture.height()) << row.PartsNumber;
        EXPECT_GE(picture.width(), 600) << row.PartsNumber;  // 3 px to each of 200 on screen
        // Across the joint of two repeats the paper changes no more than between neighbouring columns inside.
        const int w = picture.width();
        const QImage edges = picture.copy(w - 1, 0, 1, w), starts = picture.copy(0, 0, 1, w);
        const QImage inner = picture.copy(w / 3, 0, 1, w), next = picture.copy(w / 3 + 1, 0, 1, w);
        EXPECT_LT(MeanDifference(edges, starts), MeanDifference(inner, next) + 6.0) << row.PartsNumber;
        EXPECT_LT(MeanDifference(picture.copy(0, w - 1, w, 1), picture.copy(0, 0, w, 1)),
                  MeanDifference(picture.copy(0, w / 3, w, 1), picture.copy(0, w / 3 + 1, w, 1)) + 6.0);
    }
    EXPECT_EQ(wallpapers, 9);
}

TEST_F(DemoTemplates, ModelsAreMadeOfWhatTheyAre) {
    auto dm = Open();
    std::map<int64_t, std::string> materials;
    const std::vector<MatType> types = *ReadMatTypes(*dm);
    for (const MatType& m : types) materials[m.MatTypeID] = m.MatTypeName;
    std::map<std::string, std::string> of;
    const std::vector<ProductRow> models = *ReadAllProducts(*dm, ProductKind::Model);
    for (const ProductRow& row : models) of[row.PartsName] = materials[row.MatTypeID];
    const std::map<std::string, std::string> expected = {{"真皮沙发", "真皮"},   {"布艺三人沙发", "布面"}, {"山水装饰画", "画布"},
                                                         {"实木套装门", "实木"}, {"白色烤漆门", "烤漆"},   {"波斯地毯", "羊毛"}};
    for (const auto& [name, material] : expected) EXPECT_EQ(of[name], material) << name;
}

}  // namespace
}  // namespace v2d
