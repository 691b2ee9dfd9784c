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
    return WriteSettings(workspace, {{kShopNameKey, details.name},
                                     {kDealerAddressKey, details.address},
                                     {kDealerTelephoneKey, details.telephone},
                                     {kSharedPagesKey, details.sharedPages}});
}

}  // namespace v2d
