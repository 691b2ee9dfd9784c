#include "base/folder_replacement.h"

#include <unistd.h>

#include <string>
#include <system_error>

namespace v2d {
namespace fs = std::filesystem;

Status ReplaceFolder(const fs::path& dir, const std::function<Status(const fs::path&)>& write) {
    const fs::path target = fs::absolute(dir).lexically_normal();
    const fs::path parent = target.parent_path();
    const std::string name = target.filename().string(), pid = std::to_string(::getpid());
    if (name.empty()) return Error{"cannot replace " + target.string() + ": not a folder's name"};
    std::error_code error;
    const bool replacing = fs::exists(fs::symlink_status(target, error));
    if (replacing && !fs::is_directory(target, error))
        return Error{"cannot replace " + target.string() + ": it is not a folder"};
    error.clear();
    const fs::path fresh = parent / ("." + name + ".new-" + pid), old = parent / ("." + name + ".old-" + pid);
    fs::remove_all(fresh, error);
    fs::create_directories(fresh, error);
    if (error) return Error{"cannot create " + fresh.string() + ": " + error.message()};
    if (Status written = write(fresh); !written) {
        fs::remove_all(fresh, error);
        return written;
    }
    if (replacing) fs::rename(target, old, error);
    if (!error) fs::rename(fresh, target, error);
    if (error) {
        const std::string message = "cannot put the folder in place at " + target.string() + ": " + error.message();
        if (replacing && !fs::exists(target)) fs::rename(old, target, error);
        fs::remove_all(fresh, error);
        return Error{message};
    }
    if (replacing) fs::remove_all(old, error);
    return Status::Ok();
}

}  // namespace v2d
