#include "scene/scene.h"

#include <algorithm>

namespace v2d {

V2dPolygon* Scene::Append(PolygonPtr record) {
    PolyList.push_back(std::move(record));
    return PolyList.back().get();
}

V2dPolygon* Scene::Insert(int position, PolygonPtr record) {
    position = std::clamp(position, 0, count());
    auto it = PolyList.insert(PolyList.begin() + position, std::move(record));
    return it->get();
}

PolygonPtr Scene::Take(V2dPolygon* record) {
    int index = IndexOfPolygon(record);
    if (index < 0) return nullptr;
    PolygonPtr taken = std::move(PolyList[static_cast<size_t>(index)]);
    PolyList.erase(PolyList.begin() + index);
    return taken;
}

void Scene::FreePolygon(V2dPolygon* record) {
    if (!record) return;
    if (int m = FindMesh(record); m >= 0) MeshList.erase(MeshList.begin() + m);
    if (int f = FindFrameSet(record); f >= 0) FrameSetList.erase(FrameSetList.begin() + f);
    for (auto& other : PolyList)
        if (other->group == record) other->group = nullptr;
    for (auto it = GroupList.begin(); it != GroupList.end();) {
        std::erase(it->members, record);
        it = it->members.size() < 2 ? GroupList.erase(it) : it + 1;
    }
    PolygonPtr owned = Take(record);  // destroyed here, with its pictures
}

int Scene::IndexOfPolygon(const V2dPolygon* record) const {
    for (size_t i = 0; i < PolyList.size(); ++i)
        if (PolyList[i].get() == record) return static_cast<int>(i);
    return -1;
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

V2dPolygonMesh* Scene::MeshOf(const V2dPolygon* record) const {
    int i = FindMesh(record);
    return i < 0 ? nullptr : MeshList[static_cast<size_t>(i)].get();
}

V2dPolygonEx* Scene::FrameSetOf(const V2dPolygon* record) const {
    int i = FindFrameSet(record);
    return i < 0 ? nullptr : FrameSetList[static_cast<size_t>(i)].get();
}

std::vector<V2dPolygon*> Scene::GroupMembers(const V2dPolygon* record) const {
    std::vector<V2dPolygon*> members;
    if (!record) return members;
    for (const auto& other : PolyList)
        if (other->group == record) members.push_back(other.get());
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
