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

struct ShopDetails {
    std::string name;
    std::string address;
    std::string telephone;
};

// Empty texts for the keys the workspace does not set.
ShopDetails ReadShopDetails(const std::filesystem::path& workspace);
// The three keys in one write that keeps every other line of vexel2d.ini and
// replaces the file whole; a text holding a line break is refused and
// nothing is written.
Status WriteShopDetails(const std::filesystem::path& workspace, const ShopDetails& details);

}  // namespace v2d
