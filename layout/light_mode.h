#pragma once
// Which light a laid region takes, kept in its product descriptor
// (partsInfo) as the item "LightMode": absent (or 0) for the photo's own
// brightness beneath the region, 1 for the room's light with the old
// surface's pattern taken out. A region without the item renders as it
// always has; laying a product keeps the region's item.
#include <string>
#include <string_view>

namespace v2d {

enum class LightMode { Photo, Room };

LightMode ReadLightMode(std::string_view descriptor);

// What the room's item adds to a descriptor ("&LightMode=1").
inline constexpr size_t kLightItemBytes = 12;

// The descriptor with its light item set to `mode` (none for Photo); the
// other items are kept as they were, in their order, the result within
// `byteLimit` bytes by cutting the other items at a character's end.
std::string WithLightMode(std::string_view descriptor, LightMode mode, size_t byteLimit = std::string::npos);

// "photo" / "room", as the command line spells them.
const char* LightModeWord(LightMode mode);
bool ParseLightModeWord(std::string_view word, LightMode& mode);

}  // namespace v2d
