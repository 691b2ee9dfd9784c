#pragma once
// A product laid on a rendered room's floor through the built command line:
// new-scheme makes a scheme of the room's photo with one region, render
// lays the product into it and writes the picture.
#include <QColor>
#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

#include "base/result.h"

namespace v2d::demo {

// The light a laid product takes: the photo's brightness beneath it, or the
// room's light with the old surface's pattern taken out.
enum class LightMode { Photo, Room };
const char* LightModeName(LightMode mode);  // as --light takes it

struct LayingJob {
    std::filesystem::path cli;    // vexel2d-cli
    std::filesystem::path photo;  // the room's photo
    std::string region;           // a new-scheme --region value; the region is laid by its name
    std::filesystem::path tile;   // the product's picture, 600 x 600 mm
    LightMode light = LightMode::Photo;
    std::filesystem::path scheme, output;  // written: the scheme and the laid picture (JPEG)
};

// The laid picture; none when the command line refuses --light for the
// room's light (one without the option lays every product in the photo's
// light, so there it is left out for the photo's). Refused with what the
// command said when it fails otherwise.
Result<std::optional<QImage>> LayThroughCli(const LayingJob& job);

// A JPEG file read back: a rendered room's photo, a laid picture; null when unreadable.
QImage ReadJpegFile(const std::filesystem::path& file);

// A square picture of one colour, `pixels` wide, written as a JPEG.
Status WritePlainTile(const std::filesystem::path& file, QColor colour, int pixels = 600);

}  // namespace v2d::demo
