#include "online/service_settings.h"


namespace v2d {

namespace fs = std::filesystem;

namespace {

std::string TrimmedHost(std::string host) {
    while (!host.empty() && (host.back() == '/' || host.back() == ' ')) host.pop_back();
    return host;
}

}  // namespace

ServiceSettings ReadServiceSettings(const fs::path& workspace) {
    ServiceSettings settings;
    if (auto host = ReadSetting(workspace, "WebHost")) settings.host = TrimmedHost(*host);
    settings.materialsOnline = ReadSetting(workspace, "MaterialSource") == "online";
    if (auto name = ReadSetting(workspace, "ServiceName"); name && !name->empty()) settings.serviceName = *name;
    return settings;
}

std::string AdvertisementPage(std::string_view host) { return std::string(host) + "/webbase/ad.htm"; }
std::string ProductCataloguePage(std::string_view host) { return std::string(host) + "/webbase/webpartst.asp"; }
std::string ModelCataloguePage(std::string_view host) { return std::string(host) + "/webbase/webmodel.asp"; }
std::string TemplateCataloguePage(std::string_view host) { return std::string(host) + "/vexel/Skim/Goods.aspx?id=2"; }

}  // namespace v2d
