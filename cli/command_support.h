#pragma once
// What the subcommands share: the failure lines, the one operand, the image library.
#include <string>

#include "base/result.h"
#include "imagelib/image_library.h"

namespace v2d::cli {

// Prints "vexel2d-cli COMMAND: message" on stderr; returns exit code 1.
int Fail(const char* command, const std::string& message);

// Prints "vexel2d-cli COMMAND: message" and the usage on stderr; returns exit code 2.
int UsageFailure(const char* command, const std::string& message, const char* usage);

// An argument none of the command's options took: "unknown option ARG" for
// one that starts with '-', else the command's one operand, refused with
// `another` once the operand is given.
Status TakeOperand(const std::string& arg, std::string& operand, const std::string& another);

// Loads the image library from the program's folder.
Status LoadImageLibrary(ImageLibrary& library);

}  // namespace v2d::cli
