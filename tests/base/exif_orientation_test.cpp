#include <QTransform>
#include <gtest/gtest.h>

#include "base/exif_orientation.h"
#include "base/picture_codec.h"
#include "tests/base/exif_bytes.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

using testing::Tiff;

TEST(ExifOrientation, EveryValueInEitherByteOrderAndHostileStructuresAsGiven) {
    for (const bool big : {false, true})
        for (uint32_t value = 1; value <= 8; ++value)
            EXPECT_EQ(TiffOrientation(Tiff(big, {{0x010F, 2, 6, 40}, {0x0112, 3, 1, value}})), Orientation(value));
    // Values 0 and 9, a long, a huge count, the directory past the end, 65535 entries declared and one
    // there, the next directory itself.
    const std::vector<uint8_t> hostile[] = {
        Tiff(false, {{0x0112, 3, 1, 0}}), Tiff(true, {{0x0112, 3, 1, 9}}), Tiff(false, {{0x0112, 4, 1, 6}}),
        Tiff(false, {{0x0112, 3, 0xFFFFFFFF, 6}}), Tiff(false, {{0x0112, 3, 1, 6}}, 0xFFFFFFF0),
        Tiff(false, {{0x010F, 2, 6, 40}}, 8, 0xFFFF), Tiff(false, {{0x010F, 2, 6, 40}}, 8, -1, 8)};
    for (const auto& tiff : hostile) EXPECT_EQ(TiffOrientation(tiff), Orientation::AsGiven);
    const auto whole = Tiff(true, {{0x010F, 2, 6, 40}, {0x0112, 3, 1, 8}});
    for (size_t n = 0; n < whole.size(); ++n)  // cut anywhere: nothing read past the end
        EXPECT_EQ(TiffOrientation({whole.data(), n}), n >= 34 ? Orientation::TurnedAnticlockwise : Orientation::AsGiven);
}

// Each turn of four coloured quarters, stored as a camera stores it in a
// JPEG's APP1 or a PNG's eXIf, reads upright with its turn noted.
TEST(ExifOrientation, TurnedJpegAndPngReadUprightAndPlainOnesAsBefore) {
    const QImage upright = testing::QuadrantPicture(64, 32), cw = upright.transformed(QTransform().rotate(90));
    const QImage stored[9] = {{}, upright, upright.mirrored(true, false), upright.mirrored(true, true),
                              upright.mirrored(false, true), cw.mirrored(true, false),
                              upright.transformed(QTransform().rotate(-90)), cw.mirrored(false, true), cw};
    for (uint32_t value = 1; value <= 8; ++value) {
        const auto tiff = Tiff(value % 2, {{0x0112, 3, 1, value}});
        Bytes png = *EncodePng(stored[value]), chunk{0, 0, 0, uint8_t(tiff.size()), 'e', 'X', 'I', 'f'};
        chunk.insert(chunk.end(), tiff.begin(), tiff.end());
        chunk.insert(chunk.end(), 4, 0);
        png.insert(png.begin() + 33, chunk.begin(), chunk.end());
        for (const Bytes& file : {testing::WithExif(*EncodeJpeg(stored[value], 95), tiff), png}) {
            const QImage read = DecodeUprightPhoto(file, PictureCheck::Strict);
            ASSERT_EQ(read.size(), upright.size()) << value;
            EXPECT_EQ(NotedOrientation(read), Orientation(value));
            for (const QPoint p : {QPoint(8, 8), QPoint(56, 8), QPoint(8, 24), QPoint(56, 24)})
                for (const int shift : {0, 8, 16})
                    EXPECT_NEAR(read.pixel(p) >> shift & 0xFF, upright.pixel(p) >> shift & 0xFF, 12) << value;
        }
    }
    const Bytes plain = *EncodeJpeg(upright, 90);
    EXPECT_EQ(DecodeUprightPhoto(plain), DecodeJpeg(plain));
    EXPECT_TRUE(DecodeUprightPhoto(plain).text(kOrientationText).isEmpty());
}

}  // namespace
}  // namespace v2d
