#pragma once
// Copies of a rendered room as phones take photos: sensor noise, strong JPEG
// artefacts, vignetting, mild lens barrel, a dim exposure, an over-exposed
// window and a portrait shot stored sideways with its EXIF orientation.
// The truth (labels, planes, click, lengths) stays in the upright photo's
// coordinates; a barrel moves it with the pixels.
#include <filesystem>
#include <string>

#include "base/picture_codec.h"
#include "base/result.h"
#include "demo/rendered_rooms.h"

namespace v2d::demo {

struct PhoneLook {
    double noise = 0;        // sensor noise: standard deviation at mid grey, in 8-bit levels
    int jpegQuality = 90;    // of the copy written
    double vignette = 0;     // how much darker the corners are (0.3: 30 %)
    double barrel = 0;       // k of r_source = r (1 + k r^2), r from the centre over the half diagonal
    double exposure = 1;     // gain on linear light (0.3 a dim room)
    double windowGlare = 0;  // 0..1: the window burnt out and blooming into its surround
    int exifOrientation = 1; // 1 upright; 6 or 8 stored turned, the tag saying how to turn it back
    bool plain() const {
        return noise == 0 && jpegQuality == 90 && vignette == 0 && barrel == 0 && exposure == 1 && windowGlare == 0 &&
               exifOrientation == 1;
    }
};

// Writes the copy as `dir/<name>.jpg` and returns the room with that photo
// and its truth. The same room and look give the same bytes.
Result<RenderedRoom> PhoneCopy(const RenderedRoom& room, const PhoneLook& look, const std::string& name,
                               const std::filesystem::path& dir);

// The photo's pixels as the phone's look makes them, still upright.
QImage PhoneLookOf(const QImage& photo, const RenderedRoom& room, const PhoneLook& look);

// A JPEG with an APP1 EXIF segment holding only the Orientation tag, put
// right after the start of image.
Bytes WithExifOrientation(const Bytes& jpeg, int orientation);

// Where a barrel of strength k moves an upright pixel position.
PixelPos Barrelled(PixelPos p, double k, int width, int height);

}  // namespace v2d::demo
