#pragma once
// Texts are UTF-8 in memory and GBK inside scheme, model and report files.
#include <string>
#include <string_view>

namespace v2d {

// UTF-8 to GBK; characters GBK lacks become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// GBK to UTF-8; undecodable bytes become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// The GBK form of a UTF-8 text cut to fit a zero-terminated field of
// `width` bytes, at a character boundary so the last character stays whole.
std::string GbkForField(std::string_view utf8, size_t width);

// Reads a zero-terminated text from a fixed-width field; without a zero
// the whole field is the text.
std::string_view FixedFieldText(const char* field, size_t width);

// The longest prefix of a UTF-8 text within `bytes` that ends on a whole character.
std::string_view Utf8Prefix(std::string_view text, size_t bytes);

}  // namespace v2d
