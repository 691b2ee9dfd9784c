#include "cli/program_module.h"

#include <dlfcn.h>

#include "base/process_setup.h"

namespace v2d::cli {

Result<void*> ProgramModuleEntry(const char* module, const char* entry) {
    const std::string path = ProgramLibraryFile(module).string();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* found = handle ? dlsym(handle, entry) : nullptr;
    if (found == nullptr) {
        const char* reason = dlerror();
        return Error{reason ? std::string(reason) : path + ": no " + entry};
    }
    return found;
}

}  // namespace v2d::cli
