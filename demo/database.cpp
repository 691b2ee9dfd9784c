// WriteDemoDatabase: the product database of the demo workspace, built in a
// new file that replaces DB/PRODUCT.cdb only when it is complete.
#include <QPainter>

#include <system_error>

#include "demo/workspace.h"
#include "demo/demo_room.h"
#include "demo/database.h"
#include "library/data_module.h"
#include "library/product_database_file.h"
#include "base/atomic_file.h"
#include "scene/scheme_file.h"

namespace v2d::demo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStyleScript = R"SQL(
insert into TableStyle(StyleID,StyleName) values
  (1,'现代简约'),(2,'欧式古典'),(3,'新中式'),(4,'田园'),(5,'地中海'),(6,'美式乡村');
insert into TableRoomType(RTypeID,RTypeFatherID,RTypeName) values
  (1,0,'客厅'),(2,0,'卧室'),(3,0,'厨房'),(4,0,'卫生间'),(5,0,'餐厅'),(6,0,'书房');
)SQL";

struct DemoTemplate {
    const char* name;
    int style, room;
};

const DemoTemplate kTemplates[] = {
    {"现代简约客厅", 1, 1}, {"欧式古典客厅", 2, 1}, {"新中式卧室", 3, 2}, {"田园风卧室", 4, 2},
    {"地中海餐厅", 5, 5},   {"美式书房", 6, 6},     {"简约厨房", 1, 3},   {"现代卫生间", 1, 4},
    {"欧式主卧", 2, 2},     {"新中式书房", 3, 6},   {"田园餐厅", 4, 5},   {"地中海客厅", 5, 1},
    {"美式乡村卧室", 6, 2},
};

}  // namespace

Result<Bytes> DemoTemplateScheme(const fs::path& workspace) {
    if (std::optional<Bytes> start = ReadWholeFile(workspace / "start" / "start.v2d")) return *start;
    return SerializeScheme(demo::BuildDemoRoomScene(800, 600));
}

Result<Bytes> DemoTemplateThumbnail(int variant) {
    static const QImage room = demo::DrawDemoRoom(400, 300);
    QImage thumb = room.scaled(200, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&thumb);
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        p.fillRect(thumb.rect(), QColor::fromHsv((variant * 47) % 360, 40, 255));
    }
    std::optional<Bytes> jpeg = EncodeJpeg(thumb, 90);
    if (!jpeg) return Error{"写文件失败。"};
    return *jpeg;
}

Status WriteDemoTemplates(const SqlDatabase& db, const fs::path& workspace) {
    if (Status s = db.executeScript(kStyleScript); !s) return s;
    Result<Bytes> scheme = DemoTemplateScheme(workspace);
    if (!scheme) return Error{scheme.error()};
    std::error_code ec;
    fs::create_directories(workspace / "temple" / "local", ec);
    fs::create_directories(workspace / "temple" / "TempData", ec);
    int variant = 0;
    for (const DemoTemplate& t : kTemplates) {
        Result<Bytes> thumb = DemoTemplateThumbnail(variant++);
        if (!thumb) return Error{thumb.error()};
        if (Status s = db.execute(
                "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic) "
                "values(?,2,?,?,?)",
                {SqlText(t.name), SqlInt(t.style), SqlInt(t.room), SqlValue(*thumb)});
            !s)
            return s;
        const std::string id = std::to_string(db.lastInsertRowId());
        const fs::path schemeFile = workspace / "temple" / "local" / (id + ".v2d");
        const fs::path thumbFile = workspace / "temple" / "TempData" / (id + ".jpg");
        if (!WriteFileAtomically(schemeFile, *scheme) || !WriteFileAtomically(thumbFile, *thumb))
            return Error{"写文件失败。" + schemeFile.string()};
    }
    return Status::Ok();
}

Status WriteDemoUsers(const SqlDatabase& db) {
    return db.executeScript(
        "insert into TableSuperUser(SUserID,SUserName,SUserFullName,SUserPassWord,SUserDescription)"
        " values(-999,'superuser','','admin','');"
        "insert into TableUser(UserID,UserName,UserPassWord,UserPower) values"
        " (1,'designer','1234','0'),(2,'sales','1234','1');");
}

Status WriteDemoDatabase(const fs::path& workspace) {
    return CreateProductDatabaseFile(workspace / kProductDatabaseFile, [&](const SqlDatabase& db) -> Status {
        if (Status s = WriteDemoCatalogue(db, workspace); !s) return s;
        if (Status s = WriteDemoTemplates(db, workspace); !s) return s;
        if (Status s = WriteDemoColourCards(db); !s) return s;
        return WriteDemoUsers(db);
    });
}

}  // namespace v2d::demo
