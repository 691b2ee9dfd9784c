#pragma once
// Product pictures of the demo workspace, drawn by the program itself: one
// tile, plank, slab or wallpaper roll at its real proportions, with the
// joints at its edges, so that repeating it at real size looks like a laid
// floor or papered wall.
#include <QColor>
#include <QImage>

#include <cstdint>

namespace v2d::demo::pictures {

enum class Pattern {
    PolishedTile,  // soft clouds and fine speckle, light joints
    RusticTile,    // mottled, darker worn edges
    Marble,        // veined slab
    Granite,       // three-colour speckle
    WoodPlank,     // grain along the length, bevelled ends
    WallTile,      // glazed, gentle sheen
    Damask,        // wallpaper with a repeated ornament
    Stripes,       // wallpaper with vertical stripes
    Floral,        // wallpaper with small flowers
    Fabric,        // woven cloth with a check
};

struct PictureSpec {
    Pattern pattern = Pattern::PolishedTile;
    QColor base;
    QColor accent;
    uint32_t seed = 1;
    int widthMm = 600;
    int heightMm = 600;
};

// A wallpaper's picture is one square repeat of its print at this many
// pixels a side, whatever the roll's length: a 530 mm repeat spans about
// 200 screen pixels where a wall fills a 1600 × 1000 view, so it keeps
// more than three picture pixels to each, and is not so large that laying
// it small samples it too sparsely.
inline constexpr int kWallpaperRepeatPixels = 768;

// The material map: the whole product at its real aspect ratio; for a
// wallpaper, one repeat of its print, seamless at its edges.
QImage DrawProductPicture(const PictureSpec& spec);

// A model product's thumbnail (sofa, door, picture, carpet, curtain).
enum class ModelShape { Sofa, Door, Picture, Carpet, Curtain };
QImage DrawModelPicture(ModelShape shape, const QColor& colour, int size);

// The square thumbnail of a picture: its centre, at most as tall as wide.
QImage MakeThumbnail(const QImage& picture, int side);

}  // namespace v2d::demo::pictures
