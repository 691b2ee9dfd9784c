// Hostile product maps, shop lists and update databases, mutated from files
// the program makes: each one is read or refused with its message, and a
// refused update leaves the workspace database byte for byte as it was.
#include <gtest/gtest.h>

#include <QBuffer>
#include <cmath>
#include <set>

#include "demo/demo_room.h"
#include "demo/product_pictures.h"
#include "library/catalogue_csv.h"
#include "library/product_map.h"
#include "library/pub_functions.h"
#include "scene/scheme_file.h"
#include "tests/library/mutate.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

TEST(ReaderFuzz, ProductMapsReadOrAreRefused) {
    const QImage picture = demo::pictures::MakeThumbnail(demo::pictures::DrawProductPicture({}), 48);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    ASSERT_TRUE(picture.save(&buffer, "BMP"));
    const Blob bmpBytes(bmp.begin(), bmp.end());
    const std::vector<Blob> seeds = {BuildProductMap(*EncodeJpeg(picture, 90), ProductMapKind::Jpeg),
                                     BuildProductMap(bmpBytes, ProductMapKind::Bmp)};
    const size_t runs = test::Fuzz(seeds, 3000, 5, [](const Blob& b) {
        Result<ProductMap> map = ParseProductMap(b);
        if (!map) {
            EXPECT_EQ(map.error(), kMsgMapInvalid);
        } else if (map->hasPicture()) {
            EXPECT_EQ(map->picture.format(), QImage::Format_RGB32);
        }
    });
    std::printf("product maps: %zu runs\n", runs);
}

TEST(ReaderFuzz, ShopListsGiveOnlyUsableRowsWithoutProblems) {
    const std::string seed = "\xEF\xBB\xBF" "file,name,number,specs,price\r\n布.jpg,\"格子, 蓝\",GZ-1,600*600,9.5\r\n"
                             "wood.jpg,木纹 \"\"橡\"\",MB-1,800*400*12,120\r\nstone.jpg,,,,\r\n";
    const size_t runs = test::Fuzz({Blob(seed.begin(), seed.end())}, 20000, 5, [](const Blob& b) {
        Result<std::vector<CatalogueRow>> rows = ParseCatalogueCsv(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
        if (!rows) {
            EXPECT_EQ(rows.error().rfind("CSV 文件格式不正确：", 0), 0u);
            return;
        }
        std::set<std::string> files, numbers;
        for (const CatalogueRow& r : *rows) {
            if (!r.problem.empty()) {
                EXPECT_EQ(r.problem.rfind("第 " + std::to_string(r.line) + " 行：", 0), 0u) << r.problem;
                continue;
            }
            EXPECT_TRUE(IsValidUtf8(r.file + r.name + r.number + r.specs));
            EXPECT_TRUE(std::isfinite(r.price) && r.price >= 0);
            EXPECT_TRUE(files.insert(r.file).second);
            EXPECT_TRUE(r.number.empty() || numbers.insert(r.number).second);
            EXPECT_LE(r.name.size(), 4 * kCatalogueTextLimit);
        }
    });
    std::printf("shop lists: %zu runs\n", runs);
}

// The demo's kind of update file: styles, room types, templates with a
// thumbnail and a scheme.
Blob DemoUpdateFile(const fs::path& file) {
    const Scene room = demo::BuildDemoRoomScene(160, 120);
    const Blob scheme = *SerializeScheme(room), thumb = *demo::BareRoomThumbnail(room);
    EXPECT_TRUE(CreateProductDatabaseFile(file, [&](const SqlDatabase& db) -> Status {
                    if (Status s = db.executeScript("insert into TableStyle values(3,'新中式'),(9,'日式');"
                                                    "insert into TableRoomType values(2,0,'卧室'),(7,0,'儿童房')");
                        !s)
                        return s;
                    for (int i = 0; i < 3; ++i)
                        if (Status s = db.execute("insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,"
                                                  "SamplePic,SampleData) values('模板',2,9,7,?,?)",
                                                  {SqlValue(thumb), i ? SqlValue(scheme) : SqlValue()});
                            !s)
                            return s;
                    return Status::Ok();
                }).ok());
    return test::ReadBytes(file);
}

// Mutants past the first page open and fail part-way, the case that once
// kept half a merge; a refused file stays in updatedb for another try.
TEST(ReaderFuzz, RefusedUpdatesLeaveTheWorkspaceDatabaseUntouched) {
    test::TempWorkspace ws;
    const fs::path dbFile = ws / kProductDatabaseFile, update = ws / "updatedb/u.cdb";
    { ASSERT_TRUE(ws.OpenModule()->ExecSql("insert into TableStyle values(5,'现代')").ok()); }
    const Blob pristine = test::ReadBytes(dbFile), seed = DemoUpdateFile(update);
    std::unique_ptr<TDataModule_Manager> dm = ws.OpenModule();
    size_t refused = 0;
    const size_t runs = test::Fuzz({seed}, 25, 5, [&](const Blob& b) {
        ASSERT_TRUE(WriteFileAtomically(update, b));
        const UpdateFolderReport report = MergeUpdateFolder(*dm);
        if (!report.errors.empty()) {
            ++refused;
            EXPECT_EQ(report.errors[0].rfind("更新数据库没有合并：", 0), 0u) << report.errors[0];
            EXPECT_TRUE(fs::exists(update));
            EXPECT_TRUE(fs::is_empty(ws / "temple/local"));
            ASSERT_EQ(test::ReadBytes(dbFile), pristine);
        } else {
            EXPECT_FALSE(fs::exists(update));
            if (report.reports[0].merged) {  // back to the start for the next mutant
                dm.reset();
                fs::remove_all(ws / "temple/local");
                fs::create_directories(ws / "temple/local");
                ASSERT_TRUE(WriteFileAtomically(dbFile, pristine));
                dm = ws.OpenModule();
            }
        }
    }, 1024);
    std::printf("update databases: %zu runs, %zu refused\n", runs, refused);
}

}  // namespace
}  // namespace v2d
