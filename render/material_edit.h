#pragma once
// The material editor's pixel work and its replacement entries: a click on
// the edited picture keys on the source pattern's colour there, and every
// source pixel within the tolerance of it is replaced in the result, all
// over the picture, by a flat colour or a texture (shaded in a colour with
// overlay). Source and result are 32-bit bitmaps; rows run in bands over the
// cores.
#include <QImage>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/progress.h"
#include "base/result.h"

namespace v2d {

inline constexpr const char* kMsgPickAreaFirst = "请先在左面效果图上点选操作区域。";
inline constexpr const char* kMsgNoEditedPicture = "没有材料效果图。";
inline constexpr int kMaxTolerance = 255;
inline constexpr int kDefaultTextureScale = 100;

// A tolerance as the editor uses it: 0..255 (larger values are capped, not
// wrapped).
int ClampTolerance(long long tolerance);

// Each of the three colour bytes of `pixel` lies within
// [max(0, key - tolerance), min(255, key + tolerance)]. Both are RGB32
// pixels; the fourth byte does not count.
bool ColourMatch(uint32_t pixel, uint32_t key, int tolerance);

// One byte per source pixel, row by row: 1 where it matches the key.
std::vector<uint8_t> SelectMatching(const QImage& source, uint32_t key, int tolerance);

// Every result pixel whose source pixel matches the key becomes `colour`
// (0x00BBGGRR). Source and result have the same size.
void FillColour(QImage& result, const QImage& source, uint32_t key, int tolerance, uint32_t colour);

// The same with the texture repeated from the top-left corner; progress
// runs 0..100 as the rows are done.
void FillTexture(QImage& result, const QImage& source, uint32_t key, int tolerance, const QImage& texture,
                 const Progress& progress = {});

// The texture's light and shade in `colour` (0x00BBGGRR): with
// L = 0.299 R + 0.587 G + 0.114 B (float, at most 255) each channel becomes
// trunc(colour channel * L / 255).
QImage ShadeTexture(uint32_t colour, const QImage& texture);

// The texture at `percent` of its size, each side at least one pixel; the
// texture itself at 100.
QImage ScaleTexture(const QImage& texture, int percent);

// Where a click on a control showing the picture centred and proportionally
// scaled lands in the picture; nothing in the margin. The point is kept
// inside the picture.
std::optional<QPoint> MapClickToPicture(QPoint click, QSize control, QSize picture);

// V2d_ColorRep: the replacement of one source colour. The texture is kept
// as chosen (unscaled, unshaded), so a later edit shades it only once.
struct V2d_ColorRep {
    uint32_t key = 0;     // source colour, 0x00BBGGRR
    uint32_t colour = 0;  // replacement colour, 0x00BBGGRR
    QImage texture;       // null: flat colour
    int scale = kDefaultTextureScale;
};

// The editor's pictures, entries and current entry; the window wires its
// controls to these calls.
class MaterialEditor {
public:
    // A new pattern: source and result, entries emptied.
    void Load(const QImage& pattern);
    // The picture the editor is opened on. Its own last result (handed back
    // and opened again) or its source keeps source, result and entries, so
    // the work goes on; any other picture is loaded as a new pattern.
    void Open(const QImage& picture);
    // Back to the source pattern; entries emptied.
    void Reset();

    const QImage& source() const { return source_; }
    const QImage& result() const { return result_; }
    const std::vector<V2d_ColorRep>& entries() const { return entries_; }
    int currentIndex() const { return current_; }
    const V2d_ColorRep* current() const;

    // The source colour (0x00BBGGRR) at a picture point and the result's.
    uint32_t SourceColourAt(QPoint p) const;
    uint32_t ResultColourAt(QPoint p) const;

    // Colour mode: keyed on the source colour at p. Without overlay, or for
    // an entry without texture, a flat fill; with overlay the entry's
    // texture shaded in the new colour. False for a point outside the picture.
    bool ClickColour(QPoint p, uint32_t colour, int tolerance, bool overlay, const Progress& progress = {});
    // Texture mode: the texture fills the key's pixels, with overlay shaded
    // in the key colour (the pattern's own colour there), whatever colour
    // the entry has; a new entry's colour is the key, and the scale
    // returns to 100.
    bool ClickTexture(QPoint p, const QImage& texture, int tolerance, bool overlay, const Progress& progress = {});

    // Edits of the current entry; kMsgPickAreaFirst without entries.
    Status ChangeColour(uint32_t colour, int tolerance, bool overlay, const Progress& progress = {});
    // Nothing happens (and false) when the entry has no texture or the
    // scale is unchanged.
    Result<bool> ChangeScale(int percent, int tolerance, bool overlay, const Progress& progress = {});
    // A new texture for the current entry, applied as a texture click on
    // its key is.
    Status ChangeTexture(const QImage& texture, int tolerance, bool overlay, const Progress& progress = {});

private:
    int EntryFor(uint32_t key);
    // The entry's texture, with overlay shaded in `shade`, fills its key's
    // pixels; a colour entry fills them flat.
    void FillEntry(const V2d_ColorRep& entry, uint32_t shade, int tolerance, bool overlay, const Progress& progress);
    void ApplyTexture(int index, const QImage& texture, int tolerance, bool overlay, const Progress& progress);

    QImage source_;
    QImage result_;
    std::vector<V2d_ColorRep> entries_;
    int current_ = -1;
};

}  // namespace v2d
