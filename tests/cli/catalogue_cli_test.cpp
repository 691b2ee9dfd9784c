// material, import-products, make-catalogue and render's relief options from a terminal:
// the commands reach their operations and report as a user reads them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImageReader>

#include <sstream>

#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using v2d::test::Outcome;
using v2d::test::ReadText;

class CatalogueCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vexel-catalogue-cli-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "in");
        ASSERT_EQ(Vexel("make-workspace '" + Path("ws") + "'").exit, 0);
        fs::copy_file(root_ / "ws/product/jpg/BY-1402.jpg", root_ / "in/布.jpg");
        fs::copy_file(root_ / "ws/product/jpg/MB-1201.jpg", root_ / "in/wood.jpg");
        std::ofstream(root_ / "in/readme.txt") << "x";
        std::ofstream(root_ / "list.csv") << "file,name,number,specs,price,per_box,unit\n"
                                             "布.jpg,\"格子, 蓝\",GZ-1,600*600,9.5,12,平方米\nwood.jpg,木,../x,,,2,桶\n";
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }
    static std::string Path(const char* name) { return (root_ / name).string(); }
    static Outcome Vexel(const std::string& args, const char* program = VEXEL_CLI) {
        return v2d::test::RunShell("'" + std::string(program) + "' " + args, root_);
    }
    static inline fs::path root_;
};

TEST_F(CatalogueCli, ImportReportsEachFileAndAddsWhatItCan) {
    const Outcome r = Vexel("--workspace '" + Path("ws") + "' import-products '" + Path("in") + "' --category 104 --csv '" +
                        Path("list.csv") + "'");
    EXPECT_EQ(r.exit, 1) << r.err;  // something was skipped
    EXPECT_NE(r.out.find("added 布.jpg as GZ-1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("skipped readme.txt: not a .jpg or .jpeg file"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("skipped wood.jpg: 第 3 行：计价单位“桶”不是 piece、m2、box、roll（片、平方米、箱、卷）之一。"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1 个产品添加完毕！"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(root_ / "ws/product/xjpg/GZ-1.jpg"));
    const std::string products = Vexel("--workspace '" + Path("ws") + "' products").out;
    EXPECT_TRUE(products.find("\"PartsName\":\"格子, 蓝\"") != std::string::npos &&
                products.find("\"PartsPerBox\":12,\"PartsUnit\":\"m2\"}") != std::string::npos) << products;
    EXPECT_EQ(Vexel("--workspace '" + Path("ws") + "' import-products '" + Path("in") + "'").exit, 2);
}

// products --search: JSON lines of the matches only, with price, unit and
// pieces per box; % and _ are what they are; the filters narrow the search.
TEST_F(CatalogueCli, ProductsSearchPrintsTheMatchesWithTheirPrices) {
    const std::string ws = " --workspace '" + Path("search-ws") + "' ";
    ASSERT_EQ(Vexel("make-workspace '" + Path("search-ws") + "'").exit, 0);
    std::ofstream(root_ / "search.csv") << "file,name,number,specs,price,per_box,unit\n"
                                           "布.jpg,搜索%样_甲,SS-1,300*600,12.5,8,箱\nwood.jpg,搜索样品乙,SS-2,600*600,99,,平方米\n";
    Vexel(ws + "import-products '" + Path("in") + "' --category 104 --csv '" + Path("search.csv") + "'");
    auto lines = [&](const std::string& options) {
        const Outcome r = Vexel(ws + "products " + options);
        EXPECT_EQ(r.exit, 0) << options << r.err;
        std::vector<std::string> found;
        std::istringstream out(r.out);
        for (std::string line; std::getline(out, line);) {
            EXPECT_TRUE(line.front() == '{' && line.back() == '}') << line;
            found.push_back(line.substr(line.find("\"PartsNumber\"")));
        }
        return found;
    };
    const std::string one = "\"PartsNumber\":\"SS-1\",\"PartsSpecs\":\"300*600\",";
    const std::string two = "\"PartsNumber\":\"SS-2\",\"PartsSpecs\":\"600*600\",";
    const std::vector<std::string> both = lines("--search 搜索");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].substr(0, one.size()) + both[1].substr(0, two.size()), one + two);  // newest first (files by name)
    EXPECT_NE(both[0].find("\"PartsSubType\":2,\"PartsPrice\":12.50,\"PartsPerBox\":8,\"PartsUnit\":\"box\"}"),
              std::string::npos) << both[0];
    EXPECT_NE(both[1].find("\"PartsPrice\":99.00,\"PartsPerBox\":null,\"PartsUnit\":\"m2\"}"), std::string::npos) << both[1];
    EXPECT_EQ(lines("--search '%样_' --kind material"), std::vector<std::string>{both[0]});
    EXPECT_EQ(lines("--search 搜索 --size 600x600"), std::vector<std::string>{both[1]});
    EXPECT_EQ(lines("--search ss- --min-price 12.5 --max-price 50"), std::vector<std::string>{both[0]});
    EXPECT_TRUE(lines("--search 搜索 --kind model").empty());
    EXPECT_EQ(lines("--main-category 1 --search 搜索"), both);  // 墙砖 is below 瓷砖
    EXPECT_TRUE(lines("--main-category 2 --search 搜索").empty());
    // Every plain line carries the price fields too.
    for (const std::string& line : lines(""))
        EXPECT_NE(line.find("\"PartsPrice\":"), std::string::npos) << line;
    EXPECT_EQ(Vexel(ws + "products --size 600").exit, 1);
    EXPECT_EQ(Vexel(ws + "products --search").exit, 2);
}

