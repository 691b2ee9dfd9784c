// vexel2d-cli make-workspace DIR: a complete demo workspace.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/demo/demo_room.h"
#include "scene/atomic_file.h"
#include "scene/scheme_file.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

const char* const kFolders[] = {
    "DB",          "product",        "product/maps", "product/jpg",  "product/xjpg",
    "product/c2d", "product/texture", "product/flower", "temple",     "temple/local",
    "temple/TempData", "temple/web",  "report",       "start",        "temp",
    "updatedb",    "v2d",            "say",
};

// The banner's offline page.
const char kOfflinePage[] = R"(<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>Vexel2D</title></head>
<body style="margin:0;font-family:sans-serif;background:#f4efe6;color:#5a4632">
<div style="padding:6px 12px;font-size:14px">Vexel2D 配色选材软件 —— 选好材料，一键铺贴，所见即所得。</div>
</body></html>
)";

Status WriteText(const fs::path& path, std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (!WriteFileAtomically(path, std::span<const uint8_t>(bytes, text.size())))
        return Error{"cannot write " + path.string()};
    return Status::Ok();
}

}  // namespace

Status MakeWorkspace(const fs::path& root) {
    std::error_code error;
    for (const char* folder : kFolders) {
        fs::create_directories(root / folder, error);
        if (error) return Error{"cannot create " + (root / folder).string() + ": " + error.message()};
    }
    Scene room = demo::BuildDemoRoomScene(1600, 1200);
    if (Status saved = WriteSchemeFile(room, root / "start" / "start.v2d"); !saved) return saved;
    if (Status page = WriteText(root / "say" / "ssno.htm", kOfflinePage); !page) return page;
    return WriteDemoDatabase(root);
}

int RunMakeWorkspace(const Args& args) {
    bool keepExisting = false;
    std::vector<std::string> folders;
    for (const std::string& a : args) {
        if (a == "--keep-existing")
            keepExisting = true;
        else
            folders.push_back(a);
    }
    if (folders.size() != 1) {
        std::fprintf(stderr, "usage: vexel2d-cli make-workspace DIR [--keep-existing]\n");
        return 2;
    }
    const std::string& folder = folders.front();
    const fs::path root(folder);
    if (keepExisting && fs::exists(root / "start" / "start.v2d") && fs::exists(root / "DB" / "PRODUCT.cdb")) {
        return 0;
    }
    Status made = MakeWorkspace(root);
    if (!made) {
        std::fprintf(stderr, "vexel2d-cli make-workspace: %s\n", made.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace v2d::cli
