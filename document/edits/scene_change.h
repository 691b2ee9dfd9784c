#pragma once
// What an edit changed, as the document announces it after every apply,
// undo or redo: the records it touched and which aspects of them.
#include <QFlags>

#include <vector>

#include "scene/v2d_polygon.h"

namespace v2d {

enum class ChangeAspect : unsigned {
    Picture = 1,    // a record's picture (laid, painted, drawn on)
    Tone = 2,       // brightness, reflection, shadow settings
    Geometry = 4,   // corners, origin, scale, rotation frame
    Order = 8,      // records added, removed or moved in the list
    Selection = 16, // the focused and selected records
};
Q_DECLARE_FLAGS(ChangeAspects, ChangeAspect)
Q_DECLARE_OPERATORS_FOR_FLAGS(ChangeAspects)

struct SceneChange {
    // The touched records that are in the scene now.
    std::vector<const V2dPolygon*> records;
    ChangeAspects aspects;
    bool touches(ChangeAspect aspect) const { return aspects.testFlag(aspect); }
};

}  // namespace v2d
