#include "scene/photo_scheme.h"

#include <algorithm>

#include "base/atomic_file.h"
#include "base/heif_picture.h"
#include "base/picture_codec.h"

namespace v2d {

Result<QImage> ReadPhoto(const std::filesystem::path& path) {
    // A file larger than any photo of an allowed size is not read at all.
    std::error_code error;
    if (std::filesystem::file_size(path, error) > kMaxPhotoFileBytes && !error)
        return Error{std::string(kMsgPhotoTooLarge) + path.string()};
    const std::optional<Bytes> bytes = ReadWholeFile(path, kMaxPhotoFileBytes);
    if (!bytes) return Error{"读取照片失败：" + path.string()};
    const bool heif = LooksLikeHeif(*bytes);
    if (heif && !HeifReadable()) return Error{std::string(kMsgHeifNotReadable) + path.string()};
    if (!heif && SniffPicture(*bytes) == PictureKind::Unknown) return Error{"照片格式不正确：" + path.string()};
    if (const std::optional<QSize> stated = StatedPictureSize(*bytes);
        stated && !PictureSizeAllowed(stated->width(), stated->height()))
        return Error{std::string(kMsgPhotoTooLarge) + path.string()};
    // A new scheme's background must be whole: a cut file is refused, not
    // grey. It stands as the camera recorded, so every point on it is one of
    // the upright photo.
    QImage photo = DecodeUprightPhoto(*bytes, PictureCheck::Strict);
    if (photo.isNull()) return Error{kMsgPictureDamaged + path.string()};
    if (photo.width() < kMinPhotoSide || photo.height() < kMinPhotoSide)
        return Error{"照片太小，至少需要 " + std::to_string(kMinPhotoSide) + " × " + std::to_string(kMinPhotoSide) +
                     " 像素：" + path.string()};
    return photo;
}

Status CheckRegionOutline(const RegionOutline& outline, QSize photo) {
    const std::string name = "区域“" + outline.name + "”";
    if (outline.points.size() < 3) return Error{name + "至少需要三个点。"};
    int32_t ringStart = 0;
    for (const int32_t last : outline.indexList) {
        if (last < ringStart + 2 || last >= static_cast<int64_t>(outline.points.size()))
            return Error{name + "至少需要三个点。"};
        ringStart = last + 1;
    }
    if (!outline.indexList.empty() && outline.indexList.back() + 1 != static_cast<int64_t>(outline.points.size()))
        return Error{name + "至少需要三个点。"};
    if (outline.realWidth <= 0 || outline.realHeight <= 0) return Error{name + "的实际宽度和高度必须大于0。"};
    for (const V2d_Point& p : outline.points)
        if (p.x < 0 || p.y < 0 || p.x >= photo.width() || p.y >= photo.height())
            return Error{name + "的点(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")在照片之外。"};
    return Status::Ok();
}

Result<PolygonPtr> NewRegionRecord(const RegionOutline& outline, QSize photo) {
    if (Status checked = CheckRegionOutline(outline, photo); !checked) return Error{checked.error()};
    PolygonPtr record = NewPolygon();
    record->name = outline.name;
    record->kind = RecordKind::Region;
    record->points = outline.points;
    record->indexList = outline.indexList.empty() ? std::vector<int32_t>{record->pointCount() - 1} : outline.indexList;
    record->realWidth = outline.realWidth;
    record->realHeight = outline.realHeight;
    if (outline.light != LightMode::Photo) record->partsInfo = WithLightMode("", outline.light);
    if (outline.corners)
        std::copy(outline.corners->begin(), outline.corners->end(), record->corners);
    else
        SetCornersFromBoundingBox(*record);
    return record;
}

RegionOutline OutlineOfRecord(const V2dPolygon& record) {
    RegionOutline outline{record.name,      record.points,    record.realWidth,
                          record.realHeight, Quad{},          record.indexList,
                          record.partsInfo.lightMode()};
    std::copy(std::begin(record.corners), std::end(record.corners), outline.corners->begin());
    return outline;
}

}  // namespace v2d
