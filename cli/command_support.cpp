#include "cli/command_support.h"

#include <cstdio>

namespace v2d::cli {

int Fail(const char* command, const std::string& message) {
    std::fprintf(stderr, "vexel2d-cli %s: %s\n", command, message.c_str());
    return 1;
}

int UsageFailure(const char* command, const std::string& message, const char* usage) {
    std::fprintf(stderr, "vexel2d-cli %s: %s\n%s", command, message.c_str(), usage);
    return 2;
}

Status TakeOperand(const std::string& arg, std::string& operand, const std::string& another) {
    if (!arg.empty() && arg[0] == '-') return Error{"unknown option " + arg};
    if (!operand.empty()) return Error{another};
    operand = arg;
    return Status::Ok();
}

Status LoadImageLibrary(ImageLibrary& library) {
    const std::vector<std::string> messages = library.Load(ImageLibrary::ProgramLibraryFolder());
    if (!messages.empty()) return Error{messages.front()};
    return Status::Ok();
}

}  // namespace v2d::cli
