#pragma once
// Whether a photo can give a room at all: light enough, sharp enough, and of
// a size the finders can work on. Asked before the analysis is trusted, so
// the user hears what to retake instead of a finder's silence.
#include "base/result.h"
#include "vision/photo_analysis.h"

namespace v2d::vision {

inline constexpr const char* kMsgPhotoTooDark = "照片太暗，请开灯或在白天光线充足时重新拍摄。";
inline constexpr const char* kMsgPhotoBlurred = "照片模糊，请拿稳手机、等对好焦后重新拍摄。";
inline constexpr const char* kMsgPhotoTooSmall =
    "照片太小，至少需要 320 × 240 像素，请用手机或相机拍摄的原图重新选择。";
inline constexpr const char* kMsgPhotoTooLargeToAnalyse =
    "照片太大，无法分析（最多 6000 万像素），请缩小后重新选择。";

enum class PhotoProblem { None, TooSmall, TooLarge, TooDark, Blurred };

// What the check measured, for a caller that shows or logs it.
struct PhotoQuality {
    PhotoProblem problem = PhotoProblem::None;
    // Grey levels (0-255) of the photo's brighter tenth: where its light is.
    double brightLevel = 0;
    // How sharp its edges are: the strongest gradients at the working size
    // over those at half of it; about 1 for a sharp photo, 0.5 for one
    // smeared over several pixels, whatever its light and contrast.
    double sharpness = 0;
};

// Cheap beside the analysis: it reads the reduced copy the finders use.
PhotoQuality MeasurePhotoQuality(const PhotoAnalysis& photo);
// Refused with the message that says what to retake; the first problem
// found in the order small, large, dark, blurred.
Status CheckPhotoQuality(const PhotoAnalysis& photo);

}  // namespace v2d::vision
