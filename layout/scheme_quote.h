#pragma once
// What a scheme takes to buy: per laid region the area, the pieces or rolls
// laid, the waste allowance, what to order and what it costs, and one line
// for each placed model; a line whose amount cannot be worked out says why
// and the total leaves it out.
#include <optional>
#include <string>
#include <vector>

#include "layout/laying_pattern.h"
#include "library/price_unit.h"

namespace v2d {

// Why a line has no amount.
inline constexpr const char* kQuotePriceUnknown = "价格未定";
inline constexpr const char* kQuotePriceTooLarge = "价格超出范围（每单位最多 1 亿元）";
inline constexpr const char* kQuoteAmountTooLarge = "金额超出范围";
inline constexpr const char* kQuoteBoxUnknown = "每箱片数未定";

struct RegionQuote {
    int index = 0;             // the region's position in the scene's list
    std::string regionName;
    std::string name, number;  // the product's PartsName and PartsNumber
    LayingPattern pattern = LayingPattern::Straight;
    double areaM2 = 0;                // the outline's real area, holes cut out
    std::optional<long long> laid;    // pieces inside the outline, whole or cut; rolls for a wallpaper
    std::optional<long long> whole;   // of the pieces laid, those wholly inside (holes cut out); none for rolls
    std::optional<long long> cut;     // and those cut to the outline: laid = whole + cut
    double wastePercent = 0;
    std::optional<long long> order;   // laid × (1 + waste), rounded up
    std::optional<long long> strips;  // a wallpaper's strips across the wall
    std::optional<long long> boxes;   // when the pieces per box are known
    PriceUnit unit = PriceUnit::Piece;
    std::optional<double> quantity;   // what the price counts: pieces, m², boxes or rolls to buy
    std::optional<double> unitPrice;  // unknown when not given, 0, no number or past kMaxUnitPrice
    std::optional<double> amount;
    std::string excluded;             // why there is no amount; empty when the total holds it
};

// A placed model: one piece at its own price.
struct ModelQuote {
    int index = 0;  // the model's position in the scene's list
    std::string recordName;
    std::string name, number;
    std::optional<double> unitPrice;
    std::optional<double> amount;
    std::string excluded;
};

struct SchemeQuote {
    std::vector<RegionQuote> regions;
    std::vector<ModelQuote> models;
    double total = 0;  // over the lines with an amount
    int excluded = 0;  // lines without one, which the total leaves out
};

}  // namespace v2d
