// The demo workspace: its folders, the start scheme, the banner's offline
// page and the product database.
#include "demo/workspace.h"

#include <system_error>

#include "base/atomic_file.h"
#include "demo/demo_room.h"
#include "demo/web_catalogue.h"
#include "scene/scheme_file.h"

namespace v2d::demo {
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

Status MakeWorkspace(const fs::path& root, const ImageOperations& ops) {
    std::error_code error;
    for (const char* folder : kFolders) {
        fs::create_directories(root / folder, error);
        if (error) return Error{"cannot create " + (root / folder).string() + ": " + error.message()};
    }
    Scene room = BuildDemoRoomScene(1600, 1200);
    if (Status saved = WriteSchemeFile(room, root / "start" / "start.v2d"); !saved) return saved;
    if (Status page = WriteText(root / "say" / "ssno.htm", kOfflinePage); !page) return page;
    if (Status report = WriteDemoReportTemplate(root); !report) return report;
    if (Status page = WriteOnlineErrorPage(root); !page) return page;
    return WriteDemoDatabase(root, ops);
}

}  // namespace v2d::demo
