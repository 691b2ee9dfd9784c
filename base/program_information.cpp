#include "base/program_information.h"

#include <cstdio>
#include <string_view>

namespace v2d {

const char* ProgramVersion() { return VEXEL_VERSION; }

InformationRequest RequestedInformation(std::span<char* const> arguments) {
    InformationRequest found = InformationRequest::None;
    for (const char* argument : arguments) {
        const std::string_view a = argument == nullptr ? std::string_view() : std::string_view(argument);
        if (a == "--") break;
        if (a == "-h" || a == "--help") return InformationRequest::Help;
        if (a == "--version") found = InformationRequest::Version;
    }
    return found;
}

int PrintInformation(InformationRequest request, const char* program, const char* usage) {
    if (request == InformationRequest::Version)
        std::printf("%s %s\n", program, ProgramVersion());
    else
        std::fputs(usage, stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace v2d
