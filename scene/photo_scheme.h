#pragma once
// A scheme made from a user's own room photo: the photo becomes the
// background and each outlined region a record with its real size and
// perspective corners. Shared by the outline tool and the command line, so
// both refuse the same bad regions with the same words.
#include <QImage>
#include <QSize>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/result.h"
#include "layout/light_mode.h"
#include "scene/scene.h"

namespace v2d {

struct RegionOutline {
    std::string name;
    std::vector<V2d_Point> points;  // photo pixels, ring after ring
    int realWidth = 0;              // millimetres
    int realHeight = 0;
    std::optional<Quad> corners;    // none: the outline's bounding box
    std::vector<int32_t> indexList; // last point of each ring (holes after the outer ring); empty: one ring
    // A region of the customer's own photo takes the room's light: the old
    // floor or wall beneath it is not what a product laid there shows.
    LightMode light = LightMode::Room;
};

// A photo smaller than this on either side holds no room to outline.
inline constexpr int kMinPhotoSide = 64;

inline constexpr const char* kMsgHeifNotReadable = "这个版本不能读取 HEIC 照片，请在手机上把照片导出为 JPEG 后重新选择：";
// Far above a PNG of the largest photo allowed.
inline constexpr uint64_t kMaxPhotoFileBytes = uint64_t(400) << 20;
inline constexpr const char* kMsgPhotoTooLarge = "照片太大（最多 6000 万像素、每边 30000 像素），请缩小后重新选择：";

// The photo (JPEG, PNG, BMP, or HEIC where the build reads it) as the
// scene's background, upright as its camera recorded, decoded strictly: a
// damaged file ("图片文件已损坏：" + path), a photo larger than a picture may
// be or smaller than kMinPhotoSide on a side are refused.
Result<QImage> ReadPhoto(const std::filesystem::path& path);

// A ring of fewer than three points, ring ends that do not fit the points, a real size that is not positive, or a point
// outside the photo is refused with the user's message.
Status CheckRegionOutline(const RegionOutline& outline, QSize photo);

// An ordinary region record of the outline (its rings), checked first.
Result<PolygonPtr> NewRegionRecord(const RegionOutline& outline, QSize photo);

// The region's outline as the tool edits it.
RegionOutline OutlineOfRecord(const V2dPolygon& record);

}  // namespace v2d
