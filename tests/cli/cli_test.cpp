// vexel2d-cli run as a user runs it: usage errors exit 2, failures exit 1
// with the program's message on stderr, and the JSON has its keys.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QStringList>

#include <functional>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using v2d::test::Outcome;
using v2d::test::ReadText;

class Cli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vexel-cli-test-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "empty");
        std::ofstream(root_ / "broken.v2d") << "d2v.not a scheme";
        // A workspace whose database is an update database: quick to make.
        ASSERT_EQ(Vexel({"make-update-db", In("ws/DB/PRODUCT.cdb")}).exit, 0);
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    // Runs the program in `folder` with the arguments quoted for the shell.
    static Outcome Vexel(const std::vector<std::string>& args, const fs::path& folder = fs::temp_directory_path()) {
        std::string command = "cd '" + folder.string() + "' && '" VEXEL_CLI "'";
        for (const std::string& a : args) command += " '" + a + "'";
        return v2d::test::RunShell(command, root_);
    }
    static std::string In(const char* name) { return (root_ / name).string(); }
    static std::vector<QJsonObject> Lines(const std::string& out) {
        std::vector<QJsonObject> objects;
        for (const QString& line : QString::fromStdString(out).split('\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            objects.push_back(doc.object());
        }
        return objects;
    }
    static void ExpectKeys(const QJsonObject& object, const QStringList& keys) {
        for (const QString& key : keys) EXPECT_TRUE(object.contains(key)) << key.toStdString();
    }

    static inline fs::path root_;
};

TEST_F(Cli, UsageErrorsExitTwoWithTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"no-such-command"}, {"--workspace"}, {"--workspace", In("ws")},
        {"info"}, {"info", "a.v2d", "b.v2d"}, {"convert", "a.v2d"}, {"make-workspace"},
        {"make-workspace", "a", "b"}, {"products", "extra"}, {"products", "--kind"}, {"merge"}, {"merge", "a.cdb", "b.cdb"},
        {"make-update-db"}, {"render"}, {"render", "a.v2d"}, {"render", "a.v2d", "-o", "x.jpg", "--lighten", "500"},
        {"batch", "a.v2d", "-o", "out"}, {"products", "--workspace", In("ws")},
        {"templates", "--page", "x"}, {"templates", "--page", "0"}, {"save-template", "a.v2d", "--room", "1"},
        {"report"}, {"report", "a.v2d", "--pdf"},
    };
    for (const auto& args : cases) {
        const Outcome run = Vexel(args);
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        EXPECT_EQ(run.exit, 2) << shown;
        EXPECT_NE(run.err.find("usage: vexel2d-cli"), std::string::npos) << shown << run.err;
        EXPECT_TRUE(run.out.empty()) << shown;
    }
    EXPECT_EQ(Vexel({"--help"}).exit, 0);
}

TEST_F(Cli, FailuresExitOneWithTheMessage) {
    const std::string ws = In("ws");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"info", In("broken.v2d")}, "文件格式不正确"},
        {{"convert", In("broken.v2d"), In("copy.v2d")}, "文件格式不正确"},
        {{"render", In("broken.v2d"), "-o", In("x.jpg")}, "vexel2d-cli render: 文件格式不正确"},
        {{"batch", In("none.v2d"), "--products", In("empty"), "--regions", "0", "-o", In("out")},
         "vexel2d-cli batch: no product pictures in"},
        {{"--workspace", In("empty"), "products"}, "vexel2d-cli products: 找不到产品数据库文件："},
        {{"--workspace", ws, "products", "--kind", "sofa"}, "--kind takes material or model"},
        {{"--workspace", ws, "merge", In("none.cdb")}, "vexel2d-cli merge: 找不到产品数据库文件："},
        {{"--workspace", ws, "merge", In("broken.v2d")}, "更新数据库打不开或缺少数据表，没有合并："},
        {{"make-update-db", In("broken.v2d") + "/u.cdb"}, "vexel2d-cli make-update-db: "},
        {{"make-workspace", In("broken.v2d") + "/ws"}, "vexel2d-cli make-workspace: "},
    };
    for (const auto& c : cases) {
        const Outcome run = Vexel(c.args, root_ / "empty");
        EXPECT_EQ(run.exit, 1) << c.args[0] << " " << c.args[1];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(root_ / "copy.v2d"));
    EXPECT_FALSE(fs::exists(root_ / "x.jpg"));
}

