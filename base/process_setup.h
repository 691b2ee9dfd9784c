#pragma once
// The one set-up of a process, for the program, the command line and the
// benchmarks alike, so benchmark figures describe the program.
#include <filesystem>

namespace v2d {

inline constexpr const char* kApplicationTitle = "Vexel2D V2012专业版";

// Call first in main(): the application's name, and heap handling for
// scene-sized pictures. Such pictures are tens of megabytes; glibc hands
// blocks that large back to the system on every free, so each redraw would
// pay for fresh zeroed pages. Keeping them in the heap lets the next picture
// reuse them.
void SetUpProcess();

// For a command that draws once and exits, where no picture is drawn again:
// scene-sized blocks go back to the system when freed, so what is let go
// (the displayed scene while a product is laid) does not stay resident.
void ReturnLargeBlocksWhenFreed();

// The folder of the running executable, where VexellDll.so lies beside it.
std::filesystem::path ExecutableFolder();

// A library or module the programs load by name: the one beside the
// executable (a build or portable folder), else the installed package's
// library folder.
std::filesystem::path ProgramLibraryFile(const char* name);

}  // namespace v2d
