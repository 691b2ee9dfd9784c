#include "cli/command_support.h"

#include <cstdio>

namespace v2d::cli {

int Fail(const char* command, const std::string& message) {
    std::fprintf(stderr, "vexel2d-cli %s: %s\n", command, message.c_str());
    return 1;
}

Status LoadImageLibrary(ImageLibrary& library) {
    const std::vector<std::string> messages = library.Load(ImageLibrary::ProgramLibraryFolder());
    if (!messages.empty()) return Error{messages.front()};
    return Status::Ok();
}

}  // namespace v2d::cli
