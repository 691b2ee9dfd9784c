#pragma once
// Model files (*.c2d): a scheme file in miniature. The scheme header with
// the signature "d2c.", record entries each carrying its own pictures, and
// for a single cut-out record its rotation frames. Nothing is added to a
// scene here; see models/model_loading for that.
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/picture_codec.h"
#include "base/result.h"
#include "scene/v2d_polygon.h"

namespace v2d {

inline constexpr char kModelSignature[4] = {'d', '2', 'c', '.'};
inline constexpr const char* kMsgModelMissing = "二维模型不存在。";

struct ModelFile {
    int32_t version = 0;
    // As loaded: every kind but 4 reads as 1, pictures decoded, a picture
    // model without a source picture gets its picture as the source.
    std::vector<PolygonPtr> records;
    // Rotation frames of a single cut-out record with two or more frames;
    // its owner is records[0] and stays valid while the record lives.
    std::unique_ptr<V2dPolygonEx> frames;
};

// A strict parse refuses a file with a picture that does not decode whole
// with kMsgPictureDamaged + `shownName`.
Result<ModelFile> ParseModelFile(std::span<const uint8_t> bytes, PictureCheck check = PictureCheck::Lenient,
                                 const std::string& shownName = {});
// A model file being added to a scene: parsed strictly, named by its file name.
Result<ModelFile> ReadModelFile(const std::filesystem::path& path);

// The preview of a model file: a picture block named in the header, else the
// first source picture among the records; null when there is none or the
// file is not a model file.
QImage ReadModelPreview(const std::filesystem::path& path);
// The same from the file's bytes.
QImage ModelPreviewOf(std::span<const uint8_t> bytes);

// Serialises records (and the frames of a single cut-out record) as a model
// file of the current record version; `frames` may be null.
Result<Bytes> SerializeModelFile(const std::vector<const V2dPolygon*>& records, const V2dPolygonEx* frames);
Status WriteModelFile(const std::vector<const V2dPolygon*>& records, const V2dPolygonEx* frames,
                      const std::filesystem::path& path);

}  // namespace v2d
