// The catalogue service over a generated catalogue: its pages and
// descriptors, file downloads with lengths and ranges, paths that would
// leave its folder, clients that hold on, and the static export.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QGuiApplication>

#include <poll.h>
#include <sys/socket.h>

#include <fstream>
#include <map>
#include <thread>

#include "demo/web_catalogue.h"
#include "library/product_descriptor.h"
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

using namespace std::chrono_literals;

// A raw connection, so that paths reach the service exactly as written.
struct Raw {
    explicit Raw(int port) : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in to{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof(to)), 0);
    }
    ~Raw() { ::close(fd); }
    void Send(const std::string& text) { ::send(fd, text.data(), text.size(), MSG_NOSIGNAL); }
    // What arrives until the service closes, or "(open)" when it keeps quiet and open.
    std::string Reply(std::chrono::milliseconds wait = 3000ms) {
        std::string got;
        char buffer[4096];
        for (pollfd entry{fd, POLLIN, 0}; ::poll(&entry, 1, int(wait.count())) > 0;) {
            const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
            if (n <= 0) return got;
            got.append(buffer, size_t(n));
        }
        return got + "(open)";
    }
    int fd;
};

class Service : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);  // the demo draws with fonts
        root_ = new test::ScratchFolder("vexel-web-root");
        ASSERT_TRUE(demo::WriteWebCatalogue(root_->path()));
        std::ofstream(root_->path() / "outside.txt") << "outside secret";
        fs::create_symlink(root_->path() / "outside.txt", root_->path() / "files" / "link.txt");
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
    WebService service_{ServiceLimits{.request = 500ms, .idle = 500ms, .write = 1000ms, .perAddress = 4}};
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
    const ProductDescriptor material = ProductDescriptor::Parse(Unescaped(body));
    EXPECT_EQ(material.name, "云白抛光砖");
    EXPECT_EQ(material.specs, "800*800");
    EXPECT_EQ(material.reflection, "45");
    EXPECT_EQ(material.picUrl, service_.address() + "/files/jpg/WS-8101.jpg");
    EXPECT_EQ(ProductDescriptor::Parse(Unescaped(BodyOf(client_->Get("/webbase/productt.asp/WM-6101.htm")->body))).picUrl,
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
    const std::string size = std::to_string(whole.size()), last = std::to_string(whole.size() - 1);
    std::string many = "bytes=0-0";
    for (int i = 1; i < 200; ++i) many += "," + std::to_string(i * 10) + "-" + std::to_string(i * 10 + 4);
    const struct {
        std::string range;
        int status;
        std::string contentRange, body;
    } cases[] = {
        {"bytes=4-103", 206, "bytes 4-103/" + size, whole.substr(4, 100)},
        {"bytes=-100", 206, "bytes " + std::to_string(whole.size() - 100) + "-" + last + "/" + size, whole.substr(whole.size() - 100)},
        {"bytes=0-99999999", 206, "bytes 0-" + last + "/" + size, whole},
        {"bytes=999999999-", 416, "bytes */" + size, ""},
        {"bytes=" + size + "-", 416, "bytes */" + size, ""},
        {"bytes=99999999999999999999999-", 416, "bytes */" + size, ""},
        {many, 200, "", whole},  // several ranges: the whole file
        {"bytes=5-2", 200, "", whole},
        {"items=0-5", 200, "", whole},
    };
    for (const auto& c : cases) {
        const auto got = client_->Get("/files/c2d/WM-6101.c2d", {{"Range", c.range}});
        ASSERT_TRUE(got) << c.range;
        EXPECT_EQ(got->status, c.status) << c.range;
        EXPECT_EQ(got->get_header_value("Content-Range"), c.contentRange) << c.range;
        EXPECT_TRUE(got->body == c.body) << c.range << " gave " << got->body.size() << " bytes";
    }
    // Whatever the spelling, nothing outside files/ comes out, links included.
    for (const std::string& bad : std::vector<std::string>{"/files/../catalogue.txt", "/files/%2e%2e/catalogue.txt", "/files/nothing.jpg", "/files/", "/files/link.txt",
          "/files/jpg/..%2F..%2Foutside.txt", "/files/%2e%2e%2foutside.txt", "/files//etc/passwd",
          "/files/%2Fetc%2Fpasswd", "/files//" + (root_->path() / "outside.txt").string(),
          "/files/jpg//../../outside.txt", "/files/%2F%2Fetc//passwd"}) {
        Raw raw(service_.port());
        raw.Send("GET " + bad + " HTTP/1.1\r\nConnection: close\r\n\r\n");
        const std::string reply = raw.Reply();
        EXPECT_EQ(reply.rfind("HTTP/1.1 404", 0), 0u) << bad << ": " << reply;
        EXPECT_EQ(reply.find("secret"), std::string::npos) << bad;
        EXPECT_EQ(reply.find("root:"), std::string::npos) << bad;
    }
    EXPECT_EQ(client_->Get("/files/c2d//WM-6101.c2d")->body, whole);

    // What the program's download makes of it.
    test::ScratchFolder local("vexel-web-local");
    ASSERT_TRUE(DownloadFile(service_.address() + "/files/c2d/WM-6101.c2d", local / "WM-6101.c2d"));
    EXPECT_EQ(ReadFile(local / "WM-6101.c2d"), whole);
}

