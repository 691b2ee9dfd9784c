#include "base/workspace_location.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace v2d {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotCreate = "无法创建工作文件夹：";
constexpr const char* kWorkspaceWithoutFolder = "--workspace 后面缺少文件夹";

Error CreationFailure(const fs::path& folder, const std::string& reason) {
    return Error{std::string(kCannotCreate) + folder.string() + "\n" + reason};
}

}  // namespace

bool HoldsWorkspace(const fs::path& folder) {
    std::error_code error;
    return !folder.empty() && fs::is_directory(folder / "DB", error);
}

WorkspaceChoice ChooseWorkspace(const WorkspaceInputs& inputs) {
    if (!inputs.given.empty()) return {inputs.given, WorkspaceKind::Given};
    if (HoldsWorkspace(inputs.currentFolder)) return {inputs.currentFolder, WorkspaceKind::Current};
    if (HoldsWorkspace(inputs.executableFolder)) return {inputs.executableFolder, WorkspaceKind::Portable};
    return {inputs.dataHome / kUserWorkspaceName, WorkspaceKind::User};
}

fs::path DataHome(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome);
    if (home != nullptr && *home != '\0') return fs::path(home) / ".local" / "share";
    return {};
}

fs::path UserDataHome() { return DataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

Result<WorkspaceArgument> TakeWorkspaceArgument(const std::vector<std::string>& arguments) {
    WorkspaceArgument taken;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--workspace") {
            taken.rest.push_back(arguments[i]);
            continue;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return Error{kWorkspaceWithoutFolder};
        std::error_code error;
        taken.folder = fs::absolute(arguments[++i], error);
        if (error) taken.folder = arguments[i];
    }
    return taken;
}

Status CreateWorkspaceIfMissing(const fs::path& folder, const std::function<Status(const fs::path&)>& generate) {
    std::error_code error;
    if (fs::exists(folder, error)) return Status::Ok();
    if (folder.empty() || !folder.has_filename()) return CreationFailure(folder, "没有可用的用户数据文件夹（HOME）");
    fs::create_directories(folder.parent_path(), error);
    if (error) return CreationFailure(folder, error.message());
    const fs::path scratch = folder.parent_path() / ("." + folder.filename().string() + ".new-" + std::to_string(::getpid()));
    fs::remove_all(scratch, error);
    Status made = generate(scratch);
    if (made) {
        fs::rename(scratch, folder, error);
        if (error) made = Error{error.message()};
    }
    if (!made) {
        fs::remove_all(scratch, error);
        return CreationFailure(folder, made.error());
    }
    return Status::Ok();
}

}  // namespace v2d
