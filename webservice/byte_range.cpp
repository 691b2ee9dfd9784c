#include "webservice/byte_range.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "base/integer_text.h"

namespace v2d::web {

namespace {

constexpr uint64_t kHuge = std::numeric_limits<uint64_t>::max();

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Decimal digits only; a number too long for 64 bits lies past any file.
std::optional<uint64_t> Position(std::string_view digits) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::optional<long long> value = ParseWholeNumber(digits);
    return value ? static_cast<uint64_t>(*value) : kHuge;
}

bool IsBytesUnit(std::string_view unit) {
    return unit.size() == 5 && std::equal(unit.begin(), unit.end(), "bytes", [](char a, char b) {
               return (a | 0x20) == b;
           });
}

}  // namespace

RangeDecision DecideRange(std::string_view header, uint64_t size) {
    const size_t equals = header.find('=');
    if (equals == std::string_view::npos || !IsBytesUnit(Trimmed(header.substr(0, equals)))) return {};
    const std::string_view spec = Trimmed(header.substr(equals + 1));
    const size_t dash = spec.find('-');
    if (spec.find(',') != std::string_view::npos || dash == std::string_view::npos) return {};
    const std::string_view from = spec.substr(0, dash), to = spec.substr(dash + 1);

    if (from.empty()) {  // the last `to` bytes
        const std::optional<uint64_t> suffix = Position(to);
        if (!suffix) return {};
        if (*suffix == 0 || size == 0) return {RangeAnswer::Unsatisfiable};
        const uint64_t length = std::min(*suffix, size);
        return {RangeAnswer::Part, size - length, length};
    }
    const std::optional<uint64_t> first = Position(from);
    const std::optional<uint64_t> last = to.empty() ? std::optional<uint64_t>(kHuge) : Position(to);
    if (!first || !last || *last < *first) return {};
    if (*first >= size) return {RangeAnswer::Unsatisfiable};
    return {RangeAnswer::Part, *first, std::min(*last, size - 1) - *first + 1};
}

}  // namespace v2d::web
