#include "demo/shop_products.h"

#include "library/product_descriptor.h"
#include "library/pub_functions.h"

namespace v2d::demo {

Result<ShopProduct> ReadShopProduct(Db& dm, const ProductRow& row) {
    Result<std::optional<ProductRow>> details = ReadProductDetails(dm, row.PartsID);
    if (!details) return details.failure();
    if (!*details) return Error{"no product with PartsID " + std::to_string(row.PartsID)};
    Result<std::optional<ProductChoice>> choice = ReadProductChoice(dm, row.PartsNumber);
    if (!choice) return choice.failure();
    const ProductChoice chosen = choice->value_or(ProductChoice{});
    ShopProduct product{**details, {}};
    const ProductRow& r = product.row;
    ProductDescriptor descriptor =
        product.isModel()
            ? ProductDescriptor::Model(r.PartsName, r.PartsNumber, r.SalesName, r.PartsSpecs, chosen.PSTypeMemo)
            : ProductDescriptor::Material(r.PartsName, r.PartsNumber, r.SalesName, r.PartsSpecs, chosen.FanSheXiShu);
    product.descriptor = descriptor.WithPricing(r.PartsPrice, r.PartsPerBox, r.PartsUnit, r.PatternRepeat).ToString();
    return product;
}

Result<ShopProduct> ReadShopProduct(Db& dm, const std::string& partsNumber) {
    Result<std::optional<ProductRow>> row = FindProductByNumber(dm, partsNumber);
    if (!row) return row.failure();
    if (!*row) return Error{"no product numbered " + partsNumber};
    return ReadShopProduct(dm, **row);
}

}  // namespace v2d::demo