// The demo workspace: its start scheme and its products.
TEST_F(Cli, InfoIsOneObjectAndProductsAreJsonLines) {
    ASSERT_EQ(Vexel({"make-workspace", In("demo")}).exit, 0);
    const Outcome run = Vexel({"info", In("demo") + "/start/start.v2d"});
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<QJsonObject> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    const QJsonObject& info = lines[0];
    ExpectKeys(info, {"signature", "version", "background", "records", "groups"});
    ExpectKeys(info["background"].toObject(), {"type", "width", "height", "length"});
    EXPECT_GT(info["background"]["width"].toInt(), 0);
    const QJsonArray records = info["records"].toArray();
    ASSERT_FALSE(records.isEmpty());
    for (const QJsonValue& record : records) {
        ExpectKeys(record.toObject(), {"name", "pointCount", "points", "corners", "indexList", "lighten", "reflect",
                                       "kind", "group", "castShadow", "picture", "sourcePicture", "frames", "mesh"});
        EXPECT_EQ(record["points"].toArray().size(), record["pointCount"].toInt());
    }
    EXPECT_TRUE(info["groups"].isArray());

    // The same products from the workspace as the current folder and as the
    // option, one object a line, split by kind.
    const Outcome here = Vexel({"products"}, root_ / "demo");
    ASSERT_EQ(here.exit, 0) << here.err;
    EXPECT_EQ(Vexel({"--workspace", In("demo"), "products"}).out, here.out);
    const std::vector<QJsonObject> all = Lines(here.out);
    ASSERT_FALSE(all.empty());
    for (const QJsonObject& p : all)
        ExpectKeys(p, {"PartsID", "PartsName", "PartsNumber", "PartsSpecs", "SalesName", "PSTypeName", "PartsSubType"});
    const auto materials = Lines(Vexel({"--workspace", In("demo"), "products", "--kind", "material"}).out);
    const auto models = Lines(Vexel({"--workspace", In("demo"), "products", "--kind", "model"}).out);
    EXPECT_EQ(materials.size() + models.size(), all.size());
    for (const QJsonObject& p : materials) EXPECT_EQ(p["PartsSubType"].toInt(), 2);
    for (const QJsonObject& p : models) EXPECT_EQ(p["PartsSubType"].toInt(), 1);
}

// The category tree of a generated catalogue: one JSON array of nodes;
// sub-categories (and only they) list their products, every product once.
TEST_F(Cli, ProductTreeIsOneArrayOfNestedNodes) {
    ASSERT_EQ(Vexel({"make-bench-db", In("bench"), "--products", "40", "--subcategories", "30"}).exit, 0);
    const Outcome run = Vexel({"--workspace", In("bench"), "products", "--tree", "--kind", "material"});
    ASSERT_EQ(run.exit, 0) << run.err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    ASSERT_TRUE(doc.isArray());
    int nodes = 0, products = 0, deepest = 0;
    std::function<void(const QJsonArray&, int)> walk = [&](const QJsonArray& level, int depth) {
        for (const QJsonValue& v : level) {
            const QJsonObject n = v.toObject();
            ExpectKeys(n, {"id", "name", "children"});
            EXPECT_EQ(n.contains("products"), depth > 0);
            for (const QJsonValue& p : n["products"].toArray()) {
                ExpectKeys(p.toObject(), {"id", "name", "number"});
                ++products;
            }
            ++nodes;
            deepest = std::max(deepest, depth);
            walk(n["children"].toArray(), depth + 1);
        }
    };
    walk(doc.array(), 0);
    EXPECT_EQ(nodes, 1 + 30);
    EXPECT_EQ(products, 40);
    EXPECT_GE(deepest, 3);  // nested sub-categories, some read before their parents
    EXPECT_EQ(Vexel({"--workspace", In("bench"), "products", "--tree", "--kind", "model"}).out, "[]\n");
}

