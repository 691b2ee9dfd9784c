// vexel2d-cli products | merge | make-update-db: the product database from a
// terminal, through the same data module the program uses.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "demo/demo_room.h"
#include "cli/json_writer.h"
#include "library/data_module.h"
#include "library/product_database_file.h"
#include "library/product_queries.h"
#include "scene/scheme_file.h"

namespace v2d::cli {

namespace fs = std::filesystem;

namespace {

// Update databases of the demo: styles 3, 7 and 9 and room types 2 and 7
// against the workspace's six of each (so style 7, style 9 and room type 7
// are new), and three templates, one of them without a scheme.
Status FillUpdateDatabase(const SqlDatabase& db) {
    if (Status s = db.executeScript(
            "insert into TableStyle(StyleID,StyleName) values(3,'新中式'),(7,'北欧'),(9,'日式');"
            "insert into TableRoomType(RTypeID,RTypeFatherID,RTypeName) values(2,0,'卧室'),(7,0,'儿童房');");
        !s)
        return s;
    const Scene room = demo::BuildDemoRoomScene(800, 600);
    Result<Bytes> scheme = SerializeScheme(room);
    if (!scheme) return Error{scheme.error()};
    const struct {
        const char* name;
        int style, room;
        bool withScheme;
    } kTemplates[] = {{"北欧客厅（更新）", 7, 1, true}, {"日式儿童房（更新）", 9, 7, true},
                      {"待下载模板", 1, 1, false}};
    for (const auto& t : kTemplates) {
        Result<Bytes> thumb = demo::BareRoomThumbnail(room);
        if (!thumb) return Error{thumb.error()};
        if (Status s = db.execute(
                "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,SampleData)"
                " values(?,2,?,?,?,?)",
                {SqlText(t.name), SqlInt(t.style), SqlInt(t.room), SqlValue(*thumb),
                 t.withScheme ? SqlValue(*scheme) : SqlValue()});
            !s)
            return s;
    }
    return Status::Ok();
}

}  // namespace

namespace {

// A node of the category tree; a sub-category lists its own products.
Status WriteCategoryNodes(JsonWriter& json, Db& dm, const std::vector<CategoryNode>& nodes) {
    json.beginArray();
    for (const CategoryNode& n : nodes) {
        json.beginObject().field("id", n.id).field("name", std::string_view(n.name)).key("children");
        if (Status s = WriteCategoryNodes(json, dm, n.children); !s) return s;
        if (!n.isMainCategory) {
            Result<std::vector<ProductRow>> rows = ReadProductList(dm, n.id);
            if (!rows) return Error{rows.error()};
            json.key("products").beginArray();
            for (const ProductRow& r : *rows)
                json.beginObject()
                    .field("id", r.PartsID)
                    .field("name", std::string_view(r.PartsName))
                    .field("number", std::string_view(r.PartsNumber))
                    .endObject();
            json.endArray();
        }
        json.endObject();
    }
    json.endArray();
    return Status::Ok();
}

int PrintCategoryTree(Db& dm, std::optional<ProductKind> kind) {
    const CategoryFilter filter = !kind ? CategoryFilter::All
                                  : *kind == ProductKind::Model ? CategoryFilter::Models
                                                                : CategoryFilter::Materials;
    Result<std::vector<CategoryNode>> tree = BuildCategoryTree(dm, filter);
    if (!tree) return Fail("products", tree.error());
    JsonWriter json;
    if (Status s = WriteCategoryNodes(json, dm, *tree); !s) return Fail("products", s.error());
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace

int RunProducts(const Args& args, const fs::path& workspace) {
    std::optional<ProductKind> kind;
    bool tree = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--kind" && i + 1 < args.size()) {
            const std::string& k = args[++i];
            if (k == "material") kind = ProductKind::Material;
            else if (k == "model") kind = ProductKind::Model;
            else return Fail("products", "--kind takes material or model");
        } else if (args[i] == "--tree") {
            tree = true;
        } else {
            std::fprintf(stderr, "usage: vexel2d-cli products [--tree] [--kind material|model]\n");
            return 2;
        }
    }
    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return Fail("products", dm.error());
    if (tree) return PrintCategoryTree(**dm, kind);
    Result<std::vector<ProductRow>> rows = ReadAllProducts(**dm, kind);
    if (!rows) return Fail("products", rows.error());
    for (const ProductRow& r : *rows) {
        JsonWriter json;
        json.beginObject()
            .field("PartsID", r.PartsID)
            .field("PartsName", std::string_view(r.PartsName))
            .field("PartsNumber", std::string_view(r.PartsNumber))
            .field("PartsSpecs", std::string_view(r.PartsSpecs))
            .field("SalesName", std::string_view(r.SalesName))
            .field("PSTypeName", std::string_view(r.PSTypeName))
            .field("PartsSubType", int64_t{r.PartsSubType});
        // Only what is known, so a catalogue without packing lists as before.
        if (r.PartsPerBox > 0) json.field("PartsPerBox", int64_t{r.PartsPerBox});
        if (r.PartsUnit != PriceUnit::Piece) json.field("PartsUnit", PriceUnitWord(r.PartsUnit));
        json.endObject();
        std::printf("%s\n", json.str().c_str());
    }
    return 0;
}

int RunMerge(const Args& args, const fs::path& workspace) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vexel2d-cli merge FILE.cdb\n");
        return 2;
    }
    const fs::path file = fs::absolute(args[0]);
    if (!fs::is_regular_file(file)) return Fail("merge", std::string(kMsgDatabaseMissing) + file.string());
    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return Fail("merge", dm.error());
    Result<MergeReport> report = (*dm)->MergeUpdateDatabase(file, SchemeReads);
    if (!report) return Fail("merge", report.error());
    JsonWriter json;
    json.beginObject()
        .field("merged", report->merged)
        .field("stylesAdded", int64_t{report->stylesAdded})
        .field("roomTypesAdded", int64_t{report->roomTypesAdded})
        .field("templatesAdded", int64_t{report->templatesAdded})
        .key("newSampleIDs")
        .beginArray();
    for (int64_t id : report->newSampleIDs) json.value(id);
    json.endArray().endObject();
    std::printf("%s\n", json.str().c_str());
    if (!report->merged)
        return Fail("merge", "更新数据库打不开或缺少数据表，没有合并：" + file.string());
    return 0;
}

int RunMakeUpdateDb(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vexel2d-cli make-update-db FILE\n");
        return 2;
    }
    Status written = CreateProductDatabaseFile(fs::path(args[0]), FillUpdateDatabase);
    if (!written) return Fail("make-update-db", written.error());
    return 0;
}

}  // namespace v2d::cli
