#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "base/html_text.h"
#include "layout/region_quote.h"
#include "output/product_report.h"
#include "output/rendered_picture.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;
using test::TempWorkspace;

std::string Text(const fs::path& p) {
    const Blob b = test::ReadBytes(p);
    return std::string(b.begin(), b.end());
}

void AddRegion(Scene& scene, const std::string& name, const std::string& descriptor) {
    auto record = std::make_unique<V2dPolygon>();
    record->name = name;
    record->partsInfo = descriptor;
    scene.Append(std::move(record));
}

void Thumbnail(const TempWorkspace& ws, const std::string& number) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(WriteFileAtomically(ws / ("product/xjpg/" + number + ".jpg"), *EncodeJpeg(image, 90)));
}

TEST(HtmlText, EscapesMarkupAndEncodesFileNames) {
    EXPECT_EQ(EscapeHtml("<script>alert('x&y')</script> \"$A$\" 瓷砖"),
              "&lt;script&gt;alert(&#39;x&amp;y&#39;)&lt;/script&gt; &quot;&#36;A&#36;&quot; 瓷砖");
    EXPECT_EQ(FileUrl("/tmp/a b/#1&2'效.jpg"), "file:///tmp/a%20b/%231%262%27%E6%95%88.jpg");
    EXPECT_EQ(FileUrl("/tmp/x/../y.jpg"), "file:///tmp/y.jpg");
}

TEST(ReportPlaceholders, FirstLineOnlyEveryOccurrenceNoSecondSearch) {
    struct Case {
        std::vector<std::string> lines;
        std::string replacement;
        std::vector<std::string> expected;
        bool found;
    } cases[] = {
        {{"a $X$ b $X$", "$X$"}, "1", {"a 1 b 1", "$X$"}, true},
        {{"none", "x$X$$X$"}, "[$X$]", {"none", "x[$X$][$X$]"}, true},
        {{"$X", "X$"}, "1", {"$X", "X$"}, false},
        {{}, "1", {}, false},
    };
    for (Case& c : cases) {
        EXPECT_EQ(SubstitutePlaceholder(c.lines, "$X$", c.replacement), c.found);
        EXPECT_EQ(c.lines, c.expected);
    }
}

TEST(ReportRows, OnlyRegionsWithThumbnailsAreListedAndNumbered) {
    TempWorkspace ws;
    Thumbnail(ws, "T-1");
    Thumbnail(ws, "T #2");
    Scene scene;
    AddRegion(scene, "墙", "");
    AddRegion(scene, "地面", "PartsName=仿古砖&PartsNumber=T-1&SalesName=东鹏&PartsSpecs=600*600");
    AddRegion(scene, "无图", "PartsName=缺图&PartsNumber=NONE&SalesName=x&PartsSpecs=1*1");
    AddRegion(scene, "<b>台面</b>", "PartsName=石<材>&PartsNumber=T #2&SalesName=A&B&PartsSpecs=$SaleTel$");
    AddRegion(scene, "过道", "PartsName=仿古砖&PartsNumber=T-1&SalesName=东鹏&PartsSpecs=600*600");
    const std::vector<ReportRow> rows = ListReportRows(scene, ws.path());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].regionName, "地面");
    EXPECT_EQ(rows[1].PartsNumber, "T #2");
    EXPECT_EQ(rows[2].regionName, "过道");
    const std::string html = ReportRowsHtml(rows);
    const std::string url = FileUrl(ws / "product/xjpg/T-1.jpg");
    EXPECT_EQ(html.substr(0, html.find("<tr>", 4)),
              "<tr><td class='tbox01'>1</td><td class='tbox01'>地面</td><td class='tbox01'>仿古砖</td>"
              "<td class='tbox01'>东鹏</td><td class='tbox01'>T-1</td><td class='tbox01'>&nbsp;600*600</td>"
              "<td class='tbox01'><img src='" + url + "' width='100'></td>");
    EXPECT_NE(html.find("<td class='tbox01'>2</td><td class='tbox01'>&lt;b&gt;台面&lt;/b&gt;</td>"
                        "<td class='tbox01'>石&lt;材&gt;</td><td class='tbox01'>A</td>"),
              std::string::npos);  // "&B" starts a new descriptor item
    EXPECT_NE(html.find("T%20%232.jpg"), std::string::npos);
    EXPECT_NE(html.find("<td class='tbox01'>3</td><td class='tbox01'>过道</td>"), std::string::npos);
    EXPECT_EQ(ReportRowsHtml({}), "");
}