TEST_F(Cli, MergeReportsWhatTheUpdateBrought) {
    ASSERT_EQ(Vexel({"make-update-db", In("u.cdb")}).exit, 0);
    const Outcome run = Vexel({"--workspace", In("ws"), "merge", In("u.cdb")});
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<QJsonObject> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    // The workspace holds the same styles and room types; templates are always added.
    EXPECT_TRUE(lines[0]["merged"].toBool());
    EXPECT_EQ(lines[0]["stylesAdded"].toInt(), 0);
    EXPECT_EQ(lines[0]["roomTypesAdded"].toInt(), 0);
    EXPECT_EQ(lines[0]["templatesAdded"].toInt(), 3);
    EXPECT_EQ(lines[0]["newSampleIDs"].toArray(), QJsonArray({4, 5, 6}));
}

// Templates stored and listed, and the report with its PDF, in a demo workspace.
TEST_F(Cli, TemplatesAndTheReport) {
    ASSERT_EQ(Vexel({"make-workspace", In("tpl")}).exit, 0);
    const std::string ws = In("tpl");
    const Outcome saved = Vexel({"--workspace", ws, "save-template", ws + "/start/start.v2d", "--name", "样板 A&B",
                                 "--room", "2", "--style", "3"});
    ASSERT_EQ(saved.exit, 0) << saved.err;
    const int id = Lines(saved.out).at(0)["id"].toInt();
    EXPECT_TRUE(fs::exists(ws + "/temple/TempData/" + std::to_string(id) + ".jpg"));
    const QJsonObject page = Lines(Vexel({"--workspace", ws, "templates", "--room", "2", "--page-size", "2"}).out).at(0);
    ExpectKeys(page, {"page", "pages", "templates"});
    const QJsonObject first = page["templates"].toArray().at(0).toObject();
    ExpectKeys(first, {"id", "name", "style", "room"});
    EXPECT_EQ(first["id"].toInt(), id);
    EXPECT_EQ(first["name"].toString(), QStringLiteral("样板 A&B"));
    EXPECT_EQ(page["pages"].toInt(), 3);  // four bedrooms in the demo, then this one
    EXPECT_TRUE(Lines(Vexel({"--workspace", ws, "templates", "--page", "9"}).out).at(0)["templates"].toArray().isEmpty());

#ifndef VEXEL_SANITIZED_BUILD  // the sanitised command line has no PDF printer
    const Outcome report = Vexel({"--workspace", ws, "report", ws + "/start/start.v2d", "-o", In("shop"), "--pdf",
                                  In("shop") + "/报表.pdf"});
    ASSERT_EQ(report.exit, 0) << report.err;
    ExpectKeys(Lines(report.out).at(0), {"report", "picture", "pdf"});
    EXPECT_EQ(ReadText(In("shop") + std::string("/报表.pdf")).substr(0, 5), "%PDF-");
#else
    const Outcome report = Vexel({"--workspace", ws, "report", ws + "/start/start.v2d", "-o", In("shop")});
    ASSERT_EQ(report.exit, 0) << report.err;
#endif
    EXPECT_NE(ReadText(In("shop") + std::string("/report.htm")).find("021-6488 1234"), std::string::npos);
    EXPECT_EQ(Vexel({"--workspace", ws, "report", In("broken.v2d")}).exit, 1);
}

