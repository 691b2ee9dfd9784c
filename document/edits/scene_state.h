#pragma once
// How the records an edit touches stood at one moment, and how to put the
// scene back into such a state. A state names records by their RecordId,
// never by position or address. A record an edit takes out of the list is
// parked in the edit, not freed, and comes back with the same identity (and
// the same address, which a part's owner and the groups hold).
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "render/tiling_settings.h"
#include "scene/scene.h"

namespace v2d {

// The selection by identity: the focused record and the selected ones, in
// the order they were selected. A record out of the list is simply not found.
struct RecordSelection {
    RecordId focused;
    std::vector<RecordId> selected;
};

struct RecordState {
    // The whole record (compared whole to find what changed). The pictures count only where `keepsPictures` says so:
    // a picture the edit did not change is not kept, so history holds no
    // copy of a picture the scene still shows.
    V2dPolygon fields;
    bool keepsPicture = true;
    bool keepsSourcePicture = true;
    // Drawn flat from its picture (a flat colour), not toned: it is drawn
    // so again; any other record is rendered afresh.
    bool drawnFlat = false;
    int frameCurrent = -1;  // the rotation frame shown, for a record with frames
    // How the picture was laid. While `keepsPicture` the pixels come back
    // as they are; once the history thinned them, the picture is laid again.
    std::optional<LayingSettings> relay;

    RecordId id() const { return fields.id; }
};

struct SceneState {
    std::vector<RecordState> records;
    // The list and its groups, for edits that add, remove or reorder records.
    std::optional<std::vector<RecordId>> order;
    std::vector<V2dGroupPL> groups;
    RecordSelection selection;

    // The record's state, null when the state does not hold it.
    const RecordState* Of(RecordId id) const;
};

// Records (with their warp meshes and rotation frames) out of the list while
// the edit that removed or added them is in the state without them.
struct ParkedRecords {
    std::vector<PolygonPtr> records;
    std::vector<std::unique_ptr<V2dPolygonMesh>> meshes;
    std::vector<std::unique_ptr<V2dPolygonEx>> frameSets;
};

// The state of `records` (a record listed twice counts once), with the list
// order when `withOrder`. `drawnFlat` tells the records the renderer draws
// flat from their own picture.
using DrawnFlat = std::function<bool(const V2dPolygon&)>;
SceneState CaptureState(const Scene& scene, std::span<const RecordId> records, bool withOrder,
                        RecordSelection selection, const DrawnFlat& drawnFlat);

// After the change: pictures equal in both states are dropped from both
// (the scene holds them), as are records whose fields did not change at all.
void KeepOnlyChanges(SceneState& before, SceneState& after);

// Records taken out of the list by the operation itself go to `parked`.
void Park(Scene& scene, const V2dPolygon* record, ParkedRecords& parked);

// Lays a record's picture again from its settings.
using Relayer = std::function<void(V2dPolygon& record, const LayingSettings& settings)>;

// Puts the scene into `state`: records leaving the list are parked,
// records coming back are taken from `parked`; then every record's fields.
void RestoreState(Scene& scene, const SceneState& state, ParkedRecords& parked, const Relayer& relay);

// Drops the pixels of pictures that can be laid again; the bytes freed.
size_t ThinLaidPictures(SceneState& state);

// Bytes of picture data the state keeps (shared pictures counted at each holder).
size_t KeptBytes(const SceneState& state);
size_t KeptBytes(const ParkedRecords& parked);

}  // namespace v2d
