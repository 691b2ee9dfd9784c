#include "demo/cli_laying.h"

#include <sys/wait.h>

#include <cstdlib>
#include <vector>

#include "base/atomic_file.h"
#include "base/picture_codec.h"

namespace v2d::demo {
namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Ran {
    int exit = -1;
    std::string errors;
};

// The command run through the shell, what it writes to its output dropped
// and its errors caught (in a file beside `log`, removed after).
Ran Run(const std::vector<std::string>& words, const std::filesystem::path& log) {
    std::string command;
    for (const std::string& w : words) command += (command.empty() ? "" : " ") + Quoted(w);
    const std::filesystem::path err = log.string() + ".err";
    const int status = std::system((command + " >/dev/null 2>" + Quoted(err.string())).c_str());
    const auto text = ReadWholeFile(err);
    std::error_code ignored;
    std::filesystem::remove(err, ignored);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text ? std::string(text->begin(), text->end()) : ""};
}

// A usage failure over --light: the command line has no such option.
bool RefusesLight(const Ran& ran) {
    const std::string first = ran.errors.substr(0, ran.errors.find('\n'));
    return ran.exit == 2 && first.find("--light") != std::string::npos;
}

Error Failed(const std::string& command, const Ran& ran) {
    const std::string said = ran.errors.substr(0, ran.errors.find('\n'));
    return Error{"vexel2d-cli " + command + " failed (exit " + std::to_string(ran.exit) + "): " +
                 (said.empty() ? "it printed no error" : said)};
}

// Runs the command with --light MODE; when the command line refuses the
// option, once more without it if `without` allows.
Result<bool> RunWithLight(std::vector<std::string> words, LightMode light, bool without,
                          const std::filesystem::path& log) {
    const std::string command = words[1];
    words.insert(words.end(), {"--light", LightModeName(light)});
    Ran ran = Run(words, log);
    if (ran.exit == 0) return true;
    if (!RefusesLight(ran)) return Failed(command, ran);
    if (!without) return false;
    words.resize(words.size() - 2);
    ran = Run(words, log);
    if (ran.exit != 0) return Failed(command, ran);
    return true;
}

}  // namespace

const char* LightModeName(LightMode mode) { return mode == LightMode::Room ? "room" : "photo"; }

Result<std::optional<QImage>> LayThroughCli(const LayingJob& job) {
    if (!std::filesystem::exists(job.cli)) return Error{"no command line at " + job.cli.string()};
    const std::string name = job.region.substr(0, job.region.find(':'));
    // The photo's light is what a command line without --light gives.
    const Result<bool> made = RunWithLight({job.cli.string(), "new-scheme", job.photo.string(), "-o", job.scheme.string(),
                                            "--region", job.region},
                                           job.light, job.light == LightMode::Photo, job.scheme);
    if (!made) return made.failure();
    if (!*made) return std::optional<QImage>();
    // A scheme made with --light holds its light already.
    const Result<bool> laid = RunWithLight({job.cli.string(), "render", job.scheme.string(), "-o", job.output.string(),
                                            "--product", job.tile.string(), "--regions", name, "--size", "600x600"},
                                           job.light, true, job.output);
    if (!laid) return laid.failure();
    QImage picture = ReadJpegFile(job.output);
    if (picture.isNull()) return Error{"cannot read the laid picture " + job.output.string()};
    return std::optional<QImage>(std::move(picture));
}

QImage ReadJpegFile(const std::filesystem::path& file) {
    const auto bytes = ReadWholeFile(file);
    return bytes ? DecodeJpeg(*bytes) : QImage();
}

Status WritePlainTile(const std::filesystem::path& file, QColor colour, int pixels) {
    QImage tile(pixels, pixels, QImage::Format_RGB32);
    tile.fill(colour);
    const auto jpeg = EncodeJpeg(tile, 95);
    if (!jpeg || !WriteFileAtomically(file, *jpeg)) return Error{"cannot write " + file.string()};
    return {};
}

}  // namespace v2d::demo
