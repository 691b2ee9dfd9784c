#pragma once
// The shop's texts that every handout carries: its name, address and
// telephone, kept as workspace settings in vexel2d.ini.
#include <filesystem>
#include <string>

#include "base/result.h"

namespace v2d {

inline constexpr const char* kShopNameKey = "SaleName";
inline constexpr const char* kDealerAddressKey = "SaleAdd";
inline constexpr const char* kDealerTelephoneKey = "SaleTel";
inline constexpr const char* kSharedPagesKey = "ShareUrl";

struct ShopDetails {
    std::string name;
    std::string address;
    std::string telephone;
    // Where the shop's web server publishes its customer pages (its share/
    // folder), e.g. "http://192.168.1.5:8080/share"; empty: pages go without
    // an address or QR code.
    std::string sharedPages;
};

// Empty texts for the keys the workspace does not set.
ShopDetails ReadShopDetails(const std::filesystem::path& workspace);
// The four keys in one write that keeps every other line of vexel2d.ini and
// replaces the file whole; a text holding a line break is refused and
// nothing is written.
Status WriteShopDetails(const std::filesystem::path& workspace, const ShopDetails& details);

}  // namespace v2d
