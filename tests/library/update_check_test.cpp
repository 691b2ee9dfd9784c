// An update whose template would install what the program cannot open is
// refused whole, naming the row: the database, temple/ and the update stay.
#include <gtest/gtest.h>

#include <map>

#include "demo/demo_room.h"
#include "library/internal/database_key.h"
#include "scene/scheme_file.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

TEST(UpdateCheck, ATemplateThatDoesNotReadRefusesTheWholeUpdate) {
    const Scene room = demo::BuildDemoRoomScene(160, 120);
    const Blob scheme = *SerializeScheme(room), pic = *demo::BareRoomThumbnail(room), cut(pic.begin(), pic.end() - 99);
    const std::string longName(100000, 'x');
    const std::tuple<std::string, Blob, Blob, std::string> cases[] = {
        {"客厅", pic, pic, "模板“客厅”的方案文件读不出。"},
        {"卧室", cut, scheme, "模板“卧室”的缩略图不是完整的 JPEG 图片。"},
        {longName, pic, scheme, "模板“" + longName.substr(0, 20) + "…”的名称超过 255 个字。"}};
    for (const auto& [name, picture, data, says] : cases) {
        test::TempWorkspace ws;
        std::unique_ptr<TDataModule_Manager> dm = ws.OpenModule();
        const std::filesystem::path update = ws / "updatedb/u.cdb";
        ASSERT_TRUE(test::MakeDatabaseFile(update, "insert into TableStyle values(9,'日式')").ok());
        {  // a good template first: it is not installed either
            auto up = SqlDatabase::Open(update, kProductDatabasePassword, OpenMode::ReadWrite);
            for (const auto& [n, p, d] : {std::tuple{std::string("好"), pic, scheme}, {name, picture, data}})
                ASSERT_TRUE(up->execute("insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,"
                                        "SampleData) values(?,2,9,1,?,?)", {SqlText(n), SqlValue(p), SqlValue(d)}).ok());
        }
        auto listing = [&] {
            std::map<std::filesystem::path, Blob> files{{update, test::ReadBytes(update)}};
            for (const char* top : {"DB", "temple"})
                for (const auto& e : std::filesystem::recursive_directory_iterator(ws / top))
                    files[e.path()] = e.is_regular_file() ? test::ReadBytes(e.path()) : Blob{'/'};
            return files;
        };
        const auto before = listing();
        const UpdateFolderReport report = MergeUpdateFolder(*dm, SchemeReads);
        ASSERT_EQ(report.errors.size(), 1u) << says;
        EXPECT_EQ(report.errors[0], "更新数据库没有合并：" + update.string() + "，" + says);
        EXPECT_TRUE(listing() == before) << says;
    }
}

}  // namespace
}  // namespace v2d
