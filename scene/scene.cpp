#include "scene/scene.h"

#include <algorithm>

#include "scene/owned_by.h"

namespace v2d {

void Scene::GiveIdentity(V2dPolygon& record) {
    if (record.id && IndexOf(record.id) < 0) {
        lastId_ = std::max(lastId_, record.id.value);
        return;
    }
    record.id = RecordId{++lastId_};
}

V2dPolygon* Scene::Append(PolygonPtr record) { return Insert(count(), std::move(record)); }

V2dPolygon* Scene::Insert(int position, PolygonPtr record) {
    GiveIdentity(*record);
    position = std::clamp(position, 0, count());
    auto it = PolyList.insert(PolyList.begin() + position, std::move(record));
    return it->get();
}

void Scene::Move(const V2dPolygon* record, int position) {
    const int from = IndexOfPolygon(record);
    if (from < 0) return;
    PolygonPtr taken = std::move(PolyList[static_cast<size_t>(from)]);
    PolyList.erase(PolyList.begin() + from);
    position = std::clamp(position, 0, count());
    PolyList.insert(PolyList.begin() + position, std::move(taken));
}

PolygonPtr Scene::Take(const V2dPolygon* record) {
    int index = IndexOfPolygon(record);
    if (index < 0) return nullptr;
    PolygonPtr taken = std::move(PolyList[static_cast<size_t>(index)]);
    PolyList.erase(PolyList.begin() + index);
    return taken;
}

std::vector<PolygonPtr> Scene::TakeAll() { return std::exchange(PolyList, {}); }

void Scene::FreePolygon(const V2dPolygon* record) {
    if (!record) return;
    TakeMesh(record);
    TakeFrameSet(record);
    for (auto& other : PolyList)
        if (other->group == record) other->group = nullptr;
    LeaveGroups(record);
    PolygonPtr owned = Take(record);  // destroyed here, with its pictures
}

V2dPolygonMesh* Scene::AddMesh(std::unique_ptr<V2dPolygonMesh> mesh) {
    MeshList.push_back(std::move(mesh));
    return MeshList.back().get();
}

V2dPolygonEx* Scene::AddFrameSet(std::unique_ptr<V2dPolygonEx> frames) {
    FrameSetList.push_back(std::move(frames));
    return FrameSetList.back().get();
}

std::unique_ptr<V2dPolygonMesh> Scene::TakeMesh(const V2dPolygon* record) { return TakeOwnedBy(MeshList, record); }

std::unique_ptr<V2dPolygonEx> Scene::TakeFrameSet(const V2dPolygon* record) {
    return TakeOwnedBy(FrameSetList, record);
}

void Scene::AddGroup(V2dGroupPL group) { GroupList.push_back(std::move(group)); }

void Scene::SetGroups(std::vector<V2dGroupPL> groups) { GroupList = std::move(groups); }

void Scene::LeaveGroups(const V2dPolygon* record) {
    for (auto it = GroupList.begin(); it != GroupList.end();) {
        std::erase(it->members, record);
        it = it->members.size() < 2 ? GroupList.erase(it) : it + 1;
    }
}

int Scene::IndexOfPolygon(const V2dPolygon* record) const {
    for (size_t i = 0; i < PolyList.size(); ++i)
        if (PolyList[i].get() == record) return static_cast<int>(i);
    return -1;
}

int Scene::IndexOf(RecordId id) const {
    if (!id) return -1;
    for (size_t i = 0; i < PolyList.size(); ++i)
        if (PolyList[i]->id == id) return static_cast<int>(i);
    return -1;
}

V2dPolygon* Scene::Find(RecordId id) {
    const int i = IndexOf(id);
    return i < 0 ? nullptr : at(i);
}

const V2dPolygon* Scene::Find(RecordId id) const {
    const int i = IndexOf(id);
    return i < 0 ? nullptr : at(i);
}

V2dPolygon* Scene::Writable(const V2dPolygon* record) {
    const int i = IndexOfPolygon(record);
    return i < 0 ? nullptr : at(i);
}

int Scene::FindMesh(const V2dPolygon* record) const {
    for (size_t i = 0; i < MeshList.size(); ++i)
        if (MeshList[i]->owner == record) return static_cast<int>(i);
    return -1;
}

int Scene::FindFrameSet(const V2dPolygon* record) const {
    for (size_t i = 0; i < FrameSetList.size(); ++i)
        if (FrameSetList[i]->owner == record) return static_cast<int>(i);
    return -1;
}

V2dPolygonMesh* Scene::MeshOf(const V2dPolygon* record) {
    int i = FindMesh(record);
    return i < 0 ? nullptr : MeshList[static_cast<size_t>(i)].get();
}

const V2dPolygonMesh* Scene::MeshOf(const V2dPolygon* record) const {
    return const_cast<Scene*>(this)->MeshOf(record);
}

V2dPolygonEx* Scene::FrameSetOf(const V2dPolygon* record) {
    int i = FindFrameSet(record);
    return i < 0 ? nullptr : FrameSetList[static_cast<size_t>(i)].get();
}

const V2dPolygonEx* Scene::FrameSetOf(const V2dPolygon* record) const {
    return const_cast<Scene*>(this)->FrameSetOf(record);
}

std::vector<V2dPolygon*> Scene::GroupMembers(const V2dPolygon* record) {
    std::vector<V2dPolygon*> members;
    if (!record) return members;
    for (const auto& other : PolyList)
        if (other->group == record) members.push_back(other.get());
    return members;
}

std::vector<const V2dPolygon*> Scene::GroupMembers(const V2dPolygon* record) const {
    std::vector<const V2dPolygon*> members;
    for (V2dPolygon* member : const_cast<Scene*>(this)->GroupMembers(record)) members.push_back(member);
    return members;
}

void Scene::ClearScene() {
    GroupList.clear();
    FrameSetList.clear();
    MeshList.clear();
    PolyList.clear();
}

std::string Scene::ListText(int i) const {
    const V2dPolygon* record = at(i);
    std::string text = record->group ? "[" + record->group->name + "]" + record->name : record->name;
    for (const V2dGroupPL& g : GroupList)
        if (std::find(g.members.begin(), g.members.end(), record) != g.members.end())
            text = "[" + g.name + "]" + text;
    return text;
}

}  // namespace v2d
