#pragma once
// The renderer's own pictures per record: the toned picture of a region,
// the warped picture of a model, the shaded patch of a shadow region, and
// the light map a region with an edge blur is toned from. A
// redraw that leaves a record unchanged draws it from here. Never saved;
// entries of records that left the scene go at the next full pass.
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
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
    // Dropping a record's picture drops its light map too.
    void drop(const V2dPolygon& record) {
        pictures_.erase(&record);
        lightMaps_.erase(&record);
    }
    void clear() {
        pictures_.clear();
        lightMaps_.clear();
    }
    // Only these records (the scene's, in any order) keep theirs.
    void KeepOnly(std::vector<const V2dPolygon*> records) {
        std::sort(records.begin(), records.end());
        const auto gone = [&](const auto& entry) {
            return !std::binary_search(records.begin(), records.end(), entry.first);
        };
        std::erase_if(pictures_, gone);
        std::erase_if(lightMaps_, gone);
    }
    int64_t bytes(const V2dPolygon* except = nullptr) const {
        int64_t total = 0;
        for (const auto& [record, picture] : pictures_)
            if (record != except) total += picture.sizeInBytes();
        for (const auto& [record, kept] : lightMaps_)
            if (record != except) total += kept.second.sizeInBytes();
        return total;
    }
    template <class Visit>
    void ForEach(Visit visit) {
        for (auto& [record, picture] : pictures_) visit(*record, picture);
    }

    // The smoothed light map of a region with an edge blur, kept with what
    // it was made from (the outline, the blur, the rows and the photo): a
    // change of brightness or picture tones from it again instead of
    // stamping and blurring anew. A null picture when none matches.
    struct LightMapSource {
        std::vector<V2d_Point> points;
        std::vector<int32_t> indexList;
        int radius = 0;
        int rows = 0;
        qint64 photo = 0;
        bool operator==(const LightMapSource&) const = default;
    };
    const QImage& lightMapOf(const V2dPolygon& record, const LightMapSource& source) const {
        const auto found = lightMaps_.find(&record);
        return found == lightMaps_.end() || !(found->second.first == source) ? none_ : found->second.second;
    }
    void setLightMap(const V2dPolygon& record, LightMapSource source, QImage map) {
        if (map.isNull())
            lightMaps_.erase(&record);
        else
            lightMaps_[&record] = {std::move(source), std::move(map)};
    }

private:
    std::unordered_map<const V2dPolygon*, QImage> pictures_;
    std::unordered_map<const V2dPolygon*, std::pair<LightMapSource, QImage>> lightMaps_;
    QImage none_;
};

}  // namespace v2d
