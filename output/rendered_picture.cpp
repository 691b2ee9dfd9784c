#include "output/rendered_picture.h"

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/scheme_file.h"

namespace v2d {

std::filesystem::path WithPictureExtension(const std::filesystem::path& chosen) {
    if (chosen.has_extension()) return chosen;
    std::filesystem::path named = chosen;
    named += ".jpg";
    return named;
}

Status SaveRenderedPicture(const QImage& picture, const std::filesystem::path& path) {
    if (picture.isNull()) return Error{"当前没有效果图。"};
    // Each chunk goes to the file while the rest is encoded: no copy of the
    // whole JPEG in memory.
    AtomicFileWriter file(path);
    const bool encoded = file.isOpen() && EncodeJpeg(picture, kRenderedPictureQuality,
                                                     [&](std::span<const uint8_t> chunk) { return file.write(chunk); });
    if (!encoded || !file.commit()) return Error{kMsgWriteFailed};
    return Status::Ok();
}

}  // namespace v2d