// The demo sofa dropped on the floor at (800, 980) stands on its footprint: 1600 mm at a depth of 3.7 m is about
// 516 pixels from x = 800, its front at y = 1076; nothing of it is left in the picture's corner.
TEST_F(Cli, ACutoutAddedToTheFloorStandsOnIt) {
    ASSERT_EQ(Vexel({"make-workspace", In("sofa")}).exit, 0);
    const std::string ws = In("sofa");
    ASSERT_EQ(Vexel({"add-model", ws + "/start/start.v2d", ws + "/product/c2d/SF-003.c2d", "--region", "地面", "-o",
                     In("sofa.v2d")}).exit, 0);
    ASSERT_EQ(Vexel({"render", In("sofa.v2d"), "-o", In("sofa.jpg")}).exit, 0);
    const QImage picture = v2d::DecodeJpeg(*v2d::ReadWholeFile(In("sofa.jpg")));
    const auto blue = [&](QRgb p) { return std::abs(qRed(p) - 90) + std::abs(qBlue(p) - 150) < 20; };
    EXPECT_TRUE(blue(picture.pixel(1050, 940)));  // the middle of its seat
    EXPECT_FALSE(blue(picture.pixel(100, 60)));
}

// The demo's oak bedroom (a 13.04 m² floor, three walls papered at 200 a
// roll, a rug) with the leather sofa added: each line in its product's unit,
// the models beside the regions, the total over both.
TEST_F(Cli, QuoteChargesEachProductInItsUnitAndListsTheModels) {
    ASSERT_EQ(Vexel({"make-workspace", In("shop")}).exit, 0);
    const std::string ws = In("shop");
    int bedroom = -1;
    for (const QJsonValue t : Lines(Vexel({"--workspace", ws, "templates", "--page-size", "50"}).out).at(0)["templates"].toArray())
        if (t["name"].toString() == QStringLiteral("美式乡村卧室")) bedroom = t["id"].toInt();
    ASSERT_EQ(Vexel({"add-model", ws + "/temple/local/" + std::to_string(bedroom) + ".v2d", ws + "/product/c2d/SF-002.c2d",
                     "--region", "地面", "-o", In("bed.v2d")}).exit, 0);
    const QJsonObject quote = Lines(Vexel({"quote", In("bed.v2d")}).out).at(0);
    const QJsonArray regions = quote["regions"].toArray(), models = quote["models"].toArray();
    ASSERT_TRUE(regions.size() == 4 && models.size() == 2);
    EXPECT_EQ(regions[0]["unit"].toString(), "m2");
    EXPECT_DOUBLE_EQ(regions[0]["quantity"].toDouble(), 13.70);  // 13.04 × 1.05, rounded up
    EXPECT_DOUBLE_EQ(regions[0]["amount"].toDouble(), 13.70 * 420);
    double total = 0;
    for (const QJsonArray& lines : {regions, models})
        for (const QJsonValue l : lines) {
            if (l["number"].toString().startsWith("BZ-"))
                EXPECT_TRUE(l["unit"] == "roll" && l["strips"].toInt() > 0 && l["amount"] == l["order"].toInt() * 200.0);
            if (l["number"] == "SF-002") EXPECT_EQ(l["amount"].toDouble(), 9800);
            EXPECT_TRUE(l["excluded"].isNull());
            total += l["amount"].toDouble();
        }
    EXPECT_NEAR(quote["total"].toDouble(), total, 0.005);
    EXPECT_EQ(quote["excluded"].toInt(), 0);
}

// On a template's rug: a sofa goes after the rug and the walls it overlaps, a
// carpet after the rug but under the sofa, the sofa's copy 20 px off in front.
TEST_F(Cli, ModelsAddedOrCopiedGoInFrontOfWhatTheyStandOn) {
    ASSERT_EQ(Vexel({"make-workspace", In("rug")}).exit, 0);
    const std::string ws = In("rug"), c2d = ws + "/product/c2d/";
    auto add = [&](const std::string& scheme, const char* model, const char* out) {
        return Vexel({"add-model", scheme, c2d + model, "--region", "地面", "--at", "560,600", "-o", In(out)}).exit;
    };
    ASSERT_EQ(add(ws + "/temple/local/13.v2d", "SF-002.c2d", "a.v2d") + add(In("a.v2d"), "DT-002.c2d", "b.v2d"), 0);
    ASSERT_EQ(Vexel({"model", In("b.v2d"), "--record", "6", "--copy", "-o", In("c.v2d")}).exit, 0);
    std::string names;
    for (const QJsonValue& v : Lines(Vexel({"info", In("c.v2d")}).out).at(0)["records"].toArray())
        names += v["name"].toString().toStdString() +
                 (v["kind"].toInt() ? "@" + std::to_string(v["originX"].toInt()) : "") + " ";
    EXPECT_EQ(names, "地面 波斯地毯@0 灰色简约地毯@0 背景墙 左墙 右墙 真皮沙发@560 真皮沙发@580 天花 衣柜门 ");
}

}  // namespace

