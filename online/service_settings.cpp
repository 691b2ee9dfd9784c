#include "online/service_settings.h"

#include <fstream>
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

std::string TrimmedHost(std::string host) {
    while (!host.empty() && (host.back() == '/' || host.back() == ' ')) host.pop_back();
    return host;
}

}  // namespace

ServiceSettings ReadServiceSettings(const fs::path& workspace) {
    ServiceSettings settings;
    for (const std::string& line : SettingsLines(workspace)) {
        const std::string_view key = KeyOf(line);
        const std::string value = key.empty() ? std::string() : line.substr(key.size() + 1);
        if (key == "WebHost") settings.host = TrimmedHost(value);
        if (key == "MaterialSource") settings.materialsOnline = value == "online";
        if (key == "ServiceName" && !value.empty()) settings.serviceName = value;
    }
    return settings;
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

std::string AdvertisementPage(std::string_view host) { return std::string(host) + "/webbase/ad.htm"; }
std::string ProductCataloguePage(std::string_view host) { return std::string(host) + "/webbase/webpartst.asp"; }
std::string ModelCataloguePage(std::string_view host) { return std::string(host) + "/webbase/webmodel.asp"; }
std::string TemplateCataloguePage(std::string_view host) { return std::string(host) + "/vexel/Skim/Goods.aspx?id=2"; }

}  // namespace v2d
