#include <gtest/gtest.h>

#include "base/gbk_text.h"

namespace v2d {
namespace {

TEST(GbkText, ConvertsBothWaysAndMarksWhatDoesNotConvert) {
    EXPECT_EQ(Utf8ToGbk("开始铺贴"), "\xBF\xAA\xCA\xBC\xC6\xCC\xCC\xF9");
    EXPECT_EQ(GbkToUtf8("\xBF\xAA\xCA\xBC\xC6\xCC\xCC\xF9"), "开始铺贴");
    const std::string mixed = "PartsName=仿古砖 600*600&SalesName=O'Brien \"A\"";
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk(mixed)), mixed);
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");                                     // no GBK form
    EXPECT_EQ(GbkToUtf8(std::string("a\xFF" "b", 3)), "a\xEF\xBF\xBD" "b");  // not GBK: U+FFFD
}

TEST(GbkText, FieldsKeepWholeCharactersAndRoomForTheZeroAndStopAtZeroOrWidth) {
    // Four Chinese characters are eight GBK bytes: a field of 8 holds three.
    EXPECT_EQ(GbkForField("开始铺贴", 8), "\xBF\xAA\xCA\xBC\xC6\xCC");
    EXPECT_EQ(GbkForField("开始铺贴", 9).size(), 8u);
    EXPECT_EQ(GbkForField("ab开", 4), "ab");
    EXPECT_EQ(GbkForField("abc", 0), "");
    const char field[6] = {'a', 'b', 0, 'c', 'd', 'e'};
    EXPECT_EQ(FixedFieldText(field, 6), "ab");
    EXPECT_EQ(FixedFieldText(field + 3, 3), "cde");
}

}  // namespace
}  // namespace v2d