namespace {

// A 24-bit BMP of one grey, written by hand: the smallest photo there is.
void WriteGreyBmp(const fs::path& file, int w, int h) {
    const int row = (w * 3 + 3) / 4 * 4;
    std::string bytes(54 + size_t(row) * h, '\x80');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(2, uint32_t(bytes.size()), 4), put(6, 0, 4), put(10, 54, 4), put(14, 40, 4), put(18, uint32_t(w), 4);
    put(22, uint32_t(h), 4), put(26, 1, 2), put(28, 24, 2), put(30, 0, 4), put(34, uint32_t(row * h), 4);
    put(38, 2835, 4), put(42, 2835, 4), put(46, 0, 4), put(50, 0, 4);
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

TEST_F(Cli, NewSchemeFromAPhotoReadsBackThroughInfoAndRendersAndBadRegionsWriteNothing) {
    WriteGreyBmp(root_ / "room.bmp", 160, 120);
    const Outcome made = Vexel({"new-scheme", In("room.bmp"), "-o", In("room.v2d"), "--region",
                                "地面:0,119;40,70;120,70;159,119:4000x3000", "--region",
                                "墙:40,10;120,10;120,70;40,70:4000x2800:corners 40,10;120,10;120,70;40,70"});
    ASSERT_EQ(made.exit, 0) << made.err;
    const Outcome info = Vexel({"info", In("room.v2d")});
    ASSERT_EQ(info.exit, 0) << info.err;
    const QJsonObject scheme = Lines(info.out).at(0);
    EXPECT_EQ(scheme["version"].toInt(), 13);
    EXPECT_EQ(scheme["background"]["width"].toInt(), 160);
    const QJsonArray records = scheme["records"].toArray();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0]["name"].toString(), QString::fromUtf8("地面"));
    EXPECT_EQ(records[0]["realWidth"].toInt(), 4000);
    // No corners given: the outline's bounding box.
    EXPECT_EQ(records[0]["corners"].toArray()[0].toArray(), QJsonArray({0, 70}));
    EXPECT_EQ(records[1]["corners"].toArray()[2].toArray(), QJsonArray({120, 70}));
    EXPECT_EQ(Vexel({"render", In("room.v2d"), "-o", In("room.jpg")}).exit, 0);
    EXPECT_TRUE(fs::file_size(In("room.jpg")) > 0);
    EXPECT_EQ(Vexel({"model", In("room.v2d"), "--record", "0", "--copy", "-o", In("copy.v2d")}).exit, 1);

    for (const char* bad : {"x:0,0;10,10:100x100", "x:0,0;10,10;200,5:100x100", "x:0,0;10,10;5,20:0x100"}) {
        const Outcome refused = Vexel({"new-scheme", In("room.bmp"), "-o", In("bad.v2d"), "--region", bad});
        EXPECT_EQ(refused.exit, 1) << bad;
        EXPECT_NE(refused.err.find("区域“x”"), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(In("bad.v2d")));
    }
}

