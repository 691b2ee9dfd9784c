// WriteDemoDatabase: the product database of the demo workspace, built in a
// new file that replaces DB/PRODUCT.cdb only when it is complete.
#include <system_error>

#include "demo/workspace.h"
#include "demo/database.h"
#include "demo/template_rooms.h"
#include "library/data_module.h"
#include "library/product_database_file.h"
#include "base/atomic_file.h"

namespace v2d::demo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStyleScript = R"SQL(
insert into TableStyle(StyleID,StyleName) values
  (1,'现代简约'),(2,'欧式古典'),(3,'新中式'),(4,'田园'),(5,'地中海'),(6,'美式乡村');
insert into TableRoomType(RTypeID,RTypeFatherID,RTypeName) values
  (1,0,'客厅'),(2,0,'卧室'),(3,0,'厨房'),(4,0,'卫生间'),(5,0,'餐厅'),(6,0,'书房');
)SQL";

}  // namespace

Status WriteDemoStyles(const SqlDatabase& db) { return db.executeScript(kStyleScript); }

Status WriteDemoUsers(const SqlDatabase& db) {
    return db.executeScript(
        "insert into TableSuperUser(SUserID,SUserName,SUserFullName,SUserPassWord,SUserDescription)"
        " values(-999,'superuser','','admin','');"
        "insert into TableUser(UserID,UserName,UserPassWord,UserPower) values"
        " (1,'designer','1234','0'),(2,'sales','1234','1');");
}

Status WriteDemoDatabase(const fs::path& workspace, const ImageOperations& ops) {
    const Status made = CreateProductDatabaseFile(workspace / kProductDatabaseFile, [&](const SqlDatabase& db) -> Status {
        if (Status s = WriteDemoCatalogue(db, workspace); !s) return s;
        if (Status s = WriteDemoStyles(db); !s) return s;
        if (Status s = WriteDemoColourCards(db); !s) return s;
        return WriteDemoUsers(db);
    });
    if (!made) return made;
    // The templates are furnished from the catalogue just written, through
    // the database as the program opens it.
    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return dm.failure();
    return WriteDemoTemplates(**dm, workspace, ops);
}

}  // namespace v2d::demo
