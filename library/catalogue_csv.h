#pragma once
// A shop's product list as a spreadsheet saves it: UTF-8 CSV with the
// header "file,name,number,specs,price" (columns in any order, "file"
// required), quoted fields with doubled quotes, LF or CRLF lines.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace v2d {

struct CatalogueRow {
    int line = 0;  // 1-based line of the file where the row starts
    std::string file, name, number, specs;
    double price = 0;
    std::string problem;  // why the row cannot be used; empty when it can
};

// The rows after the header. A missing "file" column or an unclosed quote
// refuses the whole text; a row with a price that is not a number keeps
// its problem.
Result<std::vector<CatalogueRow>> ParseCatalogueCsv(std::string_view text);

}  // namespace v2d
