#include "library/catalogue_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "library/pub_functions.h"

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

std::string LineText(int line) { return "第 " + std::to_string(line) + " 行："; }

// The optional packing columns as they were typed.
struct PackingTexts {
    std::string perBox, unit, repeat;
};

// Reads the packing into the row; the reason when it cannot be read.
std::string ReadPacking(const PackingTexts& typed, CatalogueRow& row) {
    if (!typed.perBox.empty()) {
        const char* end = typed.perBox.data() + typed.perBox.size();
        auto [at, error] = std::from_chars(typed.perBox.data(), end, row.piecesPerBox);
        if (error != std::errc() || at != end || row.piecesPerBox < 0)
            return "每箱片数“" + typed.perBox + "”不是 0 或正整数。";
    }
    if (!typed.unit.empty()) {
        const std::optional<PriceUnit> unit = ParsePriceUnit(typed.unit);
        if (!unit) return "计价单位“" + typed.unit + "”不是 piece、m2、box、roll（片、平方米、箱、卷）之一。";
        row.unit = *unit;
    }
    if (!typed.repeat.empty()) {
        const char* end = typed.repeat.data() + typed.repeat.size();
        auto [at, error] = std::from_chars(typed.repeat.data(), end, row.patternRepeat);
        if (error != std::errc() || at != end || row.patternRepeat < 0 || row.patternRepeat > kMaxPatternRepeatMm)
            return "花距“" + typed.repeat + "”不是 0 到 " + std::to_string(kMaxPatternRepeatMm) + " 的整数（毫米）。";
    }
    return {};
}

// Why a row's own values cannot be used; empty when they can.
std::string ProblemOf(const Record& record, CatalogueRow& row, const std::string& price, const PackingTexts& packing) {
    for (const std::string& f : record.fields)
        if (!IsValidUtf8(f)) return kMsgNotUtf8;
    if (row.file.empty()) return "没有写文件名。";
    for (const std::string* text : {&row.file, &row.name, &row.number, &row.specs})
        if (CharacterCount(*text) > kCatalogueTextLimit)
            return "文字超过 " + std::to_string(kCatalogueTextLimit) + " 个字。";
    if (!price.empty() && !std::isfinite(row.price)) return "价格“" + price + "”不是数字。";
    return ReadPacking(packing, row);
}

}  // namespace

Result<std::vector<CatalogueRow>> ParseCatalogueCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Record> records;
    if (!SplitRecords(text, records)) return Error{"CSV 文件格式不正确：引号没有结束。"};
    if (records.empty()) return Error{"CSV 文件格式不正确：没有标题行。"};
    constexpr int kColumns = 8;
    int column[kColumns] = {-1, -1, -1, -1, -1, -1, -1, -1};
    const char* names[kColumns] = {"file", "name", "number", "specs", "price", "per_box", "unit", "repeat"};
    for (size_t i = 0; i < records.front().fields.size(); ++i)
        for (int k = 0; k < kColumns; ++k)
            if (TrimBlanks(records.front().fields[i]) == names[k]) column[k] = static_cast<int>(i);
    if (column[0] < 0) return Error{"CSV 文件格式不正确：标题行没有“file”列。"};

    std::vector<CatalogueRow> rows;
    std::map<std::string, int> fileLine, numberLine;  // first line of each file and number
    for (size_t r = 1; r < records.size(); ++r) {
        const Record& record = records[r];
        auto field = [&](int k) {
            const bool given = column[k] >= 0 && column[k] < static_cast<int>(record.fields.size());
            return given ? std::string(TrimBlanks(record.fields[column[k]])) : std::string();
        };
        CatalogueRow row{record.line, field(0), field(1), field(2), field(3), 0, 0, std::nullopt, 0, {}};
        const std::string price = field(4);
        if (!price.empty()) {
            auto [end, error] = std::from_chars(price.data(), price.data() + price.size(), row.price);
            if (error != std::errc() || end != price.data() + price.size() || row.price < 0) row.price = NAN;
        }
        row.problem = ProblemOf(record, row, price, {field(5), field(6), field(7)});
        // A second row for one picture or one number would overwrite the
        // first one's files.
        if (row.problem.empty())
            if (const auto [first, added] = fileLine.emplace(row.file, row.line); !added)
                row.problem = "文件“" + row.file + "”与第 " + std::to_string(first->second) + " 行重复。";
        if (row.problem.empty() && !row.number.empty())
            if (const auto [first, added] = numberLine.emplace(row.number, row.line); !added)
                row.problem = "产品编号“" + row.number + "”与第 " + std::to_string(first->second) + " 行重复。";
        if (!row.problem.empty()) row.problem = LineText(row.line) + row.problem;
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace v2d
