#pragma once
// Number edits of the main window: how their text becomes an integer, and
// the message shown when a text that must be a number is not one.
#include <QString>

#include <optional>

namespace v2d {

// The whole text as a decimal integer (surrounding blanks allowed).
std::optional<int> StrictInteger(const QString& text);
// The message box text for a failed conversion.
QString ConversionMessage(const QString& text);

}  // namespace v2d
