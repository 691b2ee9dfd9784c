#pragma once
// What every program answers before it starts anything else: --help and
// --version, printed to standard output without a display or an
// application object, so they work in a terminal, a script or a package
// check alike.
#include <span>

namespace v2d {

// The project's version, as the build names it (CMake's PROJECT_VERSION).
const char* ProgramVersion();

enum class InformationRequest { None, Help, Version };

// "-h" or "--help", else "--version", among the arguments (argv without the
// program's name); arguments after "--" are file names.
InformationRequest RequestedInformation(std::span<char* const> arguments);

// Prints the usage text (Help) or "PROGRAM VERSION" (Version) to standard
// output; 0, the exit code to end with.
int PrintInformation(InformationRequest request, const char* program, const char* usage);

}  // namespace v2d
