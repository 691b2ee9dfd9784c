// vexel2d-cli compare on the demo room: each cell is what render makes of
// that product, scaled to the cell; the grid's layout, its captions and its
// refusals.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "tests/cli/cli_runner.h"
#include "tests/picture_difference.h"

namespace {

namespace fs = std::filesystem;
using v2d::test::MeanDifference;
using v2d::test::Outcome;

class CompareCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vexel-compare-test-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        ASSERT_EQ(Vexel({"make-workspace", Ws()}).exit, 0);
        QImage blue(64, 64, QImage::Format_RGB32);  // a product the catalogue does not know
        blue.fill(QColor(40, 70, 200));
        ASSERT_TRUE(v2d::WriteFileAtomically(root_ / "蓝砖.png", *v2d::EncodePng(blue)));
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static Outcome Vexel(const std::vector<std::string>& args) {
        std::string command = "'" VEXEL_CLI "'";
        for (const std::string& a : args) command += " '" + a + "'";
        return v2d::test::RunShell(command, root_);
    }
    static std::string Ws() { return (root_ / "ws").string(); }
    static std::string Map(const char* number) { return Ws() + "/product/maps/" + number + ".h2d"; }
    static std::string In(const char* name) { return (root_ / name).string(); }
    static QImage Read(const std::string& file) { return v2d::DecodePicture(*v2d::ReadWholeFile(file)); }
    static QJsonObject Json(const std::string& out) { return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object(); }
    // Compare with the laying options every test shares.
    static Outcome Compare(std::vector<std::string> products, const std::string& output, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--workspace", Ws(), "compare", Ws() + "/start/start.v2d", "--regions", "地面",
                                         "-o", output, "--cell", "400x300"};
        for (const std::string& p : products) args.insert(args.end(), {"--product", p});
        args.insert(args.end(), more.begin(), more.end());
        return Vexel(args);
    }
    static inline fs::path root_;
};

// A 1600 × 1200 room in 400 × 300 cells: each cell against render of its product, shrunk by four.
TEST_F(CompareCli, EachCellIsTheRenderingOfItsProductAtTheCellsSize) {
    const std::vector<std::string> products = {Map("PG-8001"), Map("FG-6001"), In("蓝砖.png")};
    const std::vector<std::string> laying = {"--size", "600x600", "--pattern", "brick", "--joint", "4"};
    const Outcome made = Compare(products, In("grid.jpg"), laying);
    ASSERT_EQ(made.exit, 0) << made.err;
    const QImage grid = Read(In("grid.jpg"));
    const QJsonArray cells = Json(made.out)["cells"].toArray();
    ASSERT_EQ(cells.size(), 3);
    std::vector<QImage> shown;
    double worst = 0;  // of a cell against its rendering
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> render = {"render", Ws() + "/start/start.v2d", "-o", In("one.jpg"), "--regions", "地面",
                                           "--product", products[size_t(i)]};
        render.insert(render.end(), laying.begin(), laying.end());
        ASSERT_EQ(Vexel(render).exit, 0);
        const QImage full = Read(In("one.jpg")).scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QJsonObject at = cells[i].toObject();
        shown.push_back(grid.copy(at["x"].toInt(), at["y"].toInt(), at["width"].toInt(), at["height"].toInt()));
        worst = std::max(worst, MeanDifference(shown.back(), full.convertToFormat(QImage::Format_RGB32)));
    }
    EXPECT_LT(worst, 2.5);
    // The floor is a third of the room: the other products differ there alone.
    for (int i = 0; i < 3; ++i) EXPECT_GT(MeanDifference(shown[size_t(i)], shown[size_t(i + 1) % 3]), 4 * worst) << i;
}

