// HEIC photos, made here with libheif's own encoder, read through the photo reader.
#include <gtest/gtest.h>

#include <libheif/heif.h>

#include "base/heif_picture.h"
#include "base/picture_codec.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

heif_error Collect(heif_context*, const void* data, size_t size, void* out) {
    auto* bytes = static_cast<Bytes*>(out);
    bytes->insert(bytes->end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

Bytes Heic(const QImage& picture) {
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    Bytes bytes;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok) {
        heif_encoder_set_lossy_quality(encoder, 95);
        heif_image_create(rgba.width(), rgba.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGBA, &image);
        heif_image_add_plane(image, heif_channel_interleaved, rgba.width(), rgba.height(), 8);
        int stride = 0;
        uint8_t* rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgba.height(); ++y) std::memcpy(rows + y * stride, rgba.constScanLine(y), rgba.width() * 4);
        heif_context_encode_image(context, image, encoder, nullptr, nullptr);
        heif_writer writer{1, Collect};
        heif_context_write(context, &writer, &bytes);
        heif_image_release(image);
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    return bytes;
}

TEST(HeifPicture, PhoneHeicReadsAsAPhotoAndACutOneFails) {
    if (!HeifReadable()) GTEST_SKIP() << "built without a HEVC decoder";
    const QImage picture = testing::QuadrantPicture(128, 64);
    const Bytes heic = Heic(picture);
    if (heic.empty()) GTEST_SKIP() << "libheif has no HEVC encoder here";
    EXPECT_TRUE(LooksLikeHeif(heic));
    const QImage read = DecodeUprightPhoto(heic);
    ASSERT_EQ(read.size(), picture.size());
    EXPECT_EQ(read.format(), QImage::Format_RGB32);
    for (const QPoint p : {QPoint(16, 16), QPoint(112, 16), QPoint(16, 48), QPoint(112, 48)})
        EXPECT_LT(std::abs(qRed(read.pixel(p)) - qRed(picture.pixel(p))) + std::abs(qBlue(read.pixel(p)) - qBlue(picture.pixel(p))), 30);
    EXPECT_TRUE(DecodeHeif(std::span<const uint8_t>(heic.data(), heic.size() / 2)).isNull());
    EXPECT_FALSE(LooksLikeHeif(*EncodeJpeg(picture, 90)));
}

}  // namespace
}  // namespace v2d