// Published customer pages: their folder gives index.html, each file its
// type, and no spelling of a path leaves share/.
TEST_F(Service, SharedPagesComeFromTheShareFolderOnly) {
    const fs::path page = root_->path() / kShareFolder / "王 家";
    fs::create_directories(page);
    for (const char* name : {"index.html", "qr.svg", "index.pdf", "after.jpg"}) std::ofstream(page / name) << name;
    fs::create_symlink(root_->path() / "outside.txt", page / "link.html");
    const std::string at = "/share/%E7%8E%8B%20%E5%AE%B6/";
    for (const auto& [file, type] : std::map<std::string, std::string>{
             {"", "text/html; charset=utf-8"}, {"qr.svg", "image/svg+xml"}, {"index.pdf", "application/pdf"},
             {"after.jpg", "image/jpeg"}}) {
        const auto got = client_->Get(at + file);
        ASSERT_TRUE(got) << file;
        EXPECT_TRUE(got->status == 200 && got->get_header_value("Content-Type") == type &&
                    got->body == (file.empty() ? "index.html" : file)) << file;
    }
    Raw raw(service_.port());  // the client's library decodes the header: read it as sent
    raw.Send("GET " + at.substr(0, at.size() - 1) + " HTTP/1.1\r\nConnection: close\r\n\r\n");
    const std::string moved = raw.Reply();
    EXPECT_TRUE(moved.rfind("HTTP/1.1 301", 0) == 0 && moved.find("Location: " + at + "\r\n") != std::string::npos) << moved;
    EXPECT_EQ(client_->Get(at + "index.pdf", {{"Range", "bytes=0-4"}})->body, "index");
    for (const std::string bad : {"/share/../catalogue.txt", "/share/%2e%2e/outside.txt", "/share/x/../../outside.txt",
                                  "/share/%E7%8E%8B%20%E5%AE%B6/link.html", "/share//etc/passwd", "/share/nothing/"}) {
        Raw raw(service_.port());
        raw.Send("GET " + bad + " HTTP/1.1\r\nConnection: close\r\n\r\n");
        const std::string reply = raw.Reply();
        EXPECT_EQ(reply.rfind("HTTP/1.1 404", 0), 0u) << bad << ": " << reply;
        EXPECT_EQ(reply.find("secret"), std::string::npos) << bad;
    }
}

TEST_F(Service, ClientsThatHoldOnAreCutOffWhileOthersAreServed) {
    // A request dribbling in byte by byte is dropped once its time is up.
    Raw slow(service_.port());
    const auto start = std::chrono::steady_clock::now();
    slow.Send("GET / HTTP/1.1\r\n");
    std::thread dribble([&] {
        for (int i = 0; i < 16; ++i, std::this_thread::sleep_for(50ms)) slow.Send("X");
    });
    EXPECT_EQ(client_->Get("/")->status, 200);
    EXPECT_EQ(slow.Reply().find("(open)"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1200ms);
    dribble.join();

    // One address holds four connections at most; a fifth is turned away
    // until one of them closes.
    std::vector<std::unique_ptr<Raw>> held;
    for (int i = 0; i < 4; ++i) held.push_back(std::make_unique<Raw>(service_.port()));
    for (auto& raw : held) raw->Send("GET / HTTP/1.1\r\n");
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Raw(service_.port()).Reply().rfind("HTTP/1.1 503", 0), 0u);
    held.pop_back();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(client_->Get("/")->status, 200);
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
