#pragma once
// The laying settings kept in a region's product descriptor (partsInfo) as
// extra items that older readers pass over: "LayPattern", "JointWidth",
// "JointColor" (0x00BBGGRR in decimal), "TurnSeed" (only with random turns),
// "LayOrigin" and "LaySize" (the tile as laid, "width*height" in mm).
// A plain laying writes none of them, so its descriptor stays as it was.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "layout/laying_pattern.h"

namespace v2d {

// Plain settings for a descriptor without the items; values out of range
// are held within it. A "LayPattern" number the pattern table has no row
// for is kept as it is, so the laying and the quote refuse it.
PatternSettings ReadPatternSettings(std::string_view descriptor);
// The tile's size as laid, when the descriptor keeps it.
struct LaidSize {
    int width = 0, height = 0;
};
std::optional<LaidSize> ReadLaidSize(std::string_view descriptor);

// The descriptor with its laying items replaced by these settings' (none
// for plain settings: then a descriptor without such items comes back
// unchanged). The product's own items are cut at a character's end so the
// whole stays within `byteLimit` bytes.
std::string WithPatternSettings(std::string_view descriptor, const PatternSettings& settings, LaidSize size,
                                size_t byteLimit = std::string::npos);

}  // namespace v2d
