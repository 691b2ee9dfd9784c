#include "base/workspace_settings.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "base/atomic_file.h"
#include "base/integer_text.h"

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
    return WriteSettings(workspace, {{std::string(key), std::string(value)}});
}

Status WriteSettings(const fs::path& workspace, const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [key, value] : values)
        if (key.empty() || key.find_first_of("=\r\n") != std::string::npos ||
            value.find_first_of("\r\n") != std::string::npos)
            return Error{"cannot write " + key + " to " + (workspace / kSettingsFileName).string()};
    std::vector<bool> written(values.size(), false);
    std::string text;
    for (const std::string& line : SettingsLines(workspace)) {
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const auto& entry) { return KeyOf(line) == entry.first; });
        if (found == values.end()) {
            text += line + "\n";
            continue;
        }
        const auto at = static_cast<size_t>(found - values.begin());
        if (!written[at]) text += found->first + "=" + found->second + "\n";
        written[at] = true;
    }
    for (size_t i = 0; i < values.size(); ++i)
        if (!written[i]) text += values[i].first + "=" + values[i].second + "\n";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (!WriteFileAtomically(workspace / kSettingsFileName, std::span<const uint8_t>(bytes, text.size())))
        return Error{"cannot write " + (workspace / kSettingsFileName).string()};
    return Status::Ok();
}

namespace {
std::string RecentKey(int i) { return "RecentScheme" + std::to_string(i + 1); }
}  // namespace

std::vector<std::string> ReadRecentSchemes(const fs::path& workspace) {
    std::vector<std::string> schemes;
    for (int i = 0; i < kRecentSchemeCount; ++i)
        if (auto path = ReadSetting(workspace, RecentKey(i)); path && !path->empty()) schemes.push_back(*path);
    return schemes;
}

Status WriteRecentSchemes(const fs::path& workspace, const std::vector<std::string>& schemes) {
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 0; i < kRecentSchemeCount; ++i)
        values.emplace_back(RecentKey(i), i < static_cast<int>(schemes.size()) ? schemes[static_cast<size_t>(i)] : "");
    return WriteSettings(workspace, values);
}

std::vector<std::string> WithRecentScheme(std::vector<std::string> schemes, const std::string& newest) {
    if (newest.empty() || newest.find_first_of("\r\n") != std::string::npos) return schemes;  // no line of its own
    std::erase(schemes, newest);
    schemes.insert(schemes.begin(), newest);
    if (schemes.size() > static_cast<size_t>(kRecentSchemeCount)) schemes.resize(kRecentSchemeCount);
    return schemes;
}

namespace {

int64_t ReadMegabytes(const fs::path& workspace, std::string_view key, int64_t fallback) {
    constexpr long long kLargestMB = 1 << 20;  // a terabyte: far beyond any real need, far from overflow
    std::optional<long long> megabytes;
    if (const auto text = ReadSetting(workspace, key)) megabytes = ParseWholeNumber(*text);
    if (!megabytes || *megabytes <= 0) megabytes = fallback;
    return std::min(*megabytes, kLargestMB) << 20;
}

}  // namespace

int64_t ReadMaxDownloadBytes(const fs::path& workspace) {
    return ReadMegabytes(workspace, "MaxDownloadMB", kDefaultMaxDownloadMB);
}

int64_t ReadHistoryBudgetBytes(const fs::path& workspace) {
    return ReadMegabytes(workspace, "HistoryMB", kDefaultHistoryMB);
}

}  // namespace v2d
