#pragma once
// A shop's product list as a spreadsheet saves it: UTF-8 CSV with the
// header "file,name,number,specs,price" and optionally "per_box" (pieces in
// a box), "unit" (the price's unit) and "repeat" (a wallpaper's pattern
// repeat in millimetres), columns in any order, "file" required; quoted
// fields with doubled quotes, LF or CRLF lines.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "library/price_unit.h"

namespace v2d {

// The longest file name, name, number or specs a row may carry, in
// characters (the database's text columns hold 255).
inline constexpr size_t kCatalogueTextLimit = 255;

struct CatalogueRow {
    int line = 0;  // 1-based line of the file where the row starts
    std::string file, name, number, specs;
    double price = 0;
    int piecesPerBox = 0;  // 0: unknown or not given
    std::optional<PriceUnit> unit;  // not given: the category's
    int patternRepeat = 0;          // mm; 0: none or not given
    std::string problem;  // "第 N 行：" and why the row cannot be used; empty when it can
};

// The rows after the header. A missing "file" column or an unclosed quote
// refuses the whole text. A row keeps its problem when a field is not
// UTF-8, the file is missing, a text is longer than kCatalogueTextLimit,
// the price is not a finite number of 0 or more, the pieces per box are not
// a whole number of 0 or more, the unit is none of PriceUnitWord's or
// PriceUnitCaption's texts, the repeat is not a whole number of 0 to
// kMaxPatternRepeatMm, or its file or number was
// already named by an earlier row; the other rows stay usable.
Result<std::vector<CatalogueRow>> ParseCatalogueCsv(std::string_view text);

}  // namespace v2d