// Two products: one row; three: two rows with the fourth cell empty; captions dark on a light band, from the
// catalogue where it knows the map's number (the per-m² amount as the quote of the laid floor gives it).
TEST_F(CompareCli, TheGridsLayoutAndItsCaptions) {
    const Outcome two = Compare({Map("PG-8001"), In("蓝砖.png")}, In("two.jpg"));
    ASSERT_EQ(two.exit, 0) << two.err;
    const QImage pair = Read(In("two.jpg"));
    const QJsonArray cells = Json(two.out)["cells"].toArray();
    const int band = pair.height() - 300;
    EXPECT_EQ(pair.width(), 802);  // two cells and a 2-pixel line
    EXPECT_TRUE(band >= 30 && band <= 60) << band;
    EXPECT_TRUE(cells[1]["x"].toInt() == 402 && cells[1]["y"].toInt() == 0);
    int dark = 0, light = 0;  // letters on a light band
    for (int y = 301; y < pair.height(); ++y)
        for (int x = 0; x < 400; ++x) {
            const int g = qGray(pair.pixel(x, y));
            dark += g < 90, light += g > 235;
        }
    EXPECT_TRUE(dark > 300 && light > 400 * band / 2) << dark << " " << light;

    ASSERT_EQ(Vexel({"render", Ws() + "/start/start.v2d", "-o", In("r.jpg"), "--regions", "地面", "--product",
                     Map("PG-8001"), "--save", In("laid.v2d")}).exit, 0);
    const QJsonObject floor = Json(Vexel({"quote", In("laid.v2d")}).out)["regions"].toArray().at(0).toObject();
    const double ordered = std::ceil(floor["area_m2"].toDouble() * (1 + floor["waste"].toDouble() / 100) * 100 - 1e-6) / 100;
    EXPECT_EQ(cells[0]["caption"].toString(),
              QStringLiteral("象牙白抛光砖  PG-8001\n¥168.00/平方米  ·  %1 m²").arg(ordered, 0, 'f', 2));
    // Both laid 600 × 600 straight: the pieces the quote orders.
    EXPECT_EQ(cells[1]["caption"].toString(), QStringLiteral("蓝砖\n价格未定  ·  %1 片").arg(floor["order"].toInt()));

    const Outcome three = Compare({Map("PG-8001"), Map("FG-6001"), In("蓝砖.png")}, In("three.jpg"));
    ASSERT_EQ(three.exit, 0) << three.err;
    const QImage grid = Read(In("three.jpg"));
    EXPECT_EQ(grid.size(), QSize(802, 2 * (300 + band) + 2));
    const QRgb empty = grid.pixel(402 + 200, 302 + band + 150);
    for (const QPoint p : {QPoint(410, 312 + band), QPoint(790, 590 + band), QPoint(600, 320 + 2 * band)})
        EXPECT_LT(std::abs(qGray(grid.pixel(p)) - qGray(empty)), 4);
}

// Refusals exit with the reason and write nothing; an old grid stays as it was.
TEST_F(CompareCli, RefusalsWriteNothing) {
    ASSERT_TRUE(v2d::WriteFileAtomically(root_ / "old.jpg", std::vector<uint8_t>{'o', 'l', 'd'}));
    const std::string p = Map("PG-8001");
    const Outcome one = Compare({p}, In("old.jpg"));
    EXPECT_TRUE(one.exit == 2 && one.err.find("2 to 4 --product files, not 1") != std::string::npos) << one.err;
    EXPECT_EQ(Compare({p, p, p, p, p}, In("old.jpg")).exit, 2);
    const Outcome region = Vexel({"compare", Ws() + "/start/start.v2d", "--regions", "阳台", "--product", p, "--product",
                                  p, "-o", In("old.jpg")});
    EXPECT_TRUE(region.exit == 1 && region.err.find("no region \"阳台\"") != std::string::npos) << region.err;
    std::ofstream(root_ / "broken.h2d") << "not a map";
    const Outcome broken = Compare({p, In("broken.h2d")}, In("old.jpg"));
    EXPECT_TRUE(broken.exit == 1 && broken.err.find("文件不合法") != std::string::npos) << broken.err;
    EXPECT_EQ(Compare({p, In("missing.png")}, In("old.jpg")).exit, 1);
    EXPECT_EQ(v2d::test::ReadText(root_ / "old.jpg"), "old");
}

}  // namespace
