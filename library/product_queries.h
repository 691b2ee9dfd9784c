#pragma once
// Typed reads of the product tables for the start-up, the product browser
// and the command line. Each runs its own statement on the main connection,
// so callers may nest them freely.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/data_module.h"
#include "library/price_unit.h"
#include "library/pub_functions.h"

namespace v2d {

enum class ProductKind : int { Model = 1, Material = 2 };
// The category tree's kind filter: 0 all, 1 models only, 2 materials only.
enum class CategoryFilter : int { All = 0, Models = 1, Materials = 2 };

struct ProductRow {
    int64_t PartsID = 0;
    std::string PartsName;
    std::string PartsNumber;
    std::string PartsSpecs;
    double PartsPrice = 0;
    int64_t SalesID = 0;
    int64_t MatTypeID = 0;
    int64_t PSTypeID = 0;
    int64_t CUintID = 0;
    int64_t CompID = 0;
    int64_t StyleID = 0;
    int PartsPerBox = 0;  // whole pieces in a box; 0: unknown
    PriceUnit PartsUnit = PriceUnit::Piece;
    int PatternRepeat = 0;  // a wallpaper's pattern repeat in millimetres; 0: none
    // Filled by the reads that join them.
    std::string SalesName;
    std::string PSTypeName;
    int PartsSubType = 0;
};

struct MainCategory {
    int64_t PMTypeID = 0;
    std::string PMTypeName;
    std::string PMTypeMemo;
};

struct SubCategory {
    int64_t PSTypeID = 0;
    std::string PSTypeName;
    std::string PSTypeMemo;
    int PartsSubType = 0;
    int64_t ParentID = -1;
    int64_t PMTypeID = 0;
};

// A node of the category tree: a main category at the root, sub-categories
// below (nested ones under their parent sub-category).
struct CategoryNode {
    bool isMainCategory = false;
    int64_t id = 0;  // PMTypeID or PSTypeID
    std::string name;
    int64_t parentID = -1;  // ParentID of a nested sub-category
    std::vector<CategoryNode> children;
};

struct NamedID {
    int64_t id = 0;
    std::string name;
};

struct MatType {
    int64_t MatTypeID = 0;
    std::string MatTypeName;
    int64_t FanSheXiShu = 0;
};

// What choosing a product reads: its material's reflection and its
// sub-category's memo.
struct ProductChoice {
    std::string FanSheXiShu;
    std::string PSTypeMemo;
};

// Start-up: the newest material product (largest PartsID) with its dealer.
Result<std::optional<ProductRow>> ReadNewestMaterialProduct(Db& dm);

Result<std::vector<MainCategory>> ReadMainCategories(Db& dm, CategoryFilter filter);
// First-level (ParentID < 0) or nested (ParentID > -1) sub-categories.
Result<std::vector<SubCategory>> ReadSubCategories(Db& dm, CategoryFilter filter, bool nested);
// FillCategoryTree's data: roots sorted by PMTypeMemo; sub-categories whose
// main category or parent is missing are dropped; the build always ends.
Result<std::vector<CategoryNode>> BuildCategoryTree(Db& dm, CategoryFilter filter);
// The first node in tree order without children, or null.
const CategoryNode* FirstLeaf(const std::vector<CategoryNode>& tree);

// PartsSubType of a sub-category, nullopt when it does not exist.
Result<std::optional<int>> ReadSubCategoryKind(Db& dm, int64_t psTypeID);
// The unit a new product of the sub-category is priced in (its row of
// TableSubTypeUnit); per piece without one or in an older file without it.
Result<PriceUnit> ReadCategoryUnit(Db& dm, int64_t psTypeID);
// FillProductList's rows: the products of a sub-category, newest first.
Result<std::vector<ProductRow>> ReadProductList(Db& dm, int64_t psTypeID);
// ShowProductDetails: one product with its dealer and kind.
Result<std::optional<ProductRow>> ReadProductDetails(Db& dm, int64_t partsID);
// Choosing: reflection and memo of the product with this number.
Result<std::optional<ProductChoice>> ReadProductChoice(Db& dm, const std::string& partsNumber);
Result<std::optional<ProductRow>> FindProductByNumber(Db& dm, const std::string& partsNumber);
// Every product with dealer, sub-category name and kind, newest first;
// optionally one kind only.
Result<std::vector<ProductRow>> ReadAllProducts(Db& dm, std::optional<ProductKind> kind);

Result<std::vector<NamedID>> ReadSales(Db& dm);
Result<std::vector<MatType>> ReadMatTypes(Db& dm);
Result<std::vector<NamedID>> ReadStyles(Db& dm);
Result<std::vector<NamedID>> ReadRoomTypes(Db& dm);

// Writes a new product row; PartsID must be set (GetNewID).
Status InsertProduct(Db& dm, const ProductRow& row);

}  // namespace v2d

// --- Pages of products: a category with all below it, or a search -----------

namespace v2d {

// Lists are read newest first, this many rows at a time; the browser reads
// the next page when its list is scrolled to the end.
inline constexpr int kProductPageSize = 200;

// The browser's search box and filters. Every word of `text` (split at
// blanks) must be found in the name, the number or the brand, as typed
// (Latin letters without case); an empty text finds every product.
struct ProductFilter {
    std::string text;
    std::optional<ProductSize> size;           // as ParseProductSpecs reads PartsSpecs
    std::optional<double> minPrice, maxPrice;  // inclusive
    bool any() const { return !text.empty() || size || minPrice || maxPrice; }
};

// Where a list's rows come from: every product of the kind, or one node of
// the category tree with every sub-category below it as the tree shows them
// (a main category: its first-level sub-categories and theirs; a
// sub-category: itself and its nested ones).
struct ProductScope {
    CategoryFilter kind = CategoryFilter::All;
    std::optional<int64_t> category;  // PMTypeID or PSTypeID
    bool mainCategory = false;
};

struct ProductPage {
    std::vector<ProductRow> rows;  // with SalesName, PSTypeName and PartsSubType
    bool more = false;             // older rows follow the last one
};

// The newest `pageSize` rows of the scope that pass the filter, all with a
// PartsID below `beforeID` (0: from the newest); the next page starts below
// the last row's PartsID.
Result<ProductPage> ReadProductPage(Db& dm, const ProductScope& scope, const ProductFilter& filter,
                                    int64_t beforeID = 0, int pageSize = kProductPageSize);

// The sizes of the kind's products as ParseProductSpecs reads them (an empty
// or odd size text is the 600 default), by width, then height.
Result<std::vector<ProductSize>> ReadProductSizes(Db& dm, CategoryFilter kind);

// `text` as a LIKE pattern that finds it anywhere: \, % and _ are escaped
// with \ (the statements say escape '\').
std::string ContainsPattern(std::string_view text);

// Gives the connection product_size(PartsSpecs), the size text "W*H" as
// ParseProductSpecs reads it; the data module registers it when it opens.
Status RegisterProductSizeFunction(const SqlDatabase& db);

}  // namespace v2d
