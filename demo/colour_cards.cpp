// The demo colour cards. Paint cards run through the hues column by column,
// light tints at the top of a column and deeper shades below.
#include <QColor>

#include <cstdio>
#include <string>

#include "demo/database.h"

namespace v2d::demo {

namespace {

constexpr int kThousandColumns = 31;
constexpr int kThousandRows = 24;
constexpr int kMainColours = 820;  // more than one page of 31 x 24 cells
constexpr int kOffWhiteColours = 62;
constexpr int kASeriesColours = 124;

Status InsertColour(SqlStatement& insert, const std::string& number, const std::string& name,
                    const QColor& c) {
    insert.reset();
    if (Status s = insert.bindAll(std::vector<SqlValue>{SqlText(number), SqlText(name),
                                                         SqlInt(c.red()), SqlInt(c.green()),
                                                         SqlInt(c.blue())});
        !s)
        return s;
    return insert.run();
}

std::string Numbered(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

Status WriteDemoColourCards(const SqlDatabase& db) {
    Result<SqlStatement> thousand =
        db.prepare("insert into TableColor(ColorNumber,ColorName,R,G,B) values(?,?,?,?,?)");
    if (!thousand) return Error{thousand.error()};
    for (int i = 0; i < kMainColours; ++i) {
        const int column = i / kThousandRows, row = i % kThousandRows;
        const int hue = (column * 360 / kThousandColumns) % 360;
        const int saturation = 30 + row * 9;           // pale to strong
        const int value = 250 - row * 5 - column % 3 * 4;  // light to deep
        const QColor c = QColor::fromHsv(hue, std::min(saturation, 255), std::max(value, 40));
        if (Status s = InsertColour(*thousand, Numbered("%04d", 1001 + i), "", c); !s) return s;
    }
    for (int i = 0; i < kOffWhiteColours; ++i) {
        const QColor c = QColor::fromHsv((i * 23) % 360, 8 + i % 4 * 5, 252 - i % 5 * 3);
        if (Status s = InsertColour(*thousand, Numbered("OW%03d", i + 1), "", c); !s) return s;
    }
    for (int i = 0; i < kASeriesColours; ++i) {
        // Neutral greys and earth tones.
        const QColor c = i % 2 ? QColor::fromHsv(30, 10 + i % 7 * 6, 240 - i * 1)
                               : QColor::fromHsv(0, 0, 245 - i * 1);
        if (Status s = InsertColour(*thousand, Numbered("A%03d", i + 1), "", c); !s) return s;
    }

    Result<SqlStatement> building =
        db.prepare("insert into TableColor300(ColorNumber,ColorName,R,G,B) values(?,?,?,?,?)");
    if (!building) return Error{building.error()};
    for (int column = 0; column < 25; ++column)
        for (int row = 0; row < 12; ++row) {
            const QColor c = column == 24
                                 ? QColor::fromHsv(0, 0, 245 - row * 20)
                                 : QColor::fromHsv(column * 15, 25 + row * 18, 245 - row * 12);
            const std::string number = Numbered("%02d", column + 1) + Numbered("%02d", row + 1);
            if (Status s = InsertColour(*building, number, "", c); !s) return s;
        }

    Result<SqlStatement> recommended =
        db.prepare("insert into TableColorTj(ColorNumber,ColorName,R,G,B) values(?,?,?,?,?)");
    if (!recommended) return Error{recommended.error()};
    const struct {
        const char* number;
        const char* name;
        int r, g, b;
    } kRecommended[] = {
        {"TJ01", "象牙白", 255, 250, 235}, {"TJ02", "米黄", 240, 226, 190},
        {"TJ03", "浅咖啡", 196, 164, 132}, {"TJ04", "薄荷绿", 190, 230, 205},
        {"TJ05", "天空蓝", 180, 214, 240}, {"TJ06", "薰衣草紫", 205, 190, 230},
        {"TJ07", "珊瑚粉", 248, 180, 170}, {"TJ08", "橄榄绿", 160, 170, 110},
        {"TJ09", "雾霾蓝", 140, 160, 180}, {"TJ10", "暖灰", 190, 182, 172},
    };
    for (const auto& c : kRecommended)
        if (Status s = InsertColour(*recommended, c.number, c.name, QColor(c.r, c.g, c.b)); !s)
            return s;
    return Status::Ok();
}

}  // namespace v2d::demo
