// vexel2d-cli download against a server of the test's own: the file on
// success, exit 1 and no file on failure, 2 for bad usage; the workspace's
// size limit stops an endless body.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "tests/online/test_server.h"

namespace {

namespace fs = std::filesystem;

int RunDownload(const std::string& arguments, const std::string& errors = "/dev/null") {
    const int status = std::system(("'" VEXEL_CLI "' " + arguments + " 2>'" + errors + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DownloadCommand, WritesTheFileOrNothing) {
    v2d::test::TestServer server;
    int hits = 0;
    server.server.Get("/a.v2d", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string("d2v.") + std::string(5000, 'x'), "application/octet-stream");
    });
    server.server.Get("/gone.v2d", [&](const httplib::Request&, httplib::Response& res) { ++hits, res.status = 500; });
    server.Start();
    v2d::test::ScratchFolder folder("vexel-cli-download");
    const std::string target = (folder / "a.v2d").string();
    EXPECT_EQ(RunDownload("download '" + server.Url("/a.v2d") + "' '" + target + "'"), 0);
    EXPECT_EQ(fs::file_size(target), 5004u);
    const std::string gone = "download '" + server.Url("/gone.v2d") + "' '" + (folder / "b.v2d").string() + "'";
    EXPECT_EQ(RunDownload(gone + " --attempts 2"), 1);
    EXPECT_EQ(hits, 2);
    EXPECT_FALSE(fs::exists(folder / "b.v2d"));
    EXPECT_EQ(RunDownload("download only-one-argument"), 2);
    EXPECT_EQ(RunDownload("download '" + server.Url("/a.v2d") + "' '" + target + "' --attempts 0"), 1);
}

TEST(DownloadCommand, AnEndlessBodyStopsAtTheWorkspacesLimit) {
    v2d::test::TestServer server;
    server.server.Get("/endless.jpg", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("image/jpeg", [](size_t, httplib::DataSink& sink) {
            return sink.write(std::string(65536, '\xFF').data(), 65536);
        });
    });
    server.Start();
    v2d::test::ScratchFolder ws("vexel-cli-download-limit");
    std::ofstream(ws / "vexel2d.ini") << "MaxDownloadMB=1\n";
    fs::create_directory(ws / "in");
    const std::string errors = (ws / "errors.txt").string();
    EXPECT_EQ(RunDownload("--workspace '" + ws.path().string() + "' download '" + server.Url("/endless.jpg") + "' '" +
                              (ws / "in/x.jpg").string() + "'", errors), 1);
    EXPECT_TRUE(fs::is_empty(ws / "in"));
    std::ifstream in(errors);
    const std::string message((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(message.find("文件太大：超过下载上限 1 MB（vexel2d.ini 中的 MaxDownloadMB）"), std::string::npos) << message;
}

}  // namespace
