#pragma once
// The scene record shared by regions, models, model parts and shadow regions,
// and its companion types. A record owns its outline, index list and pictures;
// pictures are implicitly shared QImages, so a frame that is also the
// record's picture is freed exactly once however many holders it has.
#include <QImage>

#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "scene/parts_info.h"

namespace v2d {

// What a record is. The numbers are the kind byte of the files; a number
// read that names none of these is kept as it is and saved back unchanged.
enum class RecordKind : uint8_t {
    Region = 0,        // ordinary region
    PictureModel = 1,  // picture model or part of a model
    ShadowRegion = 2,
    PictureModel3 = 3,  // drawn like kind 1
    CutOutModel = 4,    // cut-out model with rotation frames
};

inline constexpr size_t kNameBytes = 50;        // GBK, zero-terminated in the file
inline constexpr size_t kPartsInfoBytes = 1024;  // GBK, zero-terminated in the file
inline constexpr uint32_t kDefaultShadowColor = 0x808080;

// A record's identity: given by the scene when the record enters it and kept
// while the record lives, through moves in the list and while an edit keeps
// it out of the list. 0 names no record.
struct RecordId {
    uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend auto operator<=>(const RecordId&, const RecordId&) = default;
};

// A record's picture: a QImage compared by identity (the pixels it shares),
// never pixel by pixel, so comparing records costs nothing per pixel.
class Picture : public QImage {
public:
    Picture() = default;
    explicit Picture(const QImage& image) : QImage(image) {}
    explicit Picture(QImage&& image) : QImage(std::move(image)) {}
    Picture& operator=(const QImage& image) {
        QImage::operator=(image);
        return *this;
    }
    Picture& operator=(QImage&& image) {
        QImage::operator=(std::move(image));
        return *this;
    }
    friend bool operator==(const Picture& a, const Picture& b) { return a.cacheKey() == b.cacheKey(); }
};

// A record compares whole: every field, pictures by identity. The history
// records what this comparison sees, so a field added here is undone
// without any change to the edits.
struct V2dPolygon {
    RecordId id;       // given by the scene; copies made outside it have none
    std::string name;  // UTF-8; at most 49 GBK bytes survive a save
    int32_t realWidth = 0;
    int32_t realHeight = 0;
    std::vector<V2d_Point> points;  // the outline
    V2d_Point corners[4] = {};      // top-left, top-right, bottom-right, bottom-left
    Picture picture;                // rendered region picture or model picture; null = none
    std::vector<int32_t> indexList;  // last point index of each ring
    int32_t lighten = 0;
    uint32_t pictureSize = 0;  // picture block length, meaningful while reading and writing
    int32_t reflect = 0;
    PartsInfo partsInfo;  // UTF-8 product descriptor, read once when set
    int32_t blurRadius = 0;
    RecordKind kind = RecordKind::Region;
    int32_t originX = 0;
    int32_t originY = 0;
    Picture sourcePicture;  // kind 1: model picture as loaded
    uint32_t sourcePictureSize = 0;
    int32_t scaleX = 100;
    int32_t scaleY = 100;
    uint8_t toneEnabled = 1;
    const V2dPolygon* group = nullptr;  // owning model record, in the same PolyList
    uint8_t castShadow = 1;       // kind 0: 0 means the region has a warp mesh
    int32_t shadowX = 5;
    int32_t shadowY = 5;
    int32_t shadowRadius = 10;
    uint32_t shadowColor = kDefaultShadowColor;

    friend bool operator==(const V2dPolygon&, const V2dPolygon&) = default;

    int32_t pointCount() const { return static_cast<int32_t>(points.size()); }
    int32_t indexCount() const { return static_cast<int32_t>(indexList.size()); }
    // A region whose castShadow byte is 0 carries a warp mesh in the file.
    bool hasMesh() const { return kind == RecordKind::Region && castShadow == 0; }
    // Filled from an outline: an ordinary or a shadow region.
    bool isRegion() const { return kind == RecordKind::Region || kind == RecordKind::ShadowRegion; }
    // Drawn from its own picture: a picture model (kind 1 or 3) or a cut-out.
    // A kind number no build knows is neither a region nor a model.
    bool isModel() const {
        return kind == RecordKind::PictureModel || kind == RecordKind::PictureModel3 || kind == RecordKind::CutOutModel;
    }
};

// A model the user placed and the model menu acts on: a picture model (or
// part) or a cut-out.
inline bool IsPlacedModel(const V2dPolygon* record) {
    return record != nullptr && (record->kind == RecordKind::PictureModel || record->kind == RecordKind::CutOutModel);
}

using PolygonPtr = std::unique_ptr<V2dPolygon>;

// Warp mesh of an ordinary region.
struct V2dPolygonMesh {
    V2dPolygon* owner = nullptr;
    int32_t rows = 0;
    int32_t cols = 0;
    std::vector<V2d_Point> srcNodes;  // rows * cols
    std::vector<V2d_Point> dstNodes;  // rows * cols
};

// Rotation frames of a cut-out model; frames[current] is the owner's picture.
struct V2dPolygonEx {
    V2dPolygon* owner = nullptr;
    std::vector<QImage> frames;
    int32_t current = 0;
    // `current` within the frames, whatever a file or an older copy left there.
    int32_t clampedCurrent() const {
        const int32_t last = static_cast<int32_t>(frames.size()) - 1;
        return last < 0 ? 0 : current < 0 ? 0 : current > last ? last : current;
    }
};

// A named group of regions (at least two members).
struct V2dGroupPL {
    std::string name;  // UTF-8; at most 51 GBK bytes survive a save
    std::vector<const V2dPolygon*> members;
};

// A record with the defaults of a new record.
PolygonPtr NewPolygon();

// A field-by-field copy without identity (pictures shared, outline copied) with the origin at 0,
// scale 100 and the corners set from the outline's bounding box; for kind 4 the
// first four outline points become the picture's rectangle.
PolygonPtr ClonePolygon(const V2dPolygon& source);

// A deep copy without identity: all other fields equal, with its own outline, index list and pictures.
PolygonPtr CopyPolygon(const V2dPolygon& source);

// The outline's bounding box as the four corners, top-left first.
void SetCornersFromBoundingBox(V2dPolygon& record);

}  // namespace v2d