TEST_F(CatalogueCli, MaterialAndReliefWriteTheirPictures) {
    const std::string pattern = "'" + Path("ws/product/jpg/BY-1402.jpg") + "'";
    EXPECT_EQ(Vexel("material " + pattern + " --at 5,5 --tolerance 300 --colour 0x0000FF -o '" + Path("red.jpg") + "'").exit, 0);
    EXPECT_TRUE(fs::file_size(root_ / "red.jpg") > 0);
    EXPECT_EQ(Vexel("material " + pattern + " --at 5,5 --texture '" + Path("in/wood.jpg") + "' --scale 50 --overlay -o '" +
                    Path("wood.jpg") + "'").exit, 0);
    const Outcome outside = Vexel("material " + pattern + " --at 400,0 --colour 1 -o '" + Path("x.jpg") + "'");
    EXPECT_EQ(outside.exit, 1);
    EXPECT_NE(outside.err.find("outside the 400x400 picture"), std::string::npos) << outside.err;
    EXPECT_EQ(Vexel("material " + pattern + " --at 1,1 -o x.jpg").exit, 2);

    const std::string scheme = "render '" + Path("ws/start/start.v2d") + "' -o '" + Path("floor.jpg") + "' --product '" +
                               Path("ws/product/jpg/MB-1201.jpg") + "' --regions 地面";
    EXPECT_EQ(Vexel(scheme + " --relief sunken --relief-strength 220 --offset 50,-25").exit, 0);
    EXPECT_TRUE(fs::exists(root_ / "floor.jpg"));
    EXPECT_EQ(Vexel(scheme + " --relief deep").exit, 2);
    EXPECT_EQ(Vexel(scheme + " --offset 101,0").exit, 2);
}

