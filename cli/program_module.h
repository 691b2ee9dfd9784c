#pragma once
// Modules beside the program that only some commands need (the PDF printer,
// the downloader): each is loaded at its first use and stays to the end, so
// their libraries cost nothing to the other commands.
#include <string>

#include "base/result.h"

namespace v2d::cli {

// The entry `entry` of the module file `module`, beside the program or in
// the package's library folder.
Result<void*> ProgramModuleEntry(const char* module, const char* entry);

}  // namespace v2d::cli
