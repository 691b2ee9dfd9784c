#include "library/pub_functions.h"

#include <QStringDecoder>

#include "base/integer_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <climits>

namespace v2d {

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

void SplitText(std::string_view text, std::string_view delimiter, std::vector<std::string>& list) {
    list.clear();
    if (delimiter.empty()) {
        list.emplace_back(text);
        return;
    }
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(delimiter, start);
        if (at == std::string_view::npos) {
            list.emplace_back(text.substr(start));
            return;
        }
        list.emplace_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
}

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> list;
    SplitText(text, delimiter, list);
    return list;
}

bool ParamNameMatches(std::string_view itemName, std::string_view key) {
    const std::string_view name = TrimBlanks(itemName);
    if (name.size() < key.size() || name.substr(0, key.size()) != key) return false;
    const std::string_view rest = name.substr(key.size());
    return rest.empty() || AllDigits(rest);
}

std::string WithoutParams(std::string_view descriptor, std::span<const char* const> keys) {
    std::string kept;
    bool removed = false;
    for (const std::string& item : SplitText(descriptor, "&")) {
        const size_t equals = item.find('=');
        const std::string_view name = std::string_view(item).substr(0, equals);
        if (equals != std::string::npos &&
            std::any_of(keys.begin(), keys.end(), [&](const char* key) { return ParamNameMatches(name, key); })) {
            removed = true;
            continue;
        }
        if (!kept.empty()) kept += '&';
        kept += item;
    }
    return removed ? kept : std::string(descriptor);
}

std::string GetParam(std::string_view descriptor, std::string_view key) {
    for (const std::string& item : SplitText(descriptor, "&")) {
        const size_t equals = item.find('=');
        if (equals != std::string::npos && ParamNameMatches(std::string_view(item).substr(0, equals), key))
            return item.substr(equals + 1);
    }
    return {};
}

ProductSize ParseProductSpecs(std::string_view specs) {
    const std::vector<std::string> pieces = SplitText(specs, "*");
    auto piece = [&](size_t i) {
        const std::optional<int> side = i < pieces.size() ? ParseInt(pieces[i]) : std::nullopt;
        return side.value_or(kDefaultProductSide);
    };
    return {piece(0), piece(1)};
}

std::string FormatDecimals(double value, int decimals) {
    // Halves round away from zero, as a price list is read: 0.125 is 0.13.
    const double scale = std::pow(10.0, decimals);
    if (std::isfinite(value) && std::fabs(value) * scale < 1e15) value = std::round(value * scale) / scale;
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string();
}

std::string FormatShortDate(int year, int month, int day) {
    return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

bool IsValidUtf8(std::string_view text) {
    // Stateless: a sequence cut off at the end is an error, not kept for more input.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return !decoder.hasError();
}

size_t CharacterCount(std::string_view utf8) {
    return static_cast<size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace v2d
