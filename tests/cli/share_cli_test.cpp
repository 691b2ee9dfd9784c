// vexel2d-cli share: the customer page's folder from a demo workspace's
// schemes, its refusals, and the folder replaced whole or not at all.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "tests/cli/cli_runner.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
const fs::path kDir = fs::temp_directory_path() / ("vexel-share-cli-" + std::to_string(::getpid()));

test::Outcome Vexel(const std::vector<std::string>& args) {
    std::string command = "'" VEXEL_CLI "' --workspace '" + (kDir / "ws").string() + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    return test::RunShell(command, kDir);
}
QJsonObject Json(const test::Outcome& run) { return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object(); }
bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
class ShareCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fs::create_directories(kDir);
        ASSERT_EQ(Vexel({"make-workspace", (kDir / "ws").string()}).exit, 0);  // SaleAdd, SaleTel
        std::ofstream(kDir / "ws" / "vexel2d.ini", std::ios::app) << "SaleName=家居体验馆 A&B\n";
        std::ofstream(kDir / "broken.v2d") << "d2v.not a scheme";
    }
    static void TearDownTestSuite() { fs::remove_all(kDir); }
};

TEST_F(ShareCli, ThePageShowsTheLaidProductsTheQuoteAndTheShop) {
    int bedroom = -1;
    for (const QJsonValue t : Json(Vexel({"templates", "--page-size", "50"}))["templates"].toArray())
        if (t["name"].toString() == QStringLiteral("美式乡村卧室")) bedroom = t["id"].toInt();
    const std::string scheme = (kDir / "ws" / "temple" / "local" / (std::to_string(bedroom) + ".v2d")).string();
    const QJsonObject quote = Json(Vexel({"quote", scheme})), floor = quote["regions"][0].toObject();
    const fs::path out = kDir / "page";
    const test::Outcome run = Vexel({"share", scheme, "-o", out.string(), "--url", "http://127.0.0.1:8080/share/bed//"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(Json(run)["address"].toString(), "http://127.0.0.1:8080/share/bed/index.html");
    EXPECT_EQ(Json(run)["products"].toInt(), 3);  // the floor, the walls' one paper, the rug
    const std::string page = test::ReadText(out / "index.html");
    QString total = QString::number(quote["total"].toDouble(), 'f', 2);
    for (int at = total.indexOf('.') - 3; at > 0; at -= 3) total.insert(at, ',');  // 9,754.00
    for (const std::string& text : {floor["name"].toString().toStdString(), floor["number"].toString().toStdString(),
                                    "¥" + total.toStdString(), std::string("13.70 平方米"), std::string("家居体验馆 A&amp;B"),
                                    std::string("021-6488 1234"), std::string("<svg"), std::string("铺贴图"),
                                    "整砖 " + std::to_string(floor["whole"].toInt()) + " 块"})
        EXPECT_TRUE(Has(page, text)) << text;
    // Everything the page loads or links is in its folder.
    const QRegularExpression address(R"((?:src|href)='([^']*)')");
    for (auto m = address.globalMatch(QString::fromStdString(page)); m.hasNext();) {
        const std::string target = m.next().captured(1).toStdString();
        EXPECT_TRUE(target.starts_with("tel:") || fs::is_regular_file(out / target)) << target;
    }
    EXPECT_FALSE(QString::fromStdString(page).contains(QRegularExpression(R"(url\((?!#))"))) << "no outside fonts or pictures";
    // The photo as it was and the scene as laid, full size; no screen copies of pictures this small.
    const QImage photo = DecodeJpeg(*ReadWholeFile(out / "photo.jpg")), rendering = DecodeJpeg(*ReadWholeFile(out / "rendering.jpg"));
    const QJsonObject background = Json(Vexel({"info", scheme}))["background"].toObject();
    ASSERT_TRUE(photo.size() == QSize(background["width"].toInt(), background["height"].toInt()) && rendering.size() == photo.size());
    const QPoint onFloor(photo.width() / 2, photo.height() * 9 / 10);
    EXPECT_GT(std::abs(qGray(photo.pixel(onFloor)) - qGray(rendering.pixel(onFloor))), 8);
    EXPECT_FALSE(fs::exists(out / "after.jpg") || fs::exists(out / "before.jpg"));
#ifndef VEXEL_SANITIZED_BUILD
    EXPECT_EQ(test::ReadText(out / "index.pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(Has(page, "href='index.pdf'"));
#endif
}

TEST_F(ShareCli, RefusalsKeepTheOldFolderAndASchemeWithNothingLaidSaysSo) {
    const fs::path out = kDir / "kept";
    std::ofstream((fs::create_directories(out), out / "marker")) << "old";
    const std::string start = (kDir / "ws" / "start" / "start.v2d").string();
    const std::tuple<std::vector<std::string>, int, const char*> refused[] = {
        {{start, "--url", "ftp://x"}, 1, "http://"}, {{start, "--url", "http://a b"}, 1, "http://"},
        {{start, "--url", "https://"}, 1, "http://"}, {{(kDir / "broken.v2d").string()}, 1, ""},
        {{(kDir / "missing.v2d").string()}, 1, ""}, {{start, "-o"}, 2, "usage"}};
    for (auto [args, exit, message] : refused) {
        args.insert(args.begin(), {"share", "-o", out.string()});
        const test::Outcome run = Vexel(args);
        EXPECT_TRUE(run.exit == exit && Has(run.err, message)) << args.back() << ": " << run.err;
        EXPECT_TRUE(fs::exists(out / "marker") && !fs::exists(out / "index.html")) << args.back();
    }
    const test::Outcome run = Vexel({"share", start, "-o", out.string(), "--no-pdf"});
    const std::string page = test::ReadText(out / "index.html");
    EXPECT_TRUE(run.exit == 0 && Has(run.err, "方案中尚未铺贴产品") && Has(page, "方案中尚未铺贴产品")) << run.err;
    EXPECT_FALSE(fs::exists(out / "marker") || fs::exists(out / "index.pdf") || fs::exists(out / "products"));
    EXPECT_FALSE(Has(page, "<svg"));  // no address, no QR code
    for (const fs::directory_entry& e : fs::directory_iterator(kDir)) EXPECT_NE(e.path().filename().string()[0], '.');
}

}  // namespace
}  // namespace v2d
