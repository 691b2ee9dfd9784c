#pragma once
// Shared text functions of the whole program, used with the product
// descriptor ("PartsName=…&PartsNumber=…&…") and product sizes.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace v2d {

// The value of the first "&"-separated item whose name (before its first
// "=", blanks trimmed) is the key, or the key followed by a whole number
// (PartsName2 answers to PartsName). Empty when no item matches.
// Product descriptors are read into ProductDescriptor (product_descriptor.h);
// GetParam serves the files that carry such items.
std::string GetParam(std::string_view descriptor, std::string_view key);
// True when an item named itemName answers to the key by GetParam's rule.
bool ParamNameMatches(std::string_view itemName, std::string_view key);
// The descriptor without its items that answer to any of the keys, the
// others kept in their order; the descriptor itself when none answers.
std::string WithoutParams(std::string_view descriptor, std::span<const char* const> keys);

// The pieces of the text between occurrences of the delimiter, the last
// piece included ("a,,b" gives "a", "", "b"; "" gives one empty piece).
void SplitText(std::string_view text, std::string_view delimiter, std::vector<std::string>& list);
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter);

struct ProductSize {
    int width = 600;   // millimetres
    int height = 600;
};
inline constexpr int kDefaultProductSide = 600;

// "800*400*12" gives 800 x 400; each missing or non-numeric piece is 600.
ProductSize ParseProductSpecs(std::string_view specs);

// A date as the program prints dates: year-month-day, no leading zeros
// (2012-3-5).
std::string FormatShortDate(int year, int month, int day);

// The text without the spaces, tabs and line ends around it.
std::string_view TrimBlanks(std::string_view text);

// A number with this many decimals, halves away from zero, "." as the point,
// no grouping ("12.50"); empty for what does not fit 64 characters.
std::string FormatDecimals(double value, int decimals);

// True when the bytes are well-formed UTF-8, the only form texts are stored in.
bool IsValidUtf8(std::string_view text);
inline constexpr const char* kMsgNotUtf8 = "文字不是 UTF-8 编码。";
// The characters of a UTF-8 text (its bytes that begin one).
size_t CharacterCount(std::string_view utf8);

}  // namespace v2d
