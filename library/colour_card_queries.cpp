#include "library/colour_card_queries.h"

#include <cstdio>

#include "library/internal/read_rows.h"

namespace v2d {

namespace {

const char* TableName(ColourCardTable table) {
    switch (table) {
        case ColourCardTable::Thousand: return "TableColor";
        case ColourCardTable::Building: return "TableColor300";
        default: return "TableColorTj";
    }
}

Result<std::vector<CardColour>> ReadColours(Db& dm, const std::string& where,
                                            std::vector<SqlValue> params, const char* table) {
    return ReadRows<CardColour>(
        dm, std::string("select ID,ColorNumber,ColorName,R,G,B from ") + table + where, std::move(params),
        [](const SqlStatement& s) {
            return CardColour{s.columnInt(0), s.columnText(1), s.columnText(2), static_cast<int>(s.columnInt(3)),
                              static_cast<int>(s.columnInt(4)), static_cast<int>(s.columnInt(5))};
        });
}

}  // namespace

std::string CardColour::ColourText() const {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X%02X%02X", B & 0xFF, G & 0xFF, R & 0xFF);
    return text;
}

uint32_t CardColour::WindowsColour() const { return ColourTextToValue(ColourText()); }

uint32_t ColourTextToValue(const std::string& text) {
    constexpr uint32_t kWhite = 0x00FFFFFF;
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return kWhite;
    uint32_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = uint32_t(c - '0');
        else if (c >= 'A' && c <= 'F') digit = uint32_t(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f') digit = uint32_t(c - 'a' + 10);
        else return kWhite;
        value = value << 4 | digit;
    }
    return value;
}

Result<std::vector<CardColour>> ReadMainColours(Db& dm) {
    return ReadColours(dm,
                       " where ID not in (select ID from TableColor where ColorNumber like "
                       "'%OW%' or ColorNumber like '%A%')",
                       {}, "TableColor");
}

Result<std::vector<CardColour>> ReadOffWhiteColours(Db& dm) {
    return ReadColours(dm, " where ColorNumber like '%OW%'", {}, "TableColor");
}

Result<std::vector<CardColour>> ReadASeriesColours(Db& dm) {
    return ReadColours(dm, " where ColorNumber like '%A%' limit ?", {SqlInt(kMaxASeriesColours)},
                       "TableColor");
}

Result<std::vector<CardColour>> ReadBuildingColours(Db& dm) {
    return ReadColours(dm, "", {}, "TableColor300");
}

Result<std::vector<CardColour>> ReadRecommendedColours(Db& dm) {
    return ReadColours(dm, "", {}, "TableColorTj");
}

Result<std::optional<CardColour>> FindCardColour(Db& dm, ColourCardTable table,
                                                 const std::string& number) {
    Result<std::vector<CardColour>> rows =
        ReadColours(dm, " where ColorNumber=? limit 1", {SqlText(number)}, TableName(table));
    if (!rows) return Error{rows.error()};
    if (rows->empty()) return std::optional<CardColour>();
    return std::optional<CardColour>(std::move(rows->front()));
}

}  // namespace v2d
