#include "output/shop_details.h"

#include "base/workspace_settings.h"

namespace v2d {

ShopDetails ReadShopDetails(const std::filesystem::path& workspace) {
    return ShopDetails{ReadSetting(workspace, kShopNameKey).value_or(""),
                       ReadSetting(workspace, kDealerAddressKey).value_or(""),
                       ReadSetting(workspace, kDealerTelephoneKey).value_or(""),
                       ReadSetting(workspace, kSharedPagesKey).value_or("")};
}

Status WriteShopDetails(const std::filesystem::path& workspace, const ShopDetails& details) {
    std::vector<std::pair<std::string, std::string>> values = {
        {kShopNameKey, details.name}, {kDealerAddressKey, details.address}, {kDealerTelephoneKey, details.telephone}};
    // A shop that publishes no pages gets no empty key.
    if (!details.sharedPages.empty() || ReadSetting(workspace, kSharedPagesKey))
        values.emplace_back(kSharedPagesKey, details.sharedPages);
    return WriteSettings(workspace, values);
}

}  // namespace v2d
