// The download core against a server of the test's own: whole, chunked,
// short, empty, endless, lying and refused bodies, wrong kinds, names from addresses,
// stopping, and the worker's events on the user-interface thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <fstream>

#include "online/body_check.h"
#include "online/download_name.h"
#include "online/http_download.h"
#include "online/http_get_thread.h"
#include "tests/online/test_server.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;
using test::TestServer;

std::string JpegLike(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7919) >> 3);
    body.replace(0, 3, "\xFF\xD8\xFF");
    return body;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = server_.server;
        s.Get("/whole.jpg", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(body_, "image/jpeg");
        });
        s.Get("/chunked.jpg", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("image/jpeg", [this](size_t offset, httplib::DataSink& sink) {
                const size_t n = std::min<size_t>(4000, body_.size() - offset);
                sink.write(body_.data() + offset, n);
                if (offset + n == body_.size()) sink.done();
                return true;
            });
        });
        // Announces 1000 bytes, sends 500 and hangs up.
        s.Get("/short.jpg", [this](const httplib::Request&, httplib::Response& res) {
            ++hits_;
            res.set_content_provider(1000, "image/jpeg", [this](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset > 0) return false;
                sink.write(body_.data(), 500);
                return true;
            });
        });
        // Claims 1000 bytes and sends them all; the endless one sends for ever.
        const auto all = [this](size_t, httplib::DataSink& sink) { return sink.write(body_.data(), body_.size()); };
        s.Get("/liar.jpg", [all](auto&, auto& res) {
            res.set_content_provider(1000, "image/jpeg", [all](size_t at, size_t, auto& sink) { return all(at, sink); });
        });
        s.Get("/endless.jpg", [all](auto&, auto& res) { res.set_content_provider("image/jpeg", all); });
        s.Get("/loop.jpg", [this](auto&, auto& res) { ++hits_, res.set_redirect("/loop.jpg"); });
        s.Get("/bad-chunks.jpg", [](auto&, auto& res) {
            res.set_header("Transfer-Encoding", "chunked"), res.set_content("zz\r\n", "image/jpeg");
        });
        s.Get("/empty.txt", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
        s.Get("/missing.jpg", [this](const httplib::Request&, httplib::Response& res) {
            ++hits_;
            res.status = 404;
            res.set_content("<html>not here</html>", "text/html");
        });
        s.Get("/error-page.jpg", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html><body>Server busy</body></html>", "text/html");
        });
        // 10 MB at a trickle: long enough to be stopped half-way.
        s.Get("/slow.jpg", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(10 << 20, "image/jpeg", [this](size_t, size_t, httplib::DataSink& sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                sink.write(body_.data(), 1024);
                return true;
            });
        });
        s.Get("/silent.jpg", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2500));
            res.set_content("late", "text/plain");
        });
        server_.Start();
    }

    const std::string body_ = JpegLike(300'000);
    std::atomic<int> hits_{0};
    TestServer server_;
    ScratchFolder folder_{"vexel-download-test"};
};

