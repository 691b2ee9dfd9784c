#pragma once
// The rendered scene as the JPEG a customer takes home.
#include <QImage>

#include <filesystem>

#include "base/result.h"

namespace v2d {

// libjpeg's own default; the program offers no setting.
inline constexpr int kRenderedPictureQuality = 75;
inline constexpr const char* kPictureFilter = "图像文件 (*.jpg)";

// A chosen name without extension gets ".jpg"; any other name stays.
std::filesystem::path WithPictureExtension(const std::filesystem::path& chosen);

// Encodes the picture as a baseline JPEG and writes it whole: a failed write
// leaves any old file as it was.
Status SaveRenderedPicture(const QImage& picture, const std::filesystem::path& path);

}  // namespace v2d
