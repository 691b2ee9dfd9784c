#pragma once
// What a file answer makes of a request's Range header. The service sends
// one range at most: a header naming several ranges, or one it cannot read,
// is ignored and the whole file goes out (200), which HTTP allows of any
// server; one range that starts past the end is refused (416).
#include <cstdint>
#include <string_view>

namespace v2d::web {

enum class RangeAnswer { Whole, Part, Unsatisfiable };

struct RangeDecision {
    RangeAnswer answer = RangeAnswer::Whole;
    uint64_t first = 0;   // for Part: the first byte sent
    uint64_t length = 0;  // for Part: at least 1, clamped to the file
};

RangeDecision DecideRange(std::string_view header, uint64_t size);

}  // namespace v2d::web
