#pragma once
// The POV-Ray texture of each kind of rendered floor, declared as FloorTex.
#include <string>

#include "demo/rendered_rooms.h"

namespace v2d::demo {

// The floor as laid, or with `plain` the same finish in one colour, the
// pattern's lightest by its largest channel and without its pattern (the
// white squares of a chequer, the lightest board, the tiles and not their
// joints): under the same light the two renders differ by the pattern alone.
std::string FloorTexture(FloorKind kind, bool plain);

}  // namespace v2d::demo