TEST_F(CatalogueCli, MakeCataloguePublishesTheWorkspaceWholeOrNothing) {
    const std::string ws = " --workspace '" + Path("ws") + "'";
    Vexel(ws + " import-products '" + Path("in") + "' --category 104 --csv '" + Path("list.csv") + "'");
    const Outcome made = Vexel("make-catalogue '" + Path("shop") + "'" + ws, VEXEL_WEB);
    ASSERT_EQ(made.exit, 0) << made.err;
    // The product the shop just added is served with its own picture.
    std::istringstream index(ReadText(root_ / "shop/catalogue.txt"));
    std::string line, added;
    int templates = 0;
    while (std::getline(index, line)) {
        if (line.find("&PartsNumber=GZ-1&") != std::string::npos) added = line;
        templates += line.rfind("Kind=template&", 0) == 0;
    }
    EXPECT_EQ(templates, 13);
    ASSERT_NE(added.find("Kind=material&Category=墙砖&PartsName=格子, 蓝"), std::string::npos) << added;
    const size_t file = added.find("&File=") + 6;
    const fs::path picture = root_ / "shop/files" / added.substr(file, added.find('&', file) - file);
    EXPECT_EQ(QImageReader(QString::fromStdString(picture.string())).size(),
              QImageReader(QString::fromStdString(Path("in/布.jpg"))).size());

    // Bad input: a clear message, and the published folder stays as it was (a new one is never made).
    const std::string before = ReadText(root_ / "shop/catalogue.txt");
    fs::create_directories(root_ / "locked/DB");
    std::ofstream(root_ / "locked/DB/PRODUCT.cdb") << "not the shop's database, or another key";
    for (const fs::directory_entry& map : fs::directory_iterator(root_ / "ws/product/maps"))
        if (map.path().stem() == "GZ-1") std::ofstream(map.path()) << "broken";
    const std::pair<std::string, std::string> bad[] = {{Path("missing"), "no workspace folder"},
                                                       {Path("locked"), "数据库打不开"},
                                                       {Path("ws"), "cannot read the picture of product GZ-1"}};
    for (const auto& [workspace, message] : bad) {
        for (const char* dir : {"shop", "fresh"}) {
            const Outcome r = Vexel(std::string("make-catalogue '") + Path(dir) + "' --workspace '" + workspace + "'", VEXEL_WEB);
            EXPECT_EQ(r.exit, 1) << workspace;
            EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        }
        EXPECT_EQ(ReadText(root_ / "shop/catalogue.txt"), before);
        EXPECT_FALSE(fs::exists(root_ / "fresh"));
        for (const fs::directory_entry& left : fs::directory_iterator(root_))
            EXPECT_EQ(left.path().filename().string().find(".shop"), std::string::npos) << left.path();
    }
}

// A picture cut in half is refused by its name wherever it would be added, and nothing is filed; a photo under
// 64 × 64 holds no room. A report that cannot be written leaves no folder behind.
TEST_F(CatalogueCli, DamagedPicturesAreRefusedAndAFailedReportLeavesNoFolder) {
    const std::string whole = ReadText(root_ / "ws/product/jpg/MB-1201.jpg"), ws = "--workspace '" + Path("ws") + "' ";
    fs::create_directories(root_ / "cut");
    std::ofstream(root_ / "cut/半张.jpg", std::ios::binary) << whole.substr(0, whole.size() / 2);
    QImage(32, 32, QImage::Format_RGB32).save(QString::fromStdString(Path("tiny.jpg")));
    const auto listing = [&] {
        using Files = fs::recursive_directory_iterator;
        return Vexel(ws + "products").out + std::to_string(std::distance(Files(root_ / "ws/product"), Files()));
    };
    const std::string before = listing();
    const Outcome imported = Vexel(ws + "import-products '" + Path("cut") + "' --category 104");
    EXPECT_EQ(imported.exit, 1);
    EXPECT_NE(imported.out.find("图片文件已损坏：半张.jpg"), std::string::npos) << imported.out;
    EXPECT_EQ(listing(), before);
    for (const std::string& message : {"图片文件已损坏：" + Path("cut/半张.jpg"), "照片太小，至少需要 64 × 64 像素：" + Path("tiny.jpg")}) {
        const std::string photo = message.substr(message.find(root_.string()));
        const Outcome r = Vexel("new-scheme '" + photo + "' -o '" + Path("new.v2d") + "' --region '地面:0,0;31,0;31,31:9x9'");
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(root_ / "new.v2d"));
    }
    EXPECT_NE(Vexel("material '" + Path("in/wood.jpg") + "' --at 1,1 --texture '" + Path("cut/半张.jpg") + "' -o x.jpg").err
                  .find("图片文件已损坏：半张.jpg"), std::string::npos);
    // The folder can be made, the picture's path inside it is too long for the system.
    fs::path deep = root_ / "r";
    while (deep.string().size() + 201 < 4090) deep /= std::string(200, 'd');
    deep /= std::string(4089 - deep.string().size(), 'e');
    EXPECT_EQ(Vexel(ws + "report '" + Path("ws/start/start.v2d") + "' -o '" + deep.string() + "'").exit, 1);
    EXPECT_FALSE(fs::exists(root_ / "r"));
}

}  // namespace
