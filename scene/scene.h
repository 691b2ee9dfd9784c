#pragma once
// The scene: background photograph, the record list and its companion lists.
// One instance, owned by the main window (or by a command-line run).
#include <QImage>

#include <memory>
#include <vector>

#include "scene/v2d_polygon.h"

namespace v2d {

class Scene {
public:
    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    Scene(Scene&&) = default;
    Scene& operator=(Scene&&) = default;

    QImage background;  // its size is the scene size
    std::vector<PolygonPtr> PolyList;  // bottom to top; owns the records
    std::vector<V2dGroupPL> GroupList;
    std::vector<std::unique_ptr<V2dPolygonMesh>> MeshList;
    std::vector<std::unique_ptr<V2dPolygonEx>> FrameSetList;

    int count() const { return static_cast<int>(PolyList.size()); }
    V2dPolygon* at(int i) const { return PolyList[static_cast<size_t>(i)].get(); }

    // Appends and returns the record.
    V2dPolygon* Append(PolygonPtr record);
    V2dPolygon* Insert(int position, PolygonPtr record);
    // Takes a record out of PolyList without freeing it; its mesh or frame set
    // goes with FreePolygon only.
    PolygonPtr Take(V2dPolygon* record);
    // Removes the record from PolyList and frees it with its mesh or frame set.
    // References to it (group members, parts' group) are cleared.
    void FreePolygon(V2dPolygon* record);

    int IndexOfPolygon(const V2dPolygon* record) const;
    int FindMesh(const V2dPolygon* record) const;
    int FindFrameSet(const V2dPolygon* record) const;
    V2dPolygonMesh* MeshOf(const V2dPolygon* record) const;
    V2dPolygonEx* FrameSetOf(const V2dPolygon* record) const;
    std::vector<V2dPolygon*> GroupMembers(const V2dPolygon* record) const;

    // Frees every record and empties all lists (the background stays).
    void ClearScene();

    // The text the region list shows for record i: "[owner]name" for model
    // parts, with "[group]" put in front for members of a group.
    std::string ListText(int i) const;
};

}  // namespace v2d