TEST_F(Download, WholeAndChunkedBodiesArriveByteExactWithProgressOfKnownTotals) {
    for (const char* path : {"/whole.jpg", "/chunked.jpg"}) {
        const fs::path target = folder_ / "got.jpg";
        int64_t announced = kUnknownTotal, lastReceived = 0, lastTotal = 0;
        DownloadEvents events;
        events.size = [&](int64_t total) { announced = total; };
        events.progress = [&](int64_t received, int64_t total) { lastReceived = received, lastTotal = total; };
        ASSERT_TRUE(DownloadToFile(server_.Url(path), target, {}, events)) << path;
        EXPECT_EQ(ReadFile(target), body_) << path;
        EXPECT_EQ(lastReceived, 300'000);
        const int64_t expectedTotal = std::string(path) == "/whole.jpg" ? 300'000 : kUnknownTotal;
        EXPECT_EQ(announced, expectedTotal) << path;
        EXPECT_EQ(lastTotal, expectedTotal) << path;
        fs::remove(target);
        EXPECT_TRUE(fs::is_empty(folder_.path())) << path;
    }
}

TEST_F(Download, FailuresLeaveNoFileAndRetryOnlyWhatMayPass) {
    struct Case {
        const char* path;
        int expectedHits;  // -1: not counted
        const char* message;
    };
    const Case cases[] = {
        {"/short.jpg", 5, nullptr},         // short of its Content-Length: five attempts
        {"/missing.jpg", 5, nullptr},       // not 200: five attempts
        {"/error-page.jpg", -1, kMsgWrongBody},  // an HTML page is no JPEG: kept nowhere
    };
    for (const Case& c : cases) {
        hits_ = 0;
        const fs::path target = folder_ / "product.jpg";
        DownloadOptions options;
        options.attempts = 5;
        const Status result = DownloadToFile(server_.Url(c.path), target, options);
        EXPECT_FALSE(result) << c.path;
        if (c.expectedHits >= 0) {
            EXPECT_EQ(hits_, c.expectedHits) << c.path;
        }
        if (c.message != nullptr) {
            EXPECT_EQ(result.error(), c.message);
        }
        EXPECT_TRUE(fs::is_empty(folder_.path())) << c.path;
    }
    // The blocking download words every failure the same way.
    EXPECT_EQ(DownloadFile(server_.Url("/missing.jpg"), folder_ / "p.jpg").error(), kMsgDownloadFileFailed);
    // Nobody listening: one attempt, no file.
    DownloadOptions options;
    options.attempts = 5;
    EXPECT_FALSE(DownloadToFile("http://127.0.0.1:9/a.jpg", folder_ / "a.jpg", options));
    EXPECT_FALSE(fs::exists(folder_ / "a.jpg"));
}

TEST_F(Download, EndlessLoopingBrokenAndLyingAnswersAreNamedAndLeaveNothing) {
    DownloadOptions options;
    options.attempts = 5;
    options.maxBytes = 1 << 20;
    const fs::path target = folder_ / "x.jpg";  // the endless body ends at the limit, the loop after five redirects
    EXPECT_EQ(DownloadToFile(server_.Url("/endless.jpg"), target, options).error(), TooLargeMessage(1 << 20));
    EXPECT_EQ(DownloadToFile(server_.Url("/loop.jpg"), target, options).error(),
              "传输失败：Maximum (5) redirects followed（curl 错误 47），已收到 0 字节");
    EXPECT_EQ(hits_, 6);  // one attempt
    const std::string broken = DownloadToFile(server_.Url("/bad-chunks.jpg"), target, options).error();
    EXPECT_TRUE(broken.starts_with("传输失败：") && broken.find("curl 错误 56") != std::string::npos) << broken;
    EXPECT_TRUE(fs::is_empty(folder_.path()));
    // A body longer than announced ends where it was announced to.
    ASSERT_TRUE(DownloadToFile(server_.Url("/liar.jpg"), target, options));
    EXPECT_EQ(ReadFile(target), body_.substr(0, 1000));
}

TEST_F(Download, PlantedLinksAreReplacedNotWrittenThrough) {
    std::ofstream(folder_ / "secret") << "keep";
    fs::create_symlink(folder_ / "secret", folder_ / "got.jpg.part");
    fs::create_symlink(folder_ / "secret", folder_ / "got.jpg");
    ASSERT_TRUE(DownloadToFile(server_.Url("/whole.jpg"), folder_ / "got.jpg", {}));
    EXPECT_EQ(ReadFile(folder_ / "secret"), "keep");
    EXPECT_EQ(ReadFile(folder_ / "got.jpg"), body_);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), {}), 3);  // with the planted link
}

TEST_F(Download, EmptyBodyWithLengthZeroIsComplete) {
    std::vector<int64_t> totals;
    DownloadEvents events;
    events.size = [&](int64_t total) { totals.push_back(total); };
    ASSERT_TRUE(DownloadToFile(server_.Url("/empty.txt"), folder_ / "empty.txt", {}, events));
    EXPECT_TRUE(fs::exists(folder_ / "empty.txt"));
    EXPECT_EQ(fs::file_size(folder_ / "empty.txt"), 0u);
    EXPECT_EQ(totals, std::vector<int64_t>{0});
}

TEST_F(Download, SilentServerTimesOutAndSecondDownloadOfOneFileIsRefused) {
    DownloadOptions options;
    options.lowSpeedSeconds = 1;
    EXPECT_FALSE(DownloadToFile(server_.Url("/silent.jpg"), folder_ / "s.jpg", options));

    THttpGetThread slow(QString::fromStdString(server_.Url("/slow.jpg")),
                        QString::fromStdU16String((folder_ / "busy.jpg").u16string()));
    std::atomic<bool> started{false};
    QObject::connect(&slow, &THttpGetThread::OnProgress, [&] { started = true; });
    slow.Start();
    while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(DownloadToFile(server_.Url("/whole.jpg"), folder_ / "busy.jpg", {}).error(), kMsgAlreadyDownloading);
}