class Report : public ::testing::Test {
protected:
    void SetUp() override {
        picture_.fill(Qt::darkYellow);
        fs::create_directories(ws_ / "report");
        WriteTemplate("<title>$UserName$ $ReportDate$</title>\n$SaleName$|$SaleName$\r\n<img>$PrjImage3D$\n"
                      "<table>$ReportData$</table>\n$SaleAdd$ / $SaleTel$\n$SaleTel$\n");
    }
    void WriteTemplate(const std::string& text) {
        ASSERT_TRUE(WriteFileAtomically(ws_ / "report/index.htm",
                                        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())));
    }
    ReportRequest Request() const { return {ws_.path(), {}, {.address = "路 1 号 <A&B>", .telephone = "021-1"}, "2026-12-7"}; }

    TempWorkspace ws_;
    QImage picture_{320, 240, QImage::Format_RGB32};
    Scene scene_;
};

TEST_F(Report, FillsTheTemplateAndWritesThePictureBesideIt) {
    Thumbnail(ws_, "T-1");
    AddRegion(scene_, "地面", "PartsName=砖&PartsNumber=T-1&SalesName=东鹏&PartsSpecs=600*600");
    Result<ReportFiles> files = WriteProductReport(scene_, picture_, Request());
    ASSERT_TRUE(files.ok()) << files.error();
    EXPECT_EQ(files->report, ws_ / "report/report.htm");
    EXPECT_EQ(DecodeJpeg(test::ReadBytes(ws_ / "report/效果图.jpg")).size(), picture_.size());
    const std::string report = Text(files->report);
    EXPECT_EQ(report.substr(0, report.find("<table>")),
              "<title>VexelV2.0版 2026-12-7</title>\n|\n<img><img src='效果图.jpg' width='640' >\n");
    EXPECT_NE(report.find("<table><tr><td class='tbox01'>1</td><td class='tbox01'>地面</td>"), std::string::npos);
    EXPECT_NE(report.find("</td></table>\n路 1 号 &lt;A&amp;B&gt; / 021-1\n$SaleTel$\n"), std::string::npos);
}

TEST_F(Report, EmptyProductListAndMissingTemplate) {
    ASSERT_TRUE(WriteProductReport(scene_, picture_, Request()).ok());
    EXPECT_NE(Text(ws_ / "report/report.htm").find("<table></table>"), std::string::npos);

    TempWorkspace bare;
    ReportRequest request = Request();
    request.programFolder = bare.path();
    Result<ReportFiles> missing = WriteProductReport(scene_, picture_, request);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("报表模板文件不存在"), std::string::npos);
    EXPECT_FALSE(fs::exists(bare / "report"));
}

// The dealer's texts share the workspace's settings file with other keys.
// Escaped texts, two decimals, thousands grouped, "—" for what is unknown and
// "价格未定" for an unknown price, which the total names as left out; the
// section takes the placeholder's place, or comes before </body>, or
// without a quote the placeholder's line goes.
TEST_F(Report, QuoteTableAndWhereItGoes) {
    const RegionQuote floor{.index = 0, .regionName = "地面 <A&B>", .name = "抛光砖", .number = "PG-8001",
                            .areaM2 = 10.8, .laid = 120, .whole = 100, .cut = 20, .wastePercent = 5, .order = 126, .boxes = 32,
                            .unit = PriceUnit::SquareMetre, .quantity = 11.34, .unitPrice = 650,
                            .amount = 7371};
    const RegionQuote wall{.index = 3, .regionName = "背景墙", .pattern = LayingPattern::HalfOffset, .areaM2 = 3.456,
                           .laid = 3, .wastePercent = 7.5, .order = 4, .strips = 7, .unit = PriceUnit::Roll,
                           .quantity = 4, .excluded = kQuotePriceUnknown};
    const ModelQuote sofa{.index = 5, .recordName = "沙发", .name = "真皮沙发", .number = "SF-002", .unitPrice = 9800,
                          .amount = 9800};
    const std::string html = QuoteTableHtml({{floor, wall}, {sofa}, 17171, 1});
    EXPECT_EQ(html.substr(html.find("<tbody>")),
              "<tbody>\n<tr><td class='no'>1</td><td class='text'>地面 &lt;A&amp;B&gt;</td><td class='text'>抛光砖<br><span "
              "class='code'>PG-8001</span></td><td class='num'>10.80</td><td class='num'>120 片</td><td class='num'>100 片</td><td class='num'>20 片</td><td class='num'>5%</td>"
              "<td class='num'>126 片</td><td class='num'>32</td><td class='num'>11.34 平方米</td><td class='num'>650.00/平方米"
              "</td><td class='num'>7,371.00</td></tr>\n<tr><td class='no'>2</td><td class='text'>背景墙</td><td class='text'>—"
              "</td><td class='num'>3.46</td><td class='num'>3 卷</td><td class='num'>—</td><td class='num'>—</td><td class='num'>7.5%</td><td class='num'>4 卷</td><td "
              "class='num'>—</td><td class='num'>4 卷</td><td class='num'>—</td><td class='num excluded'>价格未定</td></tr>\n"
              "<tr><td class='no'>3</td><td class='text'>沙发</td><td class='text'>真皮沙发<br><span class='code'>SF-002</span>"
              "</td><td class='num'>—</td><td class='num'>1 件</td><td class='num'>—</td><td class='num'>—</td><td class='num'>—</td>"
              "<td class='num'>1 件</td><td "
              "class='num'>—</td><td class='num'>1 件</td><td class='num'>9,800.00/件</td><td class='num'>9,800.00</td></tr>\n"
              "</tbody>\n<tfoot><tr><td class='text' colspan='3'>合计（另有 1 项未计价，不含在内）</td><td class='num'>14.26</td>"
              "<td colspan='8'></td><td class='num'>17,171.00</td></tr></tfoot>\n</table>");
    const SchemeQuote one{{floor}, {}, 1234567.891, 0};
    const std::string section = "<h2 class='quote'>报价单</h2>\n" + QuoteTableHtml(one);
    EXPECT_NE(section.find("合计</td><td class='num'>10.80</td><td colspan='8'></td><td class='num'>1,234,567.89</td>"),
              std::string::npos);
    for (const char* page : {"<p>\n $QuoteData$ \n</body>\n", "<p>\n</body>\n"}) {
        WriteTemplate(page);
        ASSERT_TRUE(WriteProductReport(scene_, picture_, Request()).ok());
        EXPECT_EQ(Text(ws_ / "report/report.htm"), "<p>\n</body>\n");  // no quote: the placeholder's line goes
        ASSERT_TRUE(WriteProductReport(scene_, picture_, Request(), one).ok());
        const bool placed = std::string_view(page).find(kQuotePlaceholder) != std::string_view::npos;
        EXPECT_EQ(Text(ws_ / "report/report.htm"), placed ? "<p>\n " + section + " \n</body>\n" : "<p>\n" + section + "\n</body>\n");
    }
}

