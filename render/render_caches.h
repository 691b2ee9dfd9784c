#pragma once
// The renderer's own pictures per record: the toned picture of a region,
// the warped picture of a model, the shaded patch of a shadow region. A
// redraw that leaves a record unchanged draws it from here. Never saved;
// entries of records that left the scene go at the next full pass.
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "scene/scene.h"

namespace v2d {

class RenderCaches {
public:
    // A null picture when the record has none.
    const QImage& of(const V2dPolygon& record) const {
        const auto found = pictures_.find(&record);
        return found == pictures_.end() ? none_ : found->second;
    }
    void set(const V2dPolygon& record, QImage picture) {
        if (picture.isNull())
            pictures_.erase(&record);
        else
            pictures_[&record] = std::move(picture);
    }
    void drop(const V2dPolygon& record) { pictures_.erase(&record); }
    void clear() { pictures_.clear(); }
    // Only these records (the scene's, in any order) keep theirs.
    void KeepOnly(std::vector<const V2dPolygon*> records) {
        std::sort(records.begin(), records.end());
        std::erase_if(pictures_, [&](const auto& entry) {
            return !std::binary_search(records.begin(), records.end(), entry.first);
        });
    }
    int64_t bytes(const V2dPolygon* except = nullptr) const {
        int64_t total = 0;
        for (const auto& [record, picture] : pictures_)
            if (record != except) total += picture.sizeInBytes();
        return total;
    }
    template <class Visit>
    void ForEach(Visit visit) {
        for (auto& [record, picture] : pictures_) visit(*record, picture);
    }

private:
    std::unordered_map<const V2dPolygon*, QImage> pictures_;
    QImage none_;
};

}  // namespace v2d
