#pragma once
// What a scheme's tiled regions take to buy: per region the area, the tiles
// laid, the waste allowance, what to order and what it costs.
#include <optional>
#include <string>
#include <vector>

#include "layout/laying_pattern.h"
#include "library/price_unit.h"

namespace v2d {

struct RegionQuote {
    int index = 0;             // the region's position in the scene's list
    std::string regionName;
    std::string name, number;  // the product's PartsName and PartsNumber
    LayingPattern pattern = LayingPattern::Straight;
    double areaM2 = 0;          // the outline's real area, holes cut out
    long long laid = 0;         // tiles the pattern places inside the outline, whole or cut
    double wastePercent = 0;
    long long order = 0;        // laid × (1 + waste), rounded up
    std::optional<long long> boxes;  // when the pieces per box are known
    PriceUnit unit = PriceUnit::Piece;
    double unitPrice = 0;
    std::optional<double> amount;    // unknown when the unit is per box and the box size is not
};

struct SchemeQuote {
    std::vector<RegionQuote> regions;
    std::optional<double> total;  // unknown when any region's amount is
};

}  // namespace v2d
