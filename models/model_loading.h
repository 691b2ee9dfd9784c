#pragma once
// Turning a model file into scene records: a single record is added as it
// is; several records become the parts of a new owner record that joins
// their outlines and composes their pictures.
#include <string>
#include <vector>

#include "scene/model_file.h"
#include "scene/scene.h"

namespace v2d {

inline constexpr uint32_t kModelCanvasColor = 0x808080;

// A kind-1 part's origin and scale moved into its outline, its corners set
// to the outline's box and its pictures stretched to that box.
void BakePlacement(V2dPolygon& part);

// The owner of `parts` (in their order), named `ownerName`; each part's
// group is set to it.
PolygonPtr BuildModelOwner(const std::vector<V2dPolygon*>& parts, const std::string& ownerName);

// Appends the model's records to the scene (owner first, then its parts),
// with the frame set of a single cut-out record; returns how many records
// were added. `ownerName` is the model file's name without folder and
// extension.
int AddModelToScene(Scene& scene, ModelFile&& model, const std::string& ownerName);

}  // namespace v2d