TEST(DownloadProgress, OnlyAKnownPositiveTotalMovesTheBar) {
    EXPECT_EQ(ProgressPercent(10, 0), std::nullopt);
    EXPECT_EQ(ProgressPercent(10, kUnknownTotal), std::nullopt);
    EXPECT_EQ(ProgressPercent(0, 1000), 0);
    EXPECT_EQ(ProgressPercent(999, 1000), 99);
    // 30 MB x 100 passes 32 bits.
    EXPECT_EQ(ProgressPercent(30'000'000, 40'000'000), 75);
    EXPECT_EQ(ProgressPercent(5'000'000'000, 5'000'000'000), 100);
}

TEST(DownloadName, LastDecodedSegmentWithoutQueryOrNothingHostile) {
    const std::pair<const char*, const char*> good[] = {
        {"http://h/a/b/WP-1001.jpg", "WP-1001.jpg"},
        {"http://h/files/c2d/%E6%B2%99%E5%8F%91.c2d?v=3#x", "沙发.c2d"},
        {"http://h:8080/t/room%201.v2d", "room 1.v2d"},
        {"temple/x.v2d", "x.v2d"},
    };
    for (const auto& [url, name] : good) EXPECT_EQ(*LocalNameFromUrl(url), name) << url;
    for (const char* url : {"http://h/", "http://h", "http://h/a/..", "http://h/a/.", "http://h/%2e%2e",
                            "http://h/a%2F..%2Fetc", "http://h/a%5C..", "http://h/a\\..", "http://h/x%00.jpg",
                            "http://h/bad%G1.jpg", "http://h/cut%4", "http://h/?name=a.jpg"})
        EXPECT_FALSE(LocalNameFromUrl(url)) << url;
    EXPECT_EQ(*LocalPathIn("/w/temple/web", "http://h/t/a.v2d"), fs::path("/w/temple/web/a.v2d"));
}

TEST(DownloadBody, NameDecidesTheKindChecked) {
    const std::pair<const char*, std::string> bodies[] = {
        {"a.jpg", "\xFF\xD8\xFF\xE0rest"}, {"a.png", "\x89PNG\r\n\x1A\nrest"}, {"a.v2d", "d2v.rest"},
        {"a.c2d", "d2c.rest"}, {"a.txt", "<html>"},
    };
    for (const auto& [name, bytes] : bodies) {
        EXPECT_TRUE(CheckDownloadedHead(bytes, name)) << name;
        EXPECT_EQ(CheckDownloadedHead("<h", name).ok(), std::string(name) == "a.txt") << name;
    }
}

class Worker : public Download {
protected:
    int argc_ = 1;
    char name_[8] = "tests";
    char* argv_[1] = {name_};
    QCoreApplication app_{argc_, argv_};
};

TEST_F(Worker, EventsArriveOnTheOwnersThreadInOrder) {
    THttpGetThread worker(QString::fromStdString(server_.Url("/whole.jpg")),
                          QString::fromStdU16String((folder_ / "t.jpg").u16string()));
    QStringList log;
    bool onOwnerThread = true, complete = false, finished = false;
    QObject receiver;
    QObject::connect(&worker, &THttpGetThread::OnLog, &receiver, [&](const QString& text) {
        onOwnerThread &= QThread::currentThread() == app_.thread();
        log << text;
    });
    QObject::connect(&worker, &THttpGetThread::OnComplete, &receiver, [&] { complete = true; });
    QObject::connect(&worker, &THttpGetThread::finished, &receiver, [&] { finished = true; });
    worker.Start();
    while (!finished) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_TRUE(complete);
    EXPECT_TRUE(onOwnerThread);
    EXPECT_EQ(log, QStringList({"ok：InterOpen", "ok：InternetConnect", "ok：HttpQueryInfo", "ok:CreateFile",
                                "StartGet：InternetReadFile", "End：InternetReadFile", "Closing:InternetConnect",
                                "Closed:InternetConnect"}));
    EXPECT_EQ(ReadFile(folder_ / "t.jpg"), body_);
}

TEST_F(Worker, DestroyingTheOwnerMidTransferStopsAndLeavesNoFile) {
    bool failed = false;
    {
        QObject receiver;
        THttpGetThread worker(QString::fromStdString(server_.Url("/slow.jpg")),
                              QString::fromStdU16String((folder_ / "slow.jpg").u16string()));
        std::atomic<int64_t> received{0};
        QObject::connect(&worker, &THttpGetThread::OnProgress, [&](qint64 r, qint64) { received = r; });
        QObject::connect(&worker, &THttpGetThread::OnError, &receiver, [&] { failed = true; });
        worker.Start();
        while (received < 20'000) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }  // stops and joins here
    QCoreApplication::processEvents();
    EXPECT_FALSE(failed);  // the queued report went with its receiver
    EXPECT_TRUE(fs::is_empty(folder_.path()));
}

}  // namespace
}  // namespace v2d
