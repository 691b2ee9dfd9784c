#pragma once
// The one way a text becomes an integer, for edit boxes, product sizes and
// command-line options alike: decimal digits with an optional sign and
// blanks (space, tab, CR, LF) around them; nothing else.
#include <QString>

#include <optional>
#include <string_view>

namespace v2d {

std::optional<long long> ParseWholeNumber(std::string_view text);
// The same within the 32-bit range that edits and files hold.
std::optional<int> ParseInt(std::string_view text);
std::optional<int> StrictInteger(const QString& text);

// The message box text for a text that must be an integer and is not.
QString ConversionMessage(const QString& text);

}  // namespace v2d
