#include "document/scene_document.h"
#include "vision/photo_analysis.h"

namespace v2d {

Result<std::shared_ptr<const vision::PhotoAnalysis>> SceneDocument::photoAnalysis() const {
    const QImage& photo = scene_.background;
    if (analysis_ && analysedPhoto_ == photo.cacheKey()) return analysis_;
    Result<std::shared_ptr<const vision::PhotoAnalysis>> made = vision::PhotoAnalysis::Of(photo);
    if (!made) return made;
    analysis_ = *made;
    analysedPhoto_ = photo.cacheKey();
    return analysis_;
}

}  // namespace v2d
