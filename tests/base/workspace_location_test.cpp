// Which workspace a program works in, and how a missing one is made.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "base/workspace_location.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

class WorkspaceLocation : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("vexel-ws-location-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        for (const char* folder : {"portable/DB", "shop/DB", "bin", "elsewhere"}) fs::create_directories(root_ / folder);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(WorkspaceLocation, GivenFolderThenCurrentWorkspaceThenPortableCopyThenUserDataFolder) {
    const fs::path home = root_ / "home/.local/share";
    struct Case {
        const char *given, *current, *executable;
        WorkspaceKind kind;
        fs::path folder;
    };
    const Case cases[] = {
        {"given", "shop", "portable", WorkspaceKind::Given, root_ / "given"},
        {"", "shop", "portable", WorkspaceKind::Current, root_ / "shop"},
        {"", "elsewhere", "portable", WorkspaceKind::Portable, root_ / "portable"},
        {"", "", "portable", WorkspaceKind::Portable, root_ / "portable"},
        {"", "elsewhere", "bin", WorkspaceKind::User, home / "vexel2d"},
        {"", "", "bin", WorkspaceKind::User, home / "vexel2d"},
    };
    for (const Case& c : cases) {
        auto at = [&](const char* name) { return *name ? root_ / name : fs::path(); };
        const WorkspaceChoice choice = ChooseWorkspace({at(c.given), at(c.current), at(c.executable), home});
        EXPECT_EQ(choice.kind, c.kind) << c.given << "|" << c.current << "|" << c.executable;
        EXPECT_EQ(choice.folder, c.folder);
    }
    // The XDG rule: only an absolute XDG_DATA_HOME counts.
    EXPECT_EQ(DataHome("/data", "/home/u"), fs::path("/data"));
    EXPECT_EQ(DataHome("relative", "/home/u"), fs::path("/home/u/.local/share"));
    EXPECT_EQ(DataHome(nullptr, "/home/u"), fs::path("/home/u/.local/share"));
    EXPECT_EQ(DataHome("", nullptr), fs::path());
}

TEST_F(WorkspaceLocation, TheWorkspaceArgumentIsTakenWhereverItStands) {
    const auto taken = TakeWorkspaceArgument({"a.v2d", "--workspace", "/w", "-x"});
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->folder, fs::path("/w"));
    EXPECT_EQ(taken->rest, (std::vector<std::string>{"a.v2d", "-x"}));
    EXPECT_EQ(TakeWorkspaceArgument({"a.v2d"})->folder, fs::path());
    EXPECT_EQ(TakeWorkspaceArgument({"--workspace"}).error(), "--workspace 后面缺少文件夹");
}

TEST_F(WorkspaceLocation, AMissingWorkspaceAppearsWholeOrNotAtAll) {
    int runs = 0;
    auto writeStart = [&](const fs::path& folder) {
        ++runs;
        fs::create_directories(folder / "start");
        std::ofstream(folder / "start/start.v2d") << "x";
        return Status::Ok();
    };
    const fs::path made = root_ / "data/deeper/vexel2d";
    ASSERT_TRUE(CreateWorkspaceIfMissing(made, writeStart));
    EXPECT_TRUE(fs::is_regular_file(made / "start/start.v2d"));
    ASSERT_TRUE(CreateWorkspaceIfMissing(made, writeStart));  // there already: untouched
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(made.parent_path()), fs::directory_iterator()), 1);

    const fs::path failed = root_ / "data/failed";
    const Status refused = CreateWorkspaceIfMissing(failed, [&](const fs::path& folder) {
        writeStart(folder);
        return Status(Error{"disk full"});
    });
    EXPECT_EQ(refused.error(), "无法创建工作文件夹：" + failed.string() + "\ndisk full");
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "data"), fs::directory_iterator()), 1);

    // A parent that is a file cannot hold a workspace.
    std::ofstream(root_ / "plain") << "x";
    const Status blocked = CreateWorkspaceIfMissing(root_ / "plain/vexel2d", writeStart);
    ASSERT_FALSE(blocked);
    EXPECT_EQ(blocked.error().rfind("无法创建工作文件夹：" + (root_ / "plain/vexel2d").string() + "\n", 0), 0u);
}

}  // namespace
}  // namespace v2d
