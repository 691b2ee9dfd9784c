// Which workspace a program works in, and how a missing one is made.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "base/workspace_location.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

TEST(WorkspaceLocation, ChoiceArgumentAndCreation) {
    const fs::path root = fs::temp_directory_path() / ("vexel-ws-location-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* folder : {"portable/DB", "shop/DB", "bin", "elsewhere"}) fs::create_directories(root / folder);
    const fs::path home = root / "home/.local/share";
    const struct { const char *given, *current, *executable; WorkspaceKind kind; fs::path folder; } cases[] = {
        {"given", "shop", "portable", WorkspaceKind::Given, root / "given"},
        {"", "shop", "portable", WorkspaceKind::Current, root / "shop"},
        {"", "elsewhere", "portable", WorkspaceKind::Portable, root / "portable"},
        {"", "", "portable", WorkspaceKind::Portable, root / "portable"},
        {"", "elsewhere", "bin", WorkspaceKind::User, home / "vexel2d"},
    };
    for (const auto& c : cases) {
        auto at = [&](const char* name) { return *name ? root / name : fs::path(); };
        const WorkspaceChoice choice = ChooseWorkspace({at(c.given), at(c.current), at(c.executable), home});
        EXPECT_EQ(choice.kind, c.kind) << c.given << "|" << c.current << "|" << c.executable;
        EXPECT_EQ(choice.folder, c.folder);
    }
    EXPECT_EQ(DataHome("/data", "/home/u"), fs::path("/data"));
    EXPECT_EQ(DataHome("relative", "/home/u"), fs::path("/home/u/.local/share"));  // only an absolute one counts
    EXPECT_EQ(DataHome(nullptr, nullptr), fs::path());

    const auto taken = TakeWorkspaceArgument({"a.v2d", "--workspace", "/w", "-x"});
    EXPECT_EQ(taken->folder, fs::path("/w"));
    EXPECT_EQ(taken->rest, (std::vector<std::string>{"a.v2d", "-x"}));
    EXPECT_EQ(TakeWorkspaceArgument({"--workspace"}).error(), "--workspace 后面缺少文件夹");

    // Made whole once, left alone afterwards; a failure leaves nothing.
    int runs = 0;
    auto write = [&](const fs::path& folder) {
        fs::create_directories(folder / "start");
        std::ofstream(folder / "start/start.v2d") << ++runs;
        return runs < 2 ? Status::Ok() : Status(Error{"disk full"});
    };
    const fs::path made = root / "data/deeper/vexel2d";
    ASSERT_TRUE(CreateWorkspaceIfMissing(made, write));
    ASSERT_TRUE(CreateWorkspaceIfMissing(made, write));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(fs::is_regular_file(made / "start/start.v2d"));
    const fs::path failed = root / "data/deeper/failed";
    EXPECT_EQ(CreateWorkspaceIfMissing(failed, write).error(), "无法创建工作文件夹：" + failed.string() + "\ndisk full");
    EXPECT_EQ(std::distance(fs::directory_iterator(made.parent_path()), fs::directory_iterator()), 1);
    fs::remove_all(root);
}

}  // namespace
}  // namespace v2d
