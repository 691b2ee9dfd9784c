#pragma once
// Colour-card rows made in code and written through the data module, for
// the colour-card tests.
#include <cstdio>
#include <string>
#include <vector>

#include "library/colour_card_queries.h"
#include "library/data_module.h"

namespace v2d::test {

struct SampleColour {
    std::string number;
    std::string name;
    int r = 0, g = 0, b = 0;
};

// Appends the rows to TableColor, TableColor300 or TableColorTj in order;
// the database numbers them after the rows already there.
inline Status InsertColours(Db& dm, const std::string& table, const std::vector<SampleColour>& rows) {
    SqlTransaction transaction(dm.connection());
    for (const SampleColour& c : rows) {
        Result<bool> done = dm.ExecSql(
            "insert into " + table + "(ColorNumber,ColorName,R,G,B) values(?,?,?,?,?)",
            {SqlText(c.number), SqlText(c.name), SqlInt(c.r), SqlInt(c.g), SqlInt(c.b)});
        if (!done) return Error{done.error()};
    }
    return transaction.commit();
}

// `count` colours numbered prefix + a four-digit running number from
// `first`, spread over the hues so neighbouring cells differ.
inline std::vector<SampleColour> NumberedColours(const std::string& prefix, int first, int count) {
    std::vector<SampleColour> rows;
    for (int k = 0; k < count; ++k) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%04d", prefix.c_str(), first + k);
        rows.push_back({number, "", (k * 37 + 11) % 256, (k * 91 + 53) % 256, (k * 13 + 170) % 256});
    }
    return rows;
}

}  // namespace v2d::test
