#include "base/workspace_settings.h"

#include <sstream>
#include <vector>

#include "base/atomic_file.h"

namespace v2d {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxSettingsBytes = 1 << 20;

std::vector<std::string> SettingsLines(const fs::path& workspace) {
    std::vector<std::string> lines;
    const auto bytes = ReadWholeFile(workspace / kSettingsFileName, kMaxSettingsBytes);
    if (!bytes) return lines;
    std::istringstream in(std::string(bytes->begin(), bytes->end()));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string_view KeyOf(std::string_view line) {
    const size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
}

}  // namespace

std::optional<std::string> ReadSetting(const fs::path& workspace, std::string_view key) {
    for (const std::string& line : SettingsLines(workspace))
        if (!key.empty() && KeyOf(line) == key) return line.substr(key.size() + 1);
    return std::nullopt;
}

Status WriteSetting(const fs::path& workspace, std::string_view key, std::string_view value) {
    std::string text;
    bool replaced = false;
    for (const std::string& line : SettingsLines(workspace)) {
        if (KeyOf(line) == key) {
            if (replaced) continue;
            text += std::string(key) + "=" + std::string(value) + "\n";
            replaced = true;
        } else {
            text += line + "\n";
        }
    }
    if (!replaced) text += std::string(key) + "=" + std::string(value) + "\n";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (!WriteFileAtomically(workspace / kSettingsFileName, std::span<const uint8_t>(bytes, text.size())))
        return Error{"cannot write " + (workspace / kSettingsFileName).string()};
    return Status::Ok();
}

}  // namespace v2d
