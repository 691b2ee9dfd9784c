// The report as a customer's browser builds it: headless Chromium loads it
// inside a checking page that reads the report's DOM.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/workspace.h"
#include "base/html_text.h"
#include "output/product_report.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;

// Reports what the report's page holds once it and its pictures are loaded.
constexpr const char* kCheckingPage = R"(<!DOCTYPE html><html><body><pre id="out"></pre>
<iframe id="f" src="report.htm"></iframe><script>
document.getElementById('f').onload = function () {
  var d = this.contentDocument, w = this.contentWindow;
  var images = Array.from(d.images);
  var result = {
    images: images.length,
    broken: images.filter(function (i) { return !(i.complete && i.naturalWidth > 0); }).map(function (i) { return i.src; }),
    rows: Array.from(d.querySelectorAll('tbody tr')).map(function (r) {
      return Array.from(r.cells).map(function (c) { return c.textContent; }); }),
    ran: w.ran === 1,
    html: d.documentElement.outerHTML,
    charset: d.characterSet
  };
  document.getElementById('out').textContent = encodeURIComponent(JSON.stringify(result));
};
</script></body></html>)";

std::string RunChromium(const fs::path& page, const fs::path& profile) {
    const std::string command = std::string("timeout 90 '") + CHROMIUM_PATH +
                                "' --headless --no-sandbox --disable-gpu --allow-file-access-from-files"
                                " --user-data-dir='" + profile.string() + "' --dump-dom '" + FileUrl(page) +
                                "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST(ReportInBrowser, RowsTextsAndPicturesAsTheCustomerSeesThem) {
    if (!fs::exists(CHROMIUM_PATH)) GTEST_SKIP() << "chromium is not installed";
    test::TempWorkspace ws;
    fs::create_directories(ws / "report");
    ASSERT_TRUE(demo::WriteDemoReportTemplate(ws.path()).ok());
    Scene scene;
    struct Product {
        const char* region;
        const char* name;
        const char* number;
    } products[] = {{"地面", "仿古砖 600", "FG 01#1"},
                    {"左墙", "<script>window.ran=1</script>壁纸", "壁纸-3"},
                    {"无图", "缺图", "NO-PIC"},
                    {"台面 \"A&B\"", "石材 <i>x</i>", "ST'4"}};
    for (const Product& p : products) {
        auto record = std::make_unique<V2dPolygon>();
        record->name = p.region;
        record->partsInfo = std::string("PartsName=") + p.name + "&PartsNumber=" + p.number +
                            "&SalesName=东鹏&PartsSpecs=800*800";
        scene.Append(std::move(record));
        if (std::string(p.number) == "NO-PIC") continue;
        QImage thumb(100, 100, QImage::Format_RGB32);
        thumb.fill(Qt::darkGreen);
        ASSERT_TRUE(WriteFileAtomically(ws / ("product/xjpg/" + std::string(p.number) + ".jpg"), *EncodeJpeg(thumb, 90)));
    }
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    ASSERT_TRUE(WriteProductReport(scene, picture, {ws.path(), {}, {.address = "路 <1> 号", .telephone = "021"}, ""}).ok());
    const std::string page(kCheckingPage);
    ASSERT_TRUE(WriteFileAtomically(ws / "report/check.htm",
                                    std::span(reinterpret_cast<const uint8_t*>(page.data()), page.size())));

    const std::string dom = RunChromium(ws / "report/check.htm", ws / "profile");
    const size_t start = dom.find("<pre id=\"out\">");
    const size_t end = dom.find("</pre>");
    ASSERT_TRUE(start != std::string::npos && end != std::string::npos) << dom;
    const QByteArray json = QUrl::fromPercentEncoding(QByteArray::fromStdString(dom.substr(start + 14, end - start - 14))).toUtf8();
    const QJsonObject result = QJsonDocument::fromJson(json).object();
    ASSERT_FALSE(result.isEmpty()) << dom;

    EXPECT_EQ(result["charset"].toString(), "UTF-8");
    EXPECT_EQ(result["images"].toInt(), 4);  // the rendering and three thumbnails
    EXPECT_TRUE(result["broken"].toArray().isEmpty()) << QJsonDocument(result["broken"].toArray()).toJson().toStdString();
    EXPECT_FALSE(result["ran"].toBool());
    const QJsonArray rows = result["rows"].toArray();
    ASSERT_EQ(rows.size(), 3);
    const QStringList expected[] = {
        {"1", "地面", "仿古砖 600", "东鹏", "FG 01#1", "\u00a0800*800", ""},
        {"2", "左墙", "<script>window.ran=1</script>壁纸", "东鹏", "壁纸-3", "\u00a0800*800", ""},
        {"3", "台面 \"A&B\"", "石材 <i>x</i>", "东鹏", "ST'4", "\u00a0800*800", ""},
    };
    for (int i = 0; i < 3; ++i) {
        QStringList cells;
        for (const QJsonValue& c : rows[i].toArray()) cells << c.toString();
        EXPECT_EQ(cells, expected[i]) << cells.join("|").toStdString();
    }
    const QString html = result["html"].toString();
    for (const char* placeholder :
         {"$SaleName$", "$UserName$", "$ReportDate$", "$PrjImage3D$", "$ReportData$", "$SaleAdd$", "$SaleTel$"})
        EXPECT_FALSE(html.contains(placeholder)) << placeholder;
    EXPECT_TRUE(html.contains(QStringLiteral("路 &lt;1&gt; 号")));
}

}  // namespace
}  // namespace v2d
