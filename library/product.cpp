#include "library/product.h"

#include <array>
#include <charconv>
#include <cmath>

#include "base/integer_text.h"
#include "library/product_descriptor.h"

namespace v2d {
namespace {

// The category words, first match wins: an exact memo first, then a memo
// that names the word anywhere.
enum class Match { Exact, Contains };
struct KindRow {
    std::string_view word;
    Match match;
    ModelKind kind;
};
constexpr std::array<KindRow, 9> kKindTable{{
    {"装饰线", Match::Exact, ModelKind::DecorationLine},
    {"门", Match::Exact, ModelKind::Door},
    {"背景墙", Match::Exact, ModelKind::FeatureWall},
    {"装饰画", Match::Contains, ModelKind::Painting},
    {"地毯", Match::Contains, ModelKind::Rug},
    {"窗帘", Match::Contains, ModelKind::Curtain},
    {"装饰线", Match::Contains, ModelKind::InPlane},
    {"背景墙", Match::Contains, ModelKind::InPlane},
    {"门", Match::Contains, ModelKind::InPlane},
}};

constexpr std::string_view kCurtainBody = "帘身";

}  // namespace

ModelKind ModelKindOf(std::string_view memo) {
    if (memo.empty()) return ModelKind::Uncategorised;
    for (const KindRow& row : kKindTable)
        if (row.match == Match::Exact ? memo == row.word : memo.find(row.word) != std::string_view::npos)
            return row.kind;
    return ModelKind::Furniture;
}

ModelPartKind ModelPartKindOf(std::string_view partCategory) {
    return partCategory == kCurtainBody ? ModelPartKind::CurtainBody : ModelPartKind::Plain;
}

ProductPrice ReadPrice(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    double price = 0;
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), price);
    if (code == std::errc::result_out_of_range || (code == std::errc() && std::isinf(price)))
        return {std::nullopt, PriceProblem::TooLarge};
    if (code != std::errc() || !std::isfinite(price) || price <= 0) return {std::nullopt, PriceProblem::Unknown};
    if (price > kMaxUnitPrice) return {std::nullopt, PriceProblem::TooLarge};
    return {price, PriceProblem::None};
}

Product Product::Parse(std::string_view descriptor) {
    Product p;
    p.text_ = std::string(descriptor);
    ProductDescriptor d = ProductDescriptor::Parse(descriptor);
    p.size_ = d.size();
    p.pictureSize_ = d.pictureSize();
    p.price_ = ReadPrice(d.price);
    p.unit_ = ParsePriceUnit(d.unit).value_or(PriceUnit::Piece);
    p.piecesPerBox_ = ParseWholeNumber(d.piecesPerBox);
    p.patternRepeat_ = ParseInt(d.patternRepeat).value_or(0);
    p.reflection_ = ParseInt(d.reflection);
    p.kind_ = ModelKindOf(d.subTypeMemo);
    p.partKind_ = ModelPartKindOf(d.subTypeName);
    p.name_ = std::move(d.name);
    p.number_ = std::move(d.number);
    p.brand_ = std::move(d.salesName);
    p.specs_ = std::move(d.specs);
    p.priceText_ = std::move(d.price);
    p.reflectionText_ = std::move(d.reflection);
    p.categoryMemo_ = std::move(d.subTypeMemo);
    p.pictureUrl_ = std::move(d.picUrl);
    return p;
}

}  // namespace v2d
