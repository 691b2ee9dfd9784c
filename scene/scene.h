#pragma once
// The scene: background photograph, the record list and its companion lists
// (groups, warp meshes, rotation frames). One instance, owned by the
// document (or by a command-line run). The lists are the scene's own: they
// are read through const views and changed only through the operations
// below, which keep the companion lists in step with the records.
#include <QImage>

#include <memory>
#include <ranges>
#include <span>
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

    // --- Reading --------------------------------------------------------------
    int count() const { return static_cast<int>(PolyList.size()); }
    V2dPolygon* at(int i) { return PolyList[static_cast<size_t>(i)].get(); }
    const V2dPolygon* at(int i) const { return PolyList[static_cast<size_t>(i)].get(); }
    // The records bottom to top, the groups, meshes and frame sets, read only.
    auto records() const { return PolyList | std::views::transform(&ReadOnly<V2dPolygon>); }
    std::span<const V2dGroupPL> groups() const { return GroupList; }
    auto meshes() const { return MeshList | std::views::transform(&ReadOnly<V2dPolygonMesh>); }
    auto frameSets() const { return FrameSetList | std::views::transform(&ReadOnly<V2dPolygonEx>); }

    int IndexOfPolygon(const V2dPolygon* record) const;
    int IndexOf(RecordId id) const;
    V2dPolygon* Find(RecordId id);
    const V2dPolygon* Find(RecordId id) const;
    // The scene's own (writable) record at the address a const view gave.
    V2dPolygon* Writable(const V2dPolygon* record);
    int FindMesh(const V2dPolygon* record) const;
    int FindFrameSet(const V2dPolygon* record) const;
    V2dPolygonMesh* MeshOf(const V2dPolygon* record);
    const V2dPolygonMesh* MeshOf(const V2dPolygon* record) const;
    V2dPolygonEx* FrameSetOf(const V2dPolygon* record);
    const V2dPolygonEx* FrameSetOf(const V2dPolygon* record) const;
    // The parts whose owner is `record`, in list order.
    std::vector<V2dPolygon*> GroupMembers(const V2dPolygon* record);
    std::vector<const V2dPolygon*> GroupMembers(const V2dPolygon* record) const;

    // --- Changing -------------------------------------------------------------
    // Appends and returns the record. A record entering the scene gets an
    // identity unless it brings one no record here has (one coming back).
    V2dPolygon* Append(PolygonPtr record);
    V2dPolygon* Insert(int position, PolygonPtr record);
    // The record goes to `position` (clamped), keeping its identity.
    void Move(const V2dPolygon* record, int position);
    // Takes a record out of the list without freeing it; its mesh, frame set
    // and group memberships stay (TakeMesh, TakeFrameSet and LeaveGroups
    // take them).
    PolygonPtr Take(const V2dPolygon* record);
    // Every record out of the list, bottom to top; the companion lists stay.
    std::vector<PolygonPtr> TakeAll();
    // Removes the record from the list and frees it with its mesh or frame
    // set. References to it (group members, parts' group) are cleared.
    void FreePolygon(const V2dPolygon* record);

    V2dPolygonMesh* AddMesh(std::unique_ptr<V2dPolygonMesh> mesh);
    V2dPolygonEx* AddFrameSet(std::unique_ptr<V2dPolygonEx> frames);
    std::unique_ptr<V2dPolygonMesh> TakeMesh(const V2dPolygon* record);
    std::unique_ptr<V2dPolygonEx> TakeFrameSet(const V2dPolygon* record);
    void AddGroup(V2dGroupPL group);
    void SetGroups(std::vector<V2dGroupPL> groups);
    // The record leaves every group; a group left with fewer than two members goes.
    void LeaveGroups(const V2dPolygon* record);

    // Frees every record and empties all lists (the background stays).
    void ClearScene();

    // The text the region list shows for record i: "[owner]name" for model
    // parts, with "[group]" put in front for members of a group.
    std::string ListText(int i) const;

private:
    template <class T>
    static const T* ReadOnly(const std::unique_ptr<T>& owned) {
        return owned.get();
    }
    void GiveIdentity(V2dPolygon& record);

    std::vector<PolygonPtr> PolyList;  // bottom to top; owns the records
    std::vector<V2dGroupPL> GroupList;
    std::vector<std::unique_ptr<V2dPolygonMesh>> MeshList;
    std::vector<std::unique_ptr<V2dPolygonEx>> FrameSetList;
    uint64_t lastId_ = 0;
};

}  // namespace v2d
