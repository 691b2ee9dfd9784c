// vexel2d-cli download against a server of the test's own: the file on
// success, exit 1 and no file on failure, 2 for bad usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "tests/online/test_server.h"

namespace {

namespace fs = std::filesystem;
const std::string kBlock(65536, '\xFF');

int RunDownload(const std::string& arguments, const std::string& workspace = ".") {
    const int status =
        std::system(("'" VEXEL_CLI "' --workspace '" + workspace + "' download " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DownloadCommand, WritesTheFileOrNothing) {
    v2d::test::TestServer server;
    int hits = 0;
    server.server.Get("/a.v2d", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string("d2v.") + std::string(5000, 'x'), "application/octet-stream");
    });
    server.server.Get("/gone.v2d", [&](const httplib::Request&, httplib::Response& res) { ++hits, res.status = 500; });
    server.server.Get("/endless.jpg", [](auto&, auto& res) {  // stopped by the workspace's size limit
        res.set_content_provider("image/jpeg", [](size_t, auto& sink) { return sink.write(kBlock.data(), 65536); });
    });
    server.Start();
    v2d::test::ScratchFolder folder("vexel-cli-download");
    const std::string target = (folder / "a.v2d").string();
    EXPECT_EQ(RunDownload("'" + server.Url("/a.v2d") + "' '" + target + "'"), 0);
    EXPECT_EQ(fs::file_size(target), 5004u);
    EXPECT_EQ(RunDownload("'" + server.Url("/gone.v2d") + "' '" + (folder / "b.v2d").string() + "' --attempts 2"), 1);
    EXPECT_EQ(hits, 2);
    EXPECT_FALSE(fs::exists(folder / "b.v2d"));
    EXPECT_EQ(RunDownload("only-one-argument"), 2);
    std::ofstream(folder / "vexel2d.ini") << "MaxDownloadMB=1\n";
    EXPECT_EQ(RunDownload("'" + server.Url("/endless.jpg") + "' '" + (folder / "c.jpg").string() + "'", folder.path()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2);  // a.v2d and the settings
    EXPECT_EQ(RunDownload("'" + server.Url("/a.v2d") + "' '" + target + "' --attempts 0"), 1);
}

}  // namespace
