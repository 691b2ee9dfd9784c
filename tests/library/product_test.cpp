#include <gtest/gtest.h>

#include "library/product.h"

namespace v2d {
namespace {

// The text comes back byte for byte, odd or hostile; the values are what the
// descriptor says, or the defaults where it says nothing usable.
TEST(Product, KeepsItsTextAndReadsItsValues) {
    const std::string odd[] = {"", "&&", "=", "PartsName", "PartsName=a=b&&PartsName=c&", " PartsSpecs =1*2 ",
                               std::string("PartsName=\0x&\xff\xfe", 16), std::string(5000, '&')};
    for (const std::string& text : odd) EXPECT_EQ(Product::Parse(text).descriptor(), text);

    const Product p = Product::Parse(
        "PartsName2=沙发&x=y&PartsNumber=S-1&SalesName=美家&PartsSpecs=2000*900*800&PartsPrice= 12.5&PartsUnit=roll"
        "&PartsPerBox=+7&PatternRepeat=530&FanSheXiShu=35&PSTypeMemo=沙发&PSTypeName=帘身&PicUrl=http://h/a?b=c");
    EXPECT_EQ(p.name(), "沙发");
    EXPECT_EQ(p.number(), "S-1");
    EXPECT_EQ(p.brand(), "美家");
    EXPECT_EQ(p.size().width, 2000);
    EXPECT_EQ(p.size().height, 900);
    EXPECT_EQ(p.pictureSize().height, 530);  // a roll: its width by the repeat
    EXPECT_EQ(p.priceText(), " 12.5");
    EXPECT_EQ(p.price().value, 12.5);
    EXPECT_EQ(p.unit(), PriceUnit::Roll);
    EXPECT_EQ(p.piecesPerBox(), 7);
    EXPECT_EQ(p.reflection(), 35);
    EXPECT_EQ(p.kind(), ModelKind::Furniture);
    EXPECT_EQ(p.partKind(), ModelPartKind::CurtainBody);
    EXPECT_EQ(p.pictureUrl(), "http://h/a?b=c");

    const Product q = Product::Parse("PartsSpecs=abc*&PartsUnit=桶&PartsPerBox=x&FanSheXiShu=1e3&PatternRepeat=-4");
    EXPECT_EQ(q.size().width, 600);
    EXPECT_EQ(q.unit(), PriceUnit::Piece);
    EXPECT_FALSE(q.piecesPerBox());
    EXPECT_FALSE(q.reflection());
    EXPECT_EQ(q.patternRepeat(), -4);
    EXPECT_EQ(q.kind(), ModelKind::Uncategorised);
}

TEST(Product, PriceIsAboveZeroAndBelowTheLimit) {
    const struct {
        const char* text;
        PriceProblem problem;
    } cases[] = {{"9.50", PriceProblem::None},    {"", PriceProblem::Unknown},        {"0", PriceProblem::Unknown},
                 {"-3", PriceProblem::Unknown},   {"abc", PriceProblem::Unknown},     {"nan", PriceProblem::Unknown},
                 {"1e9", PriceProblem::TooLarge}, {"1e999", PriceProblem::TooLarge}, {"inf", PriceProblem::TooLarge}};
    for (const auto& c : cases) {
        EXPECT_EQ(ReadPrice(c.text).problem, c.problem) << c.text;
        EXPECT_EQ(ReadPrice(c.text).value.has_value(), c.problem == PriceProblem::None) << c.text;
    }
}

// An exact memo first, then a memo naming a word anywhere.
TEST(Product, KindFromTheCategoryMemo) {
    const std::pair<const char*, ModelKind> cases[] = {
        {"", ModelKind::Uncategorised},       {"沙发", ModelKind::Furniture},      {"装饰画", ModelKind::Painting},
        {"欧式装饰画", ModelKind::Painting},  {"地毯", ModelKind::Rug},            {"窗帘", ModelKind::Curtain},
        {"装饰线", ModelKind::DecorationLine}, {"装饰线条", ModelKind::InPlane},   {"门", ModelKind::Door},
        {"推拉门", ModelKind::InPlane},       {"背景墙", ModelKind::FeatureWall}, {"电视背景墙", ModelKind::InPlane},
        {"门口地毯", ModelKind::Rug}};
    for (const auto& [memo, kind] : cases) EXPECT_EQ(ModelKindOf(memo), kind) << memo;
    EXPECT_EQ(ModelPartKindOf("帘身"), ModelPartKind::CurtainBody);
    EXPECT_EQ(ModelPartKindOf("帘身2"), ModelPartKind::Plain);
}

}  // namespace
}  // namespace v2d
