#pragma once
// What the subcommands share: the failure line and the image library.
#include <string>

#include "base/result.h"
#include "imagelib/image_library.h"

namespace v2d::cli {

// Prints "vexel2d-cli COMMAND: message" on stderr; returns exit code 1.
int Fail(const char* command, const std::string& message);

// Loads the image library from the program's folder.
Status LoadImageLibrary(ImageLibrary& library);

}  // namespace v2d::cli