// A 1200 × 900 mm floor seen square on: 0.2 px per millimetre, so a 300 mm
// tile is 60 px and a 10 mm joint 2 px.
TEST_F(Cli, PatternedRenderingShowsItsJointsAndQuotesWhatWasLaid) {
    WriteGreyBmp(root_ / "flat.bmp", 240, 180);
    WriteGreyBmp(root_ / "tile.bmp", 32, 32);
    ASSERT_EQ(Vexel({"new-scheme", In("flat.bmp"), "-o", In("flat.v2d"), "--region",
                     "地面:0,0;239,0;239,179;0,179:1200x900"}).exit, 0);
    const Outcome laid = Vexel({"render", In("flat.v2d"), "-o", In("flat.jpg"), "--product", In("tile.bmp"), "--regions",
                                "地面", "--size", "300x300", "--pattern", "brick", "--joint", "10", "--joint-colour",
                                "0x0000FF", "--save", In("brick.v2d")});
    ASSERT_EQ(laid.exit, 0) << laid.err;
    const QImage picture = v2d::DecodePicture(*v2d::ReadWholeFile(In("flat.jpg")));
    const QColor joint = picture.pixelColor(61, 30), tile = picture.pixelColor(30, 30);
    EXPECT_GT(joint.red(), joint.green() + 60) << joint.name().toStdString();  // the red joint, shaded
    EXPECT_LT(std::abs(tile.red() - tile.green()), 12) << tile.name().toStdString();
    EXPECT_GT(picture.pixelColor(30, 61).red(), picture.pixelColor(30, 61).green() + 60);  // between the rows

    const Outcome quote = Vexel({"quote", In("brick.v2d")});
    ASSERT_EQ(quote.exit, 0) << quote.err;
    const QJsonObject region = Lines(quote.out).at(0)["regions"].toArray().at(0).toObject();
    EXPECT_EQ(region["pattern"].toString(), "half");
    EXPECT_EQ(region["laid"].toInt(), 4 + 5 + 4);
    EXPECT_EQ(region["order"].toInt(), 15);  // 13 × 1.08, rounded up
    EXPECT_NEAR(region["area_m2"].toDouble(), 1.08, 0.01);
    EXPECT_TRUE(region["boxes"].isNull());
    EXPECT_EQ(Lines(Vexel({"quote", In("brick.v2d"), "--per-box", "4"}).out).at(0)["regions"][0]["boxes"].toInt(), 4);
    EXPECT_EQ(Vexel({"quote", In("brick.v2d"), "--waste", "-1"}).exit, 2);
    EXPECT_EQ(Vexel({"render", In("flat.v2d"), "-o", In("x.jpg"), "--pattern", "zigzag"}).exit, 2);
}

// Planks of 1200 × 200 mm with grain every 25 mm across them, on a floor of
// 0.1 px per mm across and 0.04 down: turned, the grain is finer than the
// rows, and herringbone averages it as the straight laying does, no moiré.
TEST_F(Cli, HerringboneAveragesGrainFinerThanItsPixels) {
    WriteGreyBmp(root_ / "floor.bmp", 400, 100);
    QImage grain(960, 160, QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 960; ++x) grain.setPixel(x, y, y % 20 < 10 ? 0xFF000000u : 0xFFFFFFFFu);
    ASSERT_TRUE(v2d::WriteFileAtomically(root_ / "grain.png", *v2d::EncodePng(grain)));
    ASSERT_EQ(Vexel({"new-scheme", In("floor.bmp"), "-o", In("floor.v2d"), "--region",
                     "地面:0,0;399,0;399,99;0,99:4000x2500"}).exit, 0);
    for (const char* pattern : {"straight", "herringbone"}) {
        const Outcome laid = Vexel({"render", In("floor.v2d"), "--product", In("grain.png"), "--regions", "地面",
                                    "--size", "1200x200", "--pattern", pattern, "--joint", "1", "--joint-colour",
                                    "0x808080", "-o", In("laid.jpg")});
        ASSERT_EQ(laid.exit, 0) << laid.err;
        const QImage picture = v2d::DecodePicture(*v2d::ReadWholeFile(In("laid.jpg")));
        double sum = 0, squares = 0;
        for (int y = 10; y < 90; ++y)
            for (int x = 20; x < 380; ++x) sum += qGray(picture.pixel(x, y)), squares += std::pow(qGray(picture.pixel(x, y)), 2);
        const double n = 80 * 360, mean = sum / n;
        EXPECT_LT(std::sqrt(squares / n - mean * mean), 12) << pattern;  // herringbone before: 28, a moiré
    }
}

