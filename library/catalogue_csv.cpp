#include "library/catalogue_csv.h"

#include <charconv>

namespace v2d {

namespace {

struct Record {
    int line = 0;
    std::vector<std::string> fields;
};

// Splits the text into records of fields; false for an unclosed quote.
bool SplitRecords(std::string_view text, std::vector<Record>& records) {
    Record current{1, {std::string()}};
    int line = 1;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                current.fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                current.fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            current.fields.emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++line;
            if (current.fields.size() > 1 || !current.fields.front().empty()) records.push_back(std::move(current));
            current = Record{line, {std::string()}};
        } else {
            current.fields.back() += c;
        }
    }
    if (quoted) return false;
    if (current.fields.size() > 1 || !current.fields.front().empty()) records.push_back(std::move(current));
    return true;
}

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

Result<std::vector<CatalogueRow>> ParseCatalogueCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Record> records;
    if (!SplitRecords(text, records)) return Error{"CSV: a quoted field is not closed"};
    if (records.empty()) return Error{"CSV: no header line"};
    int column[5] = {-1, -1, -1, -1, -1};  // file, name, number, specs, price
    const char* names[5] = {"file", "name", "number", "specs", "price"};
    for (size_t i = 0; i < records.front().fields.size(); ++i)
        for (int k = 0; k < 5; ++k)
            if (Trimmed(records.front().fields[i]) == names[k]) column[k] = static_cast<int>(i);
    if (column[0] < 0) return Error{"CSV: the header has no \"file\" column"};

    std::vector<CatalogueRow> rows;
    for (size_t r = 1; r < records.size(); ++r) {
        const Record& record = records[r];
        auto field = [&](int k) {
            return column[k] >= 0 && column[k] < static_cast<int>(record.fields.size()) ? Trimmed(record.fields[column[k]])
                                                                                         : std::string();
        };
        CatalogueRow row{record.line, field(0), field(1), field(2), field(3), 0, {}};
        const std::string price = field(4);
        if (!price.empty()) {
            auto [end, error] = std::from_chars(price.data(), price.data() + price.size(), row.price);
            if (error != std::errc() || end != price.data() + price.size() || row.price < 0)
                row.problem = "price \"" + price + "\" is not a number";
        }
        if (row.file.empty()) row.problem = "no file named";
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace v2d
