#pragma once
// Where the shop's web service is and where materials come from, kept in
// the workspace's settings file (base/workspace_settings.h). `make
// run` writes the address of the embedded service there; a shop enters its
// own server instead.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"
#include "base/workspace_settings.h"

namespace v2d {

struct ServiceSettings {
    std::string host;              // "http://127.0.0.1:8080"; empty: no service
    bool materialsOnline = false;  // MaterialSource=online
    std::string serviceName = "维克赛尔";
};

// Missing file or keys give the defaults.
ServiceSettings ReadServiceSettings(const std::filesystem::path& workspace);

// The service's pages, from its host.
std::string AdvertisementPage(std::string_view host);
std::string ProductCataloguePage(std::string_view host);   // /webbase/webpartst.asp
std::string ModelCataloguePage(std::string_view host);     // /webbase/webmodel.asp
std::string TemplateCataloguePage(std::string_view host);  // /vexel/Skim/Goods.aspx?id=2

}  // namespace v2d
