// The catalogue service over a generated catalogue: its pages and
// descriptors, file downloads with lengths and ranges, refused paths, and
// the static export.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QGuiApplication>

#include <fstream>
#include <thread>

#include "demo/web_catalogue.h"
#include "library/pub_functions.h"
#include "online/http_download.h"
#include "tests/online/test_server.h"
#include "webservice/web_service.h"

namespace v2d::web {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Unescaped(std::string text) {
    for (size_t at; (at = text.find("&amp;")) != std::string::npos;) text.replace(at, 5, "&");
    return text;
}

std::string BodyOf(const std::string& html) {
    const size_t open = html.find("<body>") + 6;
    return html.substr(open, html.find("</body>") - open);
}

class Service : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);  // the demo draws with fonts
        root_ = new test::ScratchFolder("vexel-web-root");
        ASSERT_TRUE(demo::WriteWebCatalogue(root_->path()));
    }
    static void TearDownTestSuite() { delete root_; }
    void SetUp() override {
        ASSERT_TRUE(service_.Bind(root_->path(), "127.0.0.1", 0));
        thread_ = std::thread([this] { service_.Listen(); });
        client_.emplace("127.0.0.1", service_.port());
        for (int i = 0; i < 500 && !client_->Get("/"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    void TearDown() override {
        service_.Stop();
        thread_.join();
    }
    static inline test::ScratchFolder* root_ = nullptr;
    WebService service_;
    std::thread thread_;
    std::optional<httplib::Client> client_;
};

TEST_F(Service, CataloguesLeadToProductPagesWhoseBodyIsTheDescriptor) {
    for (const char* page : {"/webbase/webpartst.asp", "/webbase/webmodel.asp"}) {
        const auto res = client_->Get(page);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        EXPECT_NE(res->body.find(kProductPagePrefix), std::string::npos) << page;
        EXPECT_NE(res->body.find("<img src=\"/files/xjpg/"), std::string::npos) << page;
    }
    // The banner posts an empty form; the query of an address is ignored.
    EXPECT_EQ(client_->Post("/webbase/ad.htm", "", "application/x-www-form-urlencoded")->status, 200);
    EXPECT_EQ(client_->Get("/webbase/webpartst.asp?x=1")->status, 200);

    const auto product = client_->Get("/webbase/productt.asp/WS-8101.htm");
    ASSERT_TRUE(product);
    const std::string body = BodyOf(product->body);
    EXPECT_NE(body.find("&amp;PartsNumber=WS-8101"), std::string::npos) << body;
    const std::string descriptor = Unescaped(body);
    EXPECT_EQ(GetParam(descriptor, "PartsName"), "云白抛光砖");
    EXPECT_EQ(GetParam(descriptor, "PartsSpecs"), "800*800");
    EXPECT_EQ(GetParam(descriptor, "FanSheXiShu"), "45");
    EXPECT_EQ(GetParam(descriptor, "PicUrl"), service_.address() + "/files/jpg/WS-8101.jpg");
    EXPECT_EQ(GetParam(Unescaped(BodyOf(client_->Get("/webbase/productt.asp/WM-6101.htm")->body)), "PicUrl"),
              service_.address() + "/files/c2d/WM-6101.c2d");
}

TEST_F(Service, TemplateListPagesNameTheChosenSchemeThroughGetCxData) {
    const std::string catalogue = client_->Get("/vexel/Skim/Goods.aspx?id=2")->body;
    EXPECT_NE(catalogue.find("/vexel/Skim/GoodsList.aspx/web-modern-living.htm"), std::string::npos);
    EXPECT_NE(client_->Get("/vexel/Skim/GoodsList.aspx/style-1.htm")->body.find("function getCxData(){return \"\";}"),
              std::string::npos);
    EXPECT_NE(client_->Get("/vexel/Skim/GoodsList.aspx/web-modern-living.htm")
                  ->body.find("return \"" + service_.address() + "/files/temple/web-modern-living.v2d\""),
              std::string::npos);
}

TEST_F(Service, FilesComeWithLengthAndRangesAndStayInTheirFolder) {
    const std::string whole = ReadFile(root_->path() / "files" / "c2d" / "WM-6101.c2d");
    const auto res = client_->Get("/files/c2d/WM-6101.c2d");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body, whole);
    EXPECT_EQ(res->get_header_value("Content-Length"), std::to_string(whole.size()));
    const auto part = client_->Get("/files/c2d/WM-6101.c2d", {{"Range", "bytes=4-103"}});
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, whole.substr(4, 100));
    for (const char* bad : {"/files/../catalogue.txt", "/files/%2e%2e/catalogue.txt", "/files/nothing.jpg", "/files/"})
        EXPECT_EQ(client_->Get(bad)->status, 404) << bad;

    // What the program's download makes of it.
    test::ScratchFolder local("vexel-web-local");
    ASSERT_TRUE(DownloadFile(service_.address() + "/files/c2d/WM-6101.c2d", local / "WM-6101.c2d"));
    EXPECT_EQ(ReadFile(local / "WM-6101.c2d"), whole);
}

TEST_F(Service, ExportWritesTheSamePagesAsFiles) {
    test::ScratchFolder site("vexel-web-site");
    ASSERT_TRUE(ExportSite(root_->path(), site.path(), "http://shop.example"));
    EXPECT_TRUE(fs::exists(site / "webbase/webpartst.asp"));
    EXPECT_TRUE(fs::exists(site / "files/temple/web-modern-living.v2d"));
    EXPECT_NE(ReadFile(site / "webbase/productt.asp/WS-8101.htm").find("PicUrl=http://shop.example/files/jpg/WS-8101.jpg"),
              std::string::npos);
}

}  // namespace
}  // namespace v2d::web
