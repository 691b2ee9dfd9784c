#pragma once
// The built command line run through the shell, with what it printed.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace v2d::test {

struct Outcome {
    int exit = -1;
    std::string out, err;
};

inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the command with its output and errors caught in files in `scratch`.
inline Outcome RunShell(const std::string& command, const std::filesystem::path& scratch) {
    const std::string full = command + " >'" + (scratch / "out").string() + "' 2>'" + (scratch / "err").string() + "'";
    const int status = std::system(full.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(scratch / "out"), ReadText(scratch / "err")};
}

}  // namespace v2d::test
