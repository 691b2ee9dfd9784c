#include "library/product_pictures.h"

#include <system_error>

#include "base/atomic_file.h"

namespace v2d {

ProductPicturePaths PicturePathsOf(const std::filesystem::path& programFolder,
                                   const std::string& partsNumber) {
    const std::filesystem::path product = programFolder / "product";
    return {product / "maps" / (partsNumber + ".h2d"), product / "maps" / (partsNumber + ".jpg"),
            product / "jpg" / (partsNumber + ".jpg"), product / "xjpg" / (partsNumber + ".jpg"),
            product / "c2d" / (partsNumber + ".c2d")};
}

Result<std::optional<ProductMap>> LoadMaterialPicture(const std::filesystem::path& programFolder,
                                                      const std::string& partsNumber) {
    if (partsNumber.empty()) return std::optional<ProductMap>();
    const ProductPicturePaths paths = PicturePathsOf(programFolder, partsNumber);
    std::error_code ec;
    if (std::filesystem::exists(paths.map, ec)) {
        Result<ProductMap> map = LoadProductMap(paths.map);
        if (!map) return Error{map.error()};
        if (map->hasPicture()) return std::optional<ProductMap>(std::move(*map));
        // A map of an unknown kind holds no picture: try the JPEG map.
    }
    if (std::optional<Bytes> jpeg = ReadWholeFile(paths.mapJpeg)) {
        ProductMap map;
        map.kind = static_cast<int32_t>(ProductMapKind::Jpeg);
        map.picture = DecodeJpeg(*jpeg);
        if (!map.picture.isNull()) return std::optional<ProductMap>(std::move(map));
    }
    return std::optional<ProductMap>();
}

}  // namespace v2d
