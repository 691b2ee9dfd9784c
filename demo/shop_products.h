#pragma once
// A shop's product as choosing it in the product browser gives it: its row
// with dealer and kind, and the descriptor the scene stores for it (the
// material's reflection, or the model category's memo, then the pricing).
#include <string>

#include "library/product_queries.h"

namespace v2d::demo {

struct ShopProduct {
    ProductRow row;  // with SalesName, PSTypeName and PartsSubType
    std::string descriptor;
    bool isModel() const { return row.PartsSubType == static_cast<int>(ProductKind::Model); }
};

Result<ShopProduct> ReadShopProduct(Db& dm, const ProductRow& row);
// By PartsNumber; a number the database does not hold is refused.
Result<ShopProduct> ReadShopProduct(Db& dm, const std::string& partsNumber);

}  // namespace v2d::demo