// A wall over a tiled floor seen square on, 5 mm a pixel along the floor
// (500 mm tiles with 10 mm joints), a dark box standing on it: one click
// finds the floor with the box cut out.
TEST_F(Cli, FindRegionOutlinesTheFloorAroundTheBoxAndSizesItFromAKnownLength) {
    QImage photo(800, 600, QImage::Format_RGB32);
    photo.fill(QColor(180, 190, 210));
    {
        QPainter painter(&photo);
        painter.fillRect(0, 250, 800, 350, QColor(200, 170, 120));
        for (int x = 0; x < 800; x += 100) painter.fillRect(x, 250, 2, 350, QColor(170, 140, 95));
        for (int y = 250; y < 600; y += 100) painter.fillRect(0, y, 800, 2, QColor(170, 140, 95));
        painter.fillRect(330, 350, 140, 140, QColor(90, 40, 40));
    }
    ASSERT_TRUE(photo.save(QString::fromStdString(In("tiled.png"))));

    const Outcome found = Vexel({"find-region", In("tiled.png"), "--at", "150,500", "--length", "50,550,550,550,2500"});
    ASSERT_EQ(found.exit, 0) << found.err;
    const QJsonObject region = Lines(found.out).at(0);
    const QJsonArray rings = region["outline"].toArray();
    ASSERT_EQ(rings.size(), 2) << found.out;
    const auto box = [](const QJsonArray& ring) {
        QRect r;
        for (const QJsonValue& p : ring) r |= QRect(p[0].toInt(), p[1].toInt(), 1, 1);
        return r;
    };
    const QRect outer = box(rings[0].toArray()), hole = box(rings[1].toArray());
    EXPECT_LE(std::abs(outer.top() - 250), 4);
    EXPECT_GE(outer.width(), 790);
    EXPECT_LE((hole.center() - QPoint(400, 420)).manhattanLength(), 6);
    EXPECT_NEAR(hole.width(), 140, 8);
    const QJsonArray corners = region["corners"].toArray();
    ASSERT_EQ(corners.size(), 4);
    const int wide = corners[1][0].toInt() - corners[0][0].toInt(), high = corners[3][1].toInt() - corners[0][1].toInt();
    ASSERT_GT(wide, 200);
    EXPECT_NEAR(region["realWidth"].toInt(), wide * 5, wide * 5 * 0.03);
    EXPECT_NEAR(region["realHeight"].toInt(), high * 5, high * 5 * 0.03 + 10);

    // The same floor as a scheme's region, holes kept as rings.
    ASSERT_EQ(Vexel({"new-scheme", In("tiled.png"), "-o", In("found.v2d"), "--find", "地面:150,500:50,550,550,550,2500"}).exit, 0);
    const QJsonObject record = Lines(Vexel({"info", In("found.v2d")}).out).at(0)["records"][0].toObject();
    EXPECT_EQ(record["indexCount"].toInt(), 2);
    EXPECT_EQ(record["realWidth"].toInt(), region["realWidth"].toInt());

    const Outcome outside = Vexel({"find-region", In("tiled.png"), "--at", "900,10"});
    EXPECT_EQ(outside.exit, 1);
    EXPECT_NE(outside.err.find("单击的位置在照片之外。"), std::string::npos) << outside.err;
    EXPECT_EQ(Vexel({"new-scheme", In("tiled.png"), "-o", In("unsized.v2d"), "--find", "地面:150,500"}).exit, 1);
    EXPECT_FALSE(fs::exists(In("unsized.v2d")));
}