// A tiled 1000 × 900 mm floor in 300 × 300 tiles: its plan follows the
// quote inline, nine whole tiles and three cut, the counts in the table.
TEST_F(Report, TiledRegionsGetTheirLayingPlanBelowTheQuote) {
    PolygonPtr floor = NewPolygon();
    floor->name = "地面";
    floor->points = {{0, 0}, {100, 0}, {100, 90}, {0, 90}};
    floor->indexList = {3};
    SetCornersFromBoundingBox(*floor);
    floor->realWidth = 1000, floor->realHeight = 900;
    floor->picture = picture_;
    floor->partsInfo = "PartsName=砖&PartsNumber=T-1&PartsSpecs=300*300&PartsPrice=5";
    scene_.Append(std::move(floor));
    WriteTemplate("$QuoteData$\n");
    ASSERT_TRUE(WriteProductReport(scene_, picture_, Request(), QuoteScheme(scene_)).ok());
    const std::string report = Text(ws_ / "report/report.htm");
    const size_t plan = report.find("<figure class='plan' style='margin:10px 0;break-inside:avoid'><h2 class='plan'>铺贴图</h2>\n<svg ");
    ASSERT_NE(plan, std::string::npos);
    EXPECT_LT(report.find("</table>"), plan);
    EXPECT_NE(report.find("<td class='num'>12 片</td><td class='num'>9 片</td><td class='num'>3 片</td>"), std::string::npos);
    const auto count = [&](const std::string& what) {
        int n = 0;
        for (size_t at = report.find(what); at != std::string::npos; at = report.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_TRUE(count("<svg ") == 1 && count("class=\"whole\"") == 9 && count("class=\"cut\"") == 3);
    EXPECT_EQ(count("<?xml"), 0);
}

TEST(RenderedPicture, ExtensionWriteAndFailedWriteKeepsTheOldFile) {
    EXPECT_EQ(WithPictureExtension("/a/room"), fs::path("/a/room.jpg"));
    EXPECT_EQ(WithPictureExtension("/a/room.jpeg"), fs::path("/a/room.jpeg"));
    EXPECT_EQ(WithPictureExtension("/a.b/room"), fs::path("/a.b/room.jpg"));
    TempWorkspace ws;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 50));
    const fs::path file = ws / "room.jpg";
    ASSERT_TRUE(SaveRenderedPicture(picture, file).ok());
    const QImage back = DecodeJpeg(test::ReadBytes(file));
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_NEAR(qRed(back.pixel(10, 10)), 200, 4);
    const Blob before = test::ReadBytes(file);
    EXPECT_FALSE(SaveRenderedPicture(QImage(), file).ok());
    EXPECT_FALSE(SaveRenderedPicture(picture, ws / "missing/folder/x.jpg").ok());
    EXPECT_EQ(test::ReadBytes(file), before);
}

}  // namespace
}  // namespace v2d
