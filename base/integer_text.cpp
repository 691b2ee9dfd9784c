#include "base/integer_text.h"

#include <charconv>
#include <climits>

namespace v2d {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<long long> ParseWholeNumber(std::string_view text) {
    while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<int> ParseInt(std::string_view text) {
    const std::optional<long long> value = ParseWholeNumber(text);
    if (!value || *value < INT_MIN || *value > INT_MAX) return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<int> StrictInteger(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return ParseInt(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString ConversionMessage(const QString& text) { return QStringLiteral("“%1”不是有效的整数。").arg(text); }

}  // namespace v2d