// A 1000 × 900 mm floor seen square on (5 mm a pixel) in 300 × 300 tiles
// from its corner: 9 whole, 3 cut along the right edge. The plan is XML,
// names both sizes and the escaped name, and drawn its cut tiles are orange, the whole ones pale.
TEST_F(Cli, PlanDrawsWholeAndCutTilesWithTheOverallSize) {
    WriteGreyBmp(root_ / "plan.bmp", 200, 180);
    WriteGreyBmp(root_ / "tile.bmp", 32, 32);
    ASSERT_EQ(Vexel({"new-scheme", In("plan.bmp"), "-o", In("bare.v2d"), "--region", "地面&<1>:0,0;199,0;199,179;0,179:1000x900",
                     "--region", "墙:0,0;20,0;20,20;0,20:100x100"}).exit, 0);
    ASSERT_EQ(Vexel({"render", In("bare.v2d"), "-o", In("plan.jpg"), "--product", In("tile.bmp"), "--regions", "地面&<1>",
                     "--size", "300x300", "--save", In("tiled.v2d")}).exit, 0);
    const Outcome made = Vexel({"plan", In("tiled.v2d"), "--region", "地面&<1>", "-o", In("plan.svg")});
    ASSERT_EQ(made.exit, 0) << made.err;
    EXPECT_TRUE(Lines(made.out).at(0)["whole"] == 9 && Lines(made.out).at(0)["cut"] == 3) << made.out;
    const std::string svg = ReadText(In("plan.svg"));
    const auto count = [&](const std::string& what) {
        int n = 0;
        for (size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("class=\"whole\""), 9);
    EXPECT_EQ(count("class=\"cut\""), 3);
    EXPECT_TRUE(count(">1000</text>") == 1 && count(">900</text>") == 1 && count("整砖 9 块，切割砖 3 块") == 1);
    EXPECT_EQ(count("地面&amp;&lt;1&gt; 铺贴图"), 2);  // the title and the caption
    EXPECT_EQ(std::system(("xmllint --noout '" + In("plan.svg") + "'").c_str()), 0);
    ASSERT_EQ(std::system(("rsvg-convert -o '" + In("plan.png") + "' '" + In("plan.svg") + "'").c_str()), 0);
    const QImage drawn(QString::fromStdString(In("plan.png")));
    // Millimetres to the picture's pixels by the drawing's own viewBox and width.
    double left = 0, top = 0, wide = 0, high = 0, width = 0;
    ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("viewBox="), "viewBox=\"%lf %lf %lf %lf\" width=\"%lf\"", &left, &top,
                          &wide, &high, &width), 5);
    ASSERT_EQ(drawn.width(), std::lround(width));
    const auto mean = [&](double x, double y) {  // a 15 px square around (x, y) mm
        const int px = int((x - left) * width / wide), py = int((y - top) * width / wide);
        long r = 0, b = 0;
        for (int dy = -7; dy <= 7; ++dy)
            for (int dx = -7; dx <= 7; ++dx) r += qRed(drawn.pixel(px + dx, py + dy)), b += qBlue(drawn.pixel(px + dx, py + dy));
        return std::pair(r / 225, b / 225);
    };
    for (double y : {60, 360, 660}) {  // clear of the cut sizes in the middle
        const auto [cutRed, cutBlue] = mean(950, y);
        EXPECT_GT(cutRed - cutBlue, 80) << y;  // the strip up to 1000, hatched orange
        const auto [wholeRed, wholeBlue] = mean(450, y);
        EXPECT_TRUE(wholeRed > 220 && wholeBlue >= wholeRed) << y;
    }

    const Outcome bare = Vexel({"plan", In("tiled.v2d"), "--region", "1", "-o", In("wall.svg")});
    EXPECT_EQ(bare.exit, 1);
    EXPECT_NE(bare.err.find("区域“墙”没有铺贴产品"), std::string::npos) << bare.err;
    EXPECT_EQ(Vexel({"plan", In("tiled.v2d"), "--region", "天花", "-o", In("wall.svg")}).exit, 1);
    EXPECT_EQ(Vexel({"plan", In("broken.v2d"), "--region", "0", "-o", In("wall.svg")}).exit, 1);
    EXPECT_EQ(Vexel({"plan", In("tiled.v2d"), "--region", "0"}).exit, 2);
    EXPECT_FALSE(fs::exists(In("wall.svg")));
}
