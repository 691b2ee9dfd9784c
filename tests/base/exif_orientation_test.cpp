#include <gtest/gtest.h>

#include <QTransform>

#include "base/exif_orientation.h"
#include "base/picture_codec.h"
#include "tests/base/exif_bytes.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

using testing::IfdEntry;
using testing::Tiff;

TEST(ExifOrientation, EveryValueInEitherByteOrderAmongOtherTags) {
    for (const bool big : {false, true})
        for (uint32_t value = 1; value <= 8; ++value) {
            const auto tiff = Tiff(big, {{0x010F, 2, 6, 40}, {0x0112, 3, 1, value}, {0x8769, 4, 1, 90}});
            EXPECT_EQ(TiffOrientation(tiff), Orientation(value)) << big << value;
        }
}

TEST(ExifOrientation, MalformedOrHostileStructuresStandAsGiven) {
    const std::pair<const char*, testing::ByteList> cases[] = {
        {"no tag", Tiff(false, {{0x010F, 2, 6, 40}})},
        {"value 0", Tiff(false, {{0x0112, 3, 1, 0}})},
        {"value 9", Tiff(true, {{0x0112, 3, 1, 9}})},
        {"a long, not a short", Tiff(false, {{0x0112, 4, 1, 6}})},
        {"a huge count", Tiff(false, {{0x0112, 3, 0xFFFFFFFF, 6}})},
        {"directory past the end", Tiff(false, {{0x0112, 3, 1, 6}}, 0xFFFFFFF0)},
        // 65535 entries declared, the orientation would be the second, one written.
        {"truncated directory", Tiff(false, {{0x010F, 2, 6, 40}}, 8, 0xFFFF)},
        // The next directory is this one: only the first is ever read.
        {"looping directories", Tiff(false, {{0x010F, 2, 6, 40}}, 8, -1, 8)},
        {"bad byte order", [] { auto t = Tiff(false, {{0x0112, 3, 1, 6}}); t[0] = 'X'; return t; }()},
        {"not 42", [] { auto t = Tiff(false, {{0x0112, 3, 1, 6}}); t[2] = 43; return t; }()},
    };
    for (const auto& [name, tiff] : cases) EXPECT_EQ(TiffOrientation(tiff), Orientation::AsGiven) << name;
    // Cut anywhere, a structure still reads without touching past its end.
    const auto whole = Tiff(true, {{0x010F, 2, 6, 40}, {0x0112, 3, 1, 8}});
    for (size_t n = 0; n < whole.size(); ++n) {
        const auto cut = std::vector<uint8_t>(whole.begin(), whole.begin() + long(n));
        EXPECT_EQ(TiffOrientation(cut), n >= 8 + 2 + 24 ? Orientation::TurnedAnticlockwise : Orientation::AsGiven) << n;
    }
}

TEST(ExifOrientation, JpegSegmentIsFoundAndItsLengthChecked) {
    const Bytes jpeg = *EncodeJpeg(testing::QuadrantPicture(16, 8), 90);
    EXPECT_EQ(RecordedOrientation(jpeg), Orientation::AsGiven);
    auto turned = testing::WithExif(jpeg, Tiff(false, {{0x0112, 3, 1, 6}}));
    EXPECT_EQ(RecordedOrientation(turned), Orientation::TurnedClockwise);
    turned[4] = 0xFF;  // a segment longer than the file
    EXPECT_EQ(RecordedOrientation(turned), Orientation::AsGiven);
    EXPECT_TRUE(DecodeUprightPhoto(turned).isNull());
}

// Each turn of a picture with four coloured quarters, stored as the camera
// would store it, reads back upright (and its turn noted); a photo with no
// turn reads exactly as before.
TEST(ExifOrientation, TurnedJpegAndPngReadUpright) {
    const QImage upright = testing::QuadrantPicture(64, 32);
    const QTransform clockwise = QTransform().rotate(90), anticlockwise = QTransform().rotate(-90);
    const QImage stored[9] = {QImage(), upright, upright.mirrored(true, false), upright.mirrored(true, true),
                              upright.mirrored(false, true), upright.transformed(clockwise).mirrored(true, false),
                              upright.transformed(anticlockwise), upright.transformed(clockwise).mirrored(false, true),
                              upright.transformed(clockwise)};
    for (uint32_t value = 1; value <= 8; ++value) {
        SCOPED_TRACE(value);
        const Bytes exif = testing::WithExif(*EncodeJpeg(stored[value], 95), Tiff(value % 2, {{0x0112, 3, 1, value}}));
        // The same turn in a PNG's eXIf chunk, before its pixels.
        Bytes png = *EncodePng(stored[value]);
        const auto tiff = Tiff(false, {{0x0112, 3, 1, value}});
        Bytes chunk{0, 0, 0, uint8_t(tiff.size()), 'e', 'X', 'I', 'f'};
        chunk.insert(chunk.end(), tiff.begin(), tiff.end());
        chunk.insert(chunk.end(), {0, 0, 0, 0});
        png.insert(png.begin() + 33, chunk.begin(), chunk.end());
        for (const Bytes& file : {exif, png}) {
            const QImage read = DecodeUprightPhoto(file, PictureCheck::Strict);
            ASSERT_EQ(read.size(), upright.size());
            EXPECT_EQ(NotedOrientation(read), Orientation(value));
            for (const QPoint p : {QPoint(8, 8), QPoint(56, 8), QPoint(8, 24), QPoint(56, 24)})
                for (const int shift : {0, 8, 16})
                    EXPECT_NEAR(read.pixel(p) >> shift & 0xFF, upright.pixel(p) >> shift & 0xFF, 12) << p.x() << "," << p.y();
        }
    }
    const Bytes plain = *EncodeJpeg(upright, 90);
    EXPECT_EQ(DecodeUprightPhoto(plain), DecodeJpeg(plain));
    EXPECT_TRUE(DecodeUprightPhoto(plain).text(kOrientationText).isEmpty());
}

}  // namespace
}  // namespace v2d
