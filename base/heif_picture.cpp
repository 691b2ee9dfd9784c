#include "base/heif_picture.h"

#include <cstring>

#include "base/picture_codec.h"

#if VEXEL_HAVE_HEIF
#include <libheif/heif.h>

#include <memory>
#endif

namespace v2d {

bool LooksLikeHeif(std::span<const uint8_t> data) {
    if (data.size() < 12 || std::memcmp(data.data() + 4, "ftyp", 4) != 0) return false;
    static constexpr const char* kBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"};
    for (const char* brand : kBrands)
        if (std::memcmp(data.data() + 8, brand, 4) == 0) return true;
    return false;
}

#if VEXEL_HAVE_HEIF

bool HeifReadable() { return heif_have_decoder_for_format(heif_compression_HEVC) != 0; }

QImage DecodeHeif(std::span<const uint8_t> data) {
    if (!LooksLikeHeif(data)) return {};
    const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(), heif_context_free);
    if (!context) return {};
    heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide);
    if (heif_context_read_from_memory_without_copy(context.get(), data.data(), data.size(), nullptr).code !=
        heif_error_Ok)
        return {};
    heif_image_handle* primary = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok) return {};
    const std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> handle(primary,
                                                                                         heif_image_handle_release);
    // The size after the file's own turn, checked before anything is decoded.
    if (!PictureSizeAllowed(heif_image_handle_get_width(primary), heif_image_handle_get_height(primary))) return {};
    heif_image* decoded = nullptr;
    if (heif_decode_image(primary, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr).code !=
        heif_error_Ok)
        return {};
    const std::unique_ptr<heif_image, decltype(&heif_image_release)> image(decoded, heif_image_release);
    int stride = 0;
    const uint8_t* rows = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    if (!rows || !PictureSizeAllowed(width, height) || stride < width * 4) return {};
    return QImage(rows, width, height, stride, QImage::Format_RGBA8888).convertToFormat(QImage::Format_RGB32);
}

#else

bool HeifReadable() { return false; }
QImage DecodeHeif(std::span<const uint8_t>) { return {}; }

#endif

}  // namespace v2d
