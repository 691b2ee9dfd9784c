#pragma once
// Colour-card rows made in code and written through the data module, for
// the colour-card tests and the screenshot driver.
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

// A full set like the demo workspace's: 744 main colours, 186 off-white
// "OW" colours, 124 "A" colours, 300 building colours and ten recommended
// colours with names.
inline Status InsertDemoColourCards(Db& dm) {
    std::vector<SampleColour> thousand = NumberedColours("", 1001, 744);
    for (SampleColour& c : NumberedColours("OW", 1, 186)) {
        c.r = 240 + c.r % 16, c.g = 236 + c.g % 20, c.b = 222 + c.b % 34;
        thousand.push_back(c);
    }
    for (SampleColour& c : NumberedColours("A", 1, 124)) thousand.push_back(c);
    if (Status s = InsertColours(dm, "TableColor", thousand); !s) return s;
    // Building card numbers run by hue row and lightness step, darkest last.
    std::vector<SampleColour> building;
    for (int k = 0; k < 300; ++k) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d%02d", k / 12 + 1, k % 12 + 1);
        const int shade = 255 - (k % 12) * 21;
        building.push_back({number, "", shade * ((k * 7) % 5 + 1) / 5, shade * ((k * 3) % 4 + 1) / 4,
                            shade * ((k * 5) % 3 + 1) / 3});
    }
    if (Status s = InsertColours(dm, "TableColor300", building); !s) return s;
    return InsertColours(dm, "TableColorTj",
                         {{"T01", "象牙白", 255, 250, 240}, {"T02", "浅米黄", 245, 230, 200},
                          {"T03", "薄荷绿", 190, 230, 200}, {"T04", "天空蓝", 170, 210, 240},
                          {"T05", "珊瑚红", 240, 128, 110}, {"T06", "香槟金", 230, 210, 160},
                          {"T07", "高级灰", 150, 150, 150}, {"T08", "深海蓝", 20, 50, 100},
                          {"T09", "咖啡色", 110, 70, 40}, {"T10", "薰衣草紫", 190, 170, 220}});
}

}  // namespace v2d::test
