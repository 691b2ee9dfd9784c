#pragma once
// Which folder a program works in. A folder named on the command line wins;
// the command-line tools then keep a workspace they are started in; a
// portable copy (the executable with DB/ beside it) works in its own folder;
// an installed program works in the user's data folder, made from the demo
// workspace on its first start.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"

namespace v2d {

enum class WorkspaceKind { Given, Current, Portable, User };

struct WorkspaceInputs {
    std::filesystem::path given;             // --workspace DIR; empty when not given
    std::filesystem::path currentFolder;     // empty: the current folder does not count
    std::filesystem::path executableFolder;  // where the program's executable lies
    std::filesystem::path dataHome;          // the user's data folder, see UserDataHome()
};

struct WorkspaceChoice {
    std::filesystem::path folder;
    WorkspaceKind kind = WorkspaceKind::User;
};

inline constexpr const char* kUserWorkspaceName = "vexel2d";

// A folder holding a product database folder DB/.
bool HoldsWorkspace(const std::filesystem::path& folder);

WorkspaceChoice ChooseWorkspace(const WorkspaceInputs& inputs);

// The XDG rule: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share. Empty when neither is usable.
std::filesystem::path DataHome(const char* xdgDataHome, const char* home);
std::filesystem::path UserDataHome();  // DataHome() of this process's environment

// --workspace DIR taken out of a program's arguments, wherever it stands;
// the remaining arguments stay in order. A "--workspace" without a folder
// gives an error.
struct WorkspaceArgument {
    std::filesystem::path folder;
    std::vector<std::string> rest;
};
Result<WorkspaceArgument> TakeWorkspaceArgument(const std::vector<std::string>& arguments);

// A missing workspace folder is written whole by `generate` into a scratch
// folder beside it and then renamed into place, so a failed attempt leaves
// nothing behind. An existing folder is left alone.
Status CreateWorkspaceIfMissing(const std::filesystem::path& folder,
                                const std::function<Status(const std::filesystem::path&)>& generate);

}  // namespace v2d
