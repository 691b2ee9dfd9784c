// Every program answers --help and --version in a bare terminal: no
// display, no Qt platform, an empty environment; the text on standard
// output, exit 0, and the version the build names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace {

namespace fs = std::filesystem;

TEST(ProgramInformation, EveryProgramAnswersHelpAndVersionWithoutADisplay) {
    const fs::path scratch = fs::temp_directory_path() / ("vexel-information-test-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    const struct {
        const char* program;
        const char* name;
        std::vector<const char*> options;  // each option the program takes, in its help
    } programs[] = {
        {VEXEL_APP, "vexel2d", {"--workspace DIR", "FILE.v2d", "FILE.c2d", "--help", "--version"}},
        {VEXEL_TOOL, "v2dtool", {"--workspace DIR", "FILE.v2d", "PHOTO", "--help", "--version"}},
        {VEXEL_CLI, "vexel2d-cli", {"--workspace DIR", "render SCHEME.v2d", "quote SCHEME.v2d", "--help", "--version"}},
        {VEXEL_WEB, "vexel2d-web", {"--root DIR", "--host H", "--port P", "--workspace W", "--ready FILE",
                                    "--exit-with-parent", "--max-per-address N", "--keep-existing", "--base URL",
                                    "make-catalogue DIR", "export DIR", "--help", "--version"}},
    };
    for (const auto& p : programs) {
        const std::string bare = std::string("env -i '") + p.program + "' ";
        for (const char* asked : {"--help", "-h"}) {
            const v2d::test::Outcome help = v2d::test::RunShell(bare + asked, scratch);
            EXPECT_EQ(help.exit, 0) << p.name << " " << asked << help.err;
            EXPECT_EQ(help.out.rfind(std::string("usage: ") + p.name, 0), 0u) << p.name << help.out;
            for (const char* option : p.options)
                EXPECT_NE(help.out.find(option), std::string::npos) << p.name << " lists " << option;
        }
        const v2d::test::Outcome version = v2d::test::RunShell(bare + "--version", scratch);
        EXPECT_EQ(version.exit, 0) << p.name << version.err;
        EXPECT_EQ(version.out, std::string(p.name) + " " + VEXEL_VERSION + "\n");
        EXPECT_EQ(version.err, "") << p.name;
    }
    fs::remove_all(scratch);
}

}  // namespace
