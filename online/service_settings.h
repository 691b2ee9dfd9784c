#pragma once
// Where the shop's web service is and where materials come from, kept in
// the workspace's settings file "vexel2d.ini" (lines of Key=Value). `make
// run` writes the address of the embedded service there; a shop enters its
// own server instead.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace v2d {

inline constexpr const char* kSettingsFileName = "vexel2d.ini";

struct ServiceSettings {
    std::string host;              // "http://127.0.0.1:8080"; empty: no service
    bool materialsOnline = false;  // MaterialSource=online
    std::string serviceName = "维克赛尔";
};

// Missing file or keys give the defaults.
ServiceSettings ReadServiceSettings(const std::filesystem::path& workspace);
// Sets one key, keeping the file's other lines; written whole or not at all.
Status WriteSetting(const std::filesystem::path& workspace, std::string_view key, std::string_view value);

// The service's pages, from its host.
std::string AdvertisementPage(std::string_view host);
std::string ProductCataloguePage(std::string_view host);   // /webbase/webpartst.asp
std::string ModelCataloguePage(std::string_view host);     // /webbase/webmodel.asp
std::string TemplateCataloguePage(std::string_view host);  // /vexel/Skim/Goods.aspx?id=2

}  // namespace v2d
