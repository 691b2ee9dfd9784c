#pragma once
// A product as the program carries it: its descriptor read once, where the
// text comes in (the product library, a record's partsInfo, the web
// service), into typed values. The text itself travels along unchanged, so
// whatever stores it (a record's partsInfo, a file, JSON) stores the bytes it
// was given.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "library/price_unit.h"
#include "library/product_pictures.h"
#include "library/pub_functions.h"

namespace v2d {

// What a model's category memo (PSTypeMemo) makes of it when placed. The
// category words are compared in one table (ModelKindOf), nowhere else.
enum class ModelKind {
    Uncategorised,   // no memo: never fitted into a region unless asked
    Furniture,       // any other memo: stands screen-parallel ("沙发")
    Painting,        // "装饰画" in the memo
    Rug,             // "地毯" in the memo
    Curtain,         // "窗帘" in the memo
    DecorationLine,  // "装饰线": drawn across a region, not placed
    Door,            // "门": stands on the region's bottom edge
    FeatureWall,     // "背景墙": stands on the region's bottom edge
    InPlane,         // another memo naming one of those ("推拉门", "装饰线条")
};
ModelKind ModelKindOf(std::string_view memo);

// What a model part's category (PSTypeName) makes of it in its owner: a
// curtain's body ("帘身") lends the owner its transparency.
enum class ModelPartKind { Plain, CurtainBody };
ModelPartKind ModelPartKindOf(std::string_view partCategory);

// PartsPrice read for pricing: a value above 0 and at most kMaxUnitPrice, or
// why there is none.
enum class PriceProblem { None, Unknown, TooLarge };
struct ProductPrice {
    std::optional<double> value;
    PriceProblem problem = PriceProblem::Unknown;
};
ProductPrice ReadPrice(std::string_view text);

class Product {
public:
    Product() = default;
    // The one read of a descriptor ("PartsName=…&PartsNumber=…&…").
    static Product Parse(std::string_view descriptor);

    // The descriptor byte for byte as it was given.
    const std::string& descriptor() const { return text_; }
    bool empty() const { return text_.empty(); }

    const std::string& name() const { return name_; }      // PartsName
    const std::string& number() const { return number_; }  // PartsNumber, names the product's files
    const std::string& brand() const { return brand_; }    // SalesName, the dealer or brand
    const std::string& specs() const { return specs_; }    // PartsSpecs as written
    ProductSize size() const { return size_; }             // PartsSpecs in mm, 600 where missing
    // What one picture stands for: the size, a wallpaper's roll width by its repeat.
    ProductSize pictureSize() const { return pictureSize_; }
    const std::string& priceText() const { return priceText_; }  // PartsPrice as written ("100.00")
    const ProductPrice& price() const { return price_; }
    PriceUnit unit() const { return unit_; }                                    // per piece when not said
    std::optional<long long> piecesPerBox() const { return piecesPerBox_; }     // as written, any whole number
    int patternRepeat() const { return patternRepeat_; }                        // mm as written, 0 when not said
    const std::string& reflectionText() const { return reflectionText_; }      // FanSheXiShu as written
    std::optional<int> reflection() const { return reflection_; }               // FanSheXiShu, when a whole number
    const std::string& categoryMemo() const { return categoryMemo_; }          // PSTypeMemo
    ModelKind kind() const { return kind_; }
    ModelPartKind partKind() const { return partKind_; }
    const std::string& pictureUrl() const { return pictureUrl_; }  // PicUrl of the web service

    // The product's files under the workspace, named by its number.
    ProductPicturePaths paths(const std::filesystem::path& workspace) const {
        return PicturePathsOf(workspace, number_);
    }

    friend bool operator==(const Product& a, const Product& b) { return a.text_ == b.text_; }

private:
    std::string text_;
    std::string name_, number_, brand_, specs_, priceText_, reflectionText_, categoryMemo_, pictureUrl_;
    ProductSize size_, pictureSize_;
    ProductPrice price_;
    PriceUnit unit_ = PriceUnit::Piece;
    std::optional<long long> piecesPerBox_;
    int patternRepeat_ = 0;
    std::optional<int> reflection_;
    ModelKind kind_ = ModelKind::Uncategorised;
    ModelPartKind partKind_ = ModelPartKind::Plain;
};

}  // namespace v2d
