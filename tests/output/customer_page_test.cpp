// The customer page's parts that stand alone: the shop's details in
// vexel2d.ini, the page's address and its QR code.
#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "base/workspace_settings.h"
#include "output/customer_page.h"
#include "output/qr_code.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

std::string ReadText(const std::filesystem::path& p) {
    const Blob b = test::ReadBytes(p);
    return {b.begin(), b.end()};
}

TEST(ShopDetails, WrittenInOneGoBesideTheOtherLinesAndRefusedWithALineBreak) {
    test::TempWorkspace ws;
    EXPECT_EQ(ReadShopDetails(ws.path()).name, "");
    const std::string before = "# 门店\nWebHost=http://127.0.0.1:8080\nSaleTel=old\nnot a setting\n";
    ASSERT_TRUE(WriteFileAtomically(ws / kSettingsFileName, std::span(reinterpret_cast<const uint8_t*>(before.data()), before.size())));
    ASSERT_TRUE(WriteShopDetails(ws.path(), {"木语家居", "南京路 100 号", "021-5555 0001"}).ok());
    const ShopDetails read = ReadShopDetails(ws.path());
    EXPECT_TRUE(read.name == "木语家居" && read.address == "南京路 100 号" && read.telephone == "021-5555 0001");
    EXPECT_EQ(ReadText(ws / kSettingsFileName),
              "# 门店\nWebHost=http://127.0.0.1:8080\nSaleTel=021-5555 0001\nnot a setting\nSaleName=木语家居\nSaleAdd=南京路 100 号\n");
    EXPECT_FALSE(WriteShopDetails(ws.path(), {"a\nSaleTel=x", "", ""}).ok());
    EXPECT_EQ(ReadShopDetails(ws.path()).telephone, "021-5555 0001");
}

TEST(CustomerPageAddress, TakesHttpAddressesAndRefusesTheRest) {
    EXPECT_EQ(CustomerPageAddress("http://shop.example/share/wang").value(), "http://shop.example/share/wang/index.html");
    EXPECT_EQ(CustomerPageAddress("HTTPS://10.0.0.2:8080/s///").value(), "HTTPS://10.0.0.2:8080/s/index.html");
    for (const char* bad : {"ftp://x", "file:///tmp/a", "http://", "https:///a", "http://a b", "http://a\tb", "http://a?x=1",
                            "http://a/#top", "shop.example/share", ""})
        EXPECT_FALSE(CustomerPageAddress(bad).ok()) << bad;
    EXPECT_FALSE(CustomerPageAddress("http://h/" + std::string(kMaxQrTextBytes, 'a')).ok());
}

// Version 2 (25 modules) holds 26 bytes at level M; its three finder
// patterns stand in the corners, each a dark ring round a 3 x 3 core.
TEST(QrCode, TheSmallestVersionWithItsFindersAndAnSvgCountingModules) {
    const QrCode code = EncodeQrCode("http://127.0.0.1/index.html").value();
    ASSERT_EQ(code.size, 29);  // 27 bytes: version 3
    EXPECT_EQ(EncodeQrCode("http://127.0.0.1/a.html").value().size, 25);
    for (int i = 0; i < 3 * 49; ++i) {  // finder i / 49 at (0, 0), (22, 0), (0, 22); its module i % 49
        const int x = i % 7, y = i % 49 / 7, x0 = i / 49 == 1 ? 22 : 0, y0 = i / 49 == 2 ? 22 : 0;
        const bool ring = x == 0 || y == 0 || x == 6 || y == 6, core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
        EXPECT_EQ(code.at(x0 + x, y0 + y), ring || core) << i;
    }
    // The quiet zone around 29 modules; the top left finder's first row the first run drawn.
    EXPECT_EQ(QrCodeSvg(code, "<本页>").substr(0, 214),
              "<svg xmlns='http://www.w3.org/2000/svg' class='qr' viewBox='0 0 37 37' shape-rendering='crispEdges' "
              "role='img' aria-label='&lt;本页&gt;'><rect width='37' height='37' fill='#fff'/><path fill='#000' d='M4 4h7v1h-7z");
    for (const std::string& bad : {std::string(), std::string("a\0b", 3), std::string(kMaxQrTextBytes + 1, 'a')})
        EXPECT_FALSE(EncodeQrCode(bad).ok());
}

// A photo wider than the screen copies: those at 1600 across beside the
// full-size files.
TEST(CustomerPage, ScreenCopiesOfLargePictures) {
    test::TempWorkspace ws;
    Scene scene;
    QImage rendering(2000, 1000, QImage::Format_RGB32);
    rendering.fill(Qt::darkRed);
    scene.background = rendering.copy();
    const CustomerPageRequest request{ws.path(), ws / "page", "", "2026-1-2", {}};
    const Result<CustomerPageFiles> files = WriteCustomerPage(scene, rendering, request);
    ASSERT_TRUE(files.ok()) << files.error();
    EXPECT_EQ(DecodeJpeg(test::ReadBytes(ws / "page/before.jpg")).size(), QSize(1600, 800));
    EXPECT_NEAR(qRed(DecodeJpeg(test::ReadBytes(ws / "page/after.jpg")).pixel(800, 400)), 128, 2);
    const std::string html = ReadText(files->page);
    EXPECT_NE(html.find("src='after.jpg' width='2000' height='1000'"), std::string::npos);
    EXPECT_FALSE(WriteCustomerPage(scene, rendering.copy(0, 0, 10, 10), request).ok());
}

}  // namespace
}  // namespace v2d
