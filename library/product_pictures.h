#pragma once
// The picture files of a product, named by its PartsNumber under
// product/, and the product panel's picture as the start-up and the
// browser load it.
#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

#include "library/product_map.h"
#include "base/result.h"

namespace v2d {

struct ProductPicturePaths {
    std::filesystem::path map;        // product/maps/<number>.h2d
    std::filesystem::path mapJpeg;    // product/maps/<number>.jpg
    std::filesystem::path photo;      // product/jpg/<number>.jpg
    std::filesystem::path thumbnail;  // product/xjpg/<number>.jpg
    std::filesystem::path model;      // product/c2d/<number>.c2d
};
ProductPicturePaths PicturePathsOf(const std::filesystem::path& programFolder,
                                   const std::string& partsNumber);

// The material map for the product panel: the .h2d map (with its colour
// tolerance) when it yields a picture, else the .jpg map with the default
// tolerance. nullopt when neither gives a picture; an unreadable .h2d
// comes back as its message ("文件打不开。", "文件不合法。").
Result<std::optional<ProductMap>> LoadMaterialPicture(const std::filesystem::path& programFolder,
                                                      const std::string& partsNumber);

}  // namespace v2d
