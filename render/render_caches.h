#pragma once
// The renderer's own pictures per record: the toned picture of a region,
// the warped picture of a model, the shaded patch of a shadow region, and
// the light map a region with an edge blur is toned from, and the mask a
// shadow region was last shaded with. A redraw that leaves a record
// unchanged draws it from here. Kept by record identity, never saved;
// entries of records that left the scene go at the next full pass.
#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "scene/scene.h"

namespace v2d {

class RenderCaches {
public:
    // A null picture when the record has none.
    const QImage& of(const V2dPolygon& record) const {
        const auto found = pictures_.find(record.id);
        return found == pictures_.end() ? none_ : found->second;
    }
    void set(const V2dPolygon& record, QImage picture) {
        if (picture.isNull())
            pictures_.erase(record.id);
        else
            pictures_[record.id] = std::move(picture);
    }
    // Dropping a record's picture drops its light map too.
    void drop(const V2dPolygon& record) {
        pictures_.erase(record.id);
        lightMaps_.erase(record.id);
    }
    void clear() {
        pictures_.clear();
        lightMaps_.clear();
        shadowMasks_.clear();
    }
    // Only these records (the scene's, in any order) keep theirs.
    void KeepOnly(std::vector<RecordId> records) {
        std::sort(records.begin(), records.end());
        const auto gone = [&](const auto& entry) {
            return !std::binary_search(records.begin(), records.end(), entry.first);
        };
        std::erase_if(pictures_, gone);
        std::erase_if(lightMaps_, gone);
        std::erase_if(shadowMasks_, gone);
    }
    int64_t bytes(const V2dPolygon* except = nullptr) const {
        const RecordId skip = except ? except->id : RecordId{};
        int64_t total = 0;
        for (const auto& [record, picture] : pictures_)
            if (!skip || record != skip) total += picture.sizeInBytes();
        for (const auto& [record, kept] : lightMaps_)
            if (!skip || record != skip) total += kept.second.sizeInBytes();
        return total;
    }

    // The grey mask a shadow region was last shaded with (null when none).
    const QImage& shadowMaskOf(const V2dPolygon& region) const {
        const auto found = shadowMasks_.find(region.id);
        return found == shadowMasks_.end() ? none_ : found->second;
    }
    void setShadowMask(const V2dPolygon& region, QImage mask) { shadowMasks_[region.id] = std::move(mask); }

    // The light map a region is toned from (the room's light, or the
    // smoothed one of an edge blur), kept with what it was made from (the
    // outline, the light, the blur, the rows, the plane and the photo): a
    // change of brightness or picture, a laying or an undo tones from it
    // again instead of making it anew. A null picture when none matches.
    struct LightMapSource {
        std::vector<V2d_Point> points;
        std::vector<int32_t> indexList;
        LightMode light = LightMode::Photo;
        int radius = 0;
        int rows = 0;
        std::array<V2d_Point, 4> corners{};
        int realWidth = 0, realHeight = 0;
        qint64 photo = 0;
        bool operator==(const LightMapSource&) const = default;
    };
    const QImage& lightMapOf(const V2dPolygon& record, const LightMapSource& source) const {
        const auto found = lightMaps_.find(record.id);
        return found == lightMaps_.end() || !(found->second.first == source) ? none_ : found->second.second;
    }
    void setLightMap(const V2dPolygon& record, LightMapSource source, QImage map) {
        ++lightMapsMade_;
        if (map.isNull())
            lightMaps_.erase(record.id);
        else
            lightMaps_[record.id] = {std::move(source), std::move(map)};
    }

    // How many light maps were made and offered here, for the checks that none is made again.
    int64_t lightMapsMade() const { return lightMapsMade_; }

private:
    int64_t lightMapsMade_ = 0;
    std::map<RecordId, QImage> pictures_;
    std::map<RecordId, std::pair<LightMapSource, QImage>> lightMaps_;
    std::map<RecordId, QImage> shadowMasks_;
    QImage none_;
};

}  // namespace v2d
