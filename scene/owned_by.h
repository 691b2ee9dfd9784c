#pragma once
// Taking a record's companion (its warp mesh or frame set) out of a list
// that owns them.
#include <algorithm>
#include <memory>
#include <vector>

#include "scene/v2d_polygon.h"

namespace v2d {

// The item whose owner is `owner`, out of the list; null when none.
template <typename T>
std::unique_ptr<T> TakeOwnedBy(std::vector<std::unique_ptr<T>>& list, const V2dPolygon* owner) {
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& item) { return item->owner == owner; });
    if (it == list.end()) return nullptr;
    std::unique_ptr<T> taken = std::move(*it);
    list.erase(it);
    return taken;
}

}  // namespace v2d
