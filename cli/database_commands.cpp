// vexel2d-cli products | merge | make-update-db: the product database from a
// terminal, through the same data module the program uses.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/integer_text.h"
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

namespace {

constexpr const char* kProductsUsage =
    "usage: vexel2d-cli products [--tree] [--kind material|model] [--search TEXT] [--size WxH]\n"
    "                            [--min-price X] [--max-price Y] [--category ID | --main-category ID]\n";

std::optional<double> ParsePrice(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// "600x600" (or 600*600, 600×600): whole millimetres on both sides.
std::optional<ProductSize> ParseSize(std::string text) {
    for (const char* cross : {"×", "*", "X"})
        for (size_t at; (at = text.find(cross)) != std::string::npos;) text.replace(at, std::strlen(cross), "x");
    const size_t x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const std::optional<int> w = ParseInt(std::string_view(text).substr(0, x));
    const std::optional<int> h = ParseInt(std::string_view(text).substr(x + 1));
    if (!w || !h) return std::nullopt;
    return ProductSize{*w, *h};
}

// One JSON line of a product, with its price, unit and pieces per box as
// the descriptor names them (no pieces per box known: null).
void PrintProductLine(const ProductRow& r) {
    JsonWriter json;
    json.beginObject()
        .field("PartsID", r.PartsID)
        .field("PartsName", std::string_view(r.PartsName))
        .field("PartsNumber", std::string_view(r.PartsNumber))
        .field("PartsSpecs", std::string_view(r.PartsSpecs))
        .field("SalesName", std::string_view(r.SalesName))
        .field("PSTypeName", std::string_view(r.PSTypeName))
        .field("PartsSubType", int64_t{r.PartsSubType});
    json.key("PartsPrice").number(r.PartsPrice, 2).key("PartsPerBox");
    if (r.PartsPerBox > 0) json.value(int64_t{r.PartsPerBox});
    else json.null();
    json.field("PartsUnit", PriceUnitWord(r.PartsUnit)).endObject();
    std::printf("%s\n", json.str().c_str());
}

}  // namespace

int RunProducts(const Args& args, const fs::path& workspace) {
    std::optional<ProductKind> kind;
    bool tree = false, paged = false;
    ProductFilter filter;
    ProductScope scope;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--kind" && hasValue) {
            const std::string& k = args[++i];
            if (k == "material") kind = ProductKind::Material;
            else if (k == "model") kind = ProductKind::Model;
            else return Fail("products", "--kind takes material or model");
        } else if (a == "--tree") {
            tree = true;
        } else if (a == "--search" && hasValue) {
            filter.text = args[++i];
            paged = true;
        } else if (a == "--size" && hasValue) {
            if (!(filter.size = ParseSize(args[++i]))) return Fail("products", "--size takes WIDTHxHEIGHT in millimetres");
            paged = true;
        } else if ((a == "--min-price" || a == "--max-price") && hasValue) {
            const std::optional<double> price = ParsePrice(args[++i]);
            if (!price) return Fail("products", a + " takes a number");
            (a == "--min-price" ? filter.minPrice : filter.maxPrice) = price;
            paged = true;
        } else if ((a == "--category" || a == "--main-category") && hasValue && !scope.category) {
            const std::optional<long long> id = ParseWholeNumber(args[++i]);
            if (!id) return Fail("products", a + " takes a category number");
            scope.category = *id;
            scope.mainCategory = a == "--main-category";
            paged = true;
        } else {
            std::fputs(kProductsUsage, stderr);
            return 2;
        }
    }
    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return Fail("products", dm.error());
    if (tree) return PrintCategoryTree(**dm, kind);
    if (!paged) {
        Result<std::vector<ProductRow>> rows = ReadAllProducts(**dm, kind);
        if (!rows) return Fail("products", rows.error());
        for (const ProductRow& r : *rows) PrintProductLine(r);
        return 0;
    }
    // Page after page, as the browser reads them.
    scope.kind = !kind ? CategoryFilter::All : *kind == ProductKind::Model ? CategoryFilter::Models : CategoryFilter::Materials;
    for (int64_t before = 0;;) {
        Result<ProductPage> page = ReadProductPage(**dm, scope, filter, before);
        if (!page) return Fail("products", page.error());
        for (const ProductRow& r : page->rows) PrintProductLine(r);
        if (!page->more || page->rows.empty()) return 0;
        before = page->rows.back().PartsID;
    }
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
