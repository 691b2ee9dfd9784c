#include "render/material_edit.h"

#include <algorithm>
#include <cmath>

#include "base/row_bands.h"
#include "render/picture_ops.h"

namespace v2d {

namespace {

// The key's window per channel: a channel c matches when the byte
// (c - low) wraps to at most `span`, one compare per channel.
struct KeyWindow {
    uint8_t low[3];
    uint8_t span[3];
};

KeyWindow WindowOf(uint32_t key, int tolerance) {
    KeyWindow w{};
    const int t = ClampTolerance(tolerance);
    for (int c = 0; c < 3; ++c) {
        const int k = static_cast<int>((key >> (8 * c)) & 0xFF);
        const int low = std::max(0, k - t);
        const int high = std::min(255, k + t);
        w.low[c] = static_cast<uint8_t>(low);
        w.span[c] = static_cast<uint8_t>(high - low);
    }
    return w;
}

inline bool Inside(uint32_t p, const KeyWindow& w) {
    return static_cast<uint8_t>(static_cast<uint8_t>(p) - w.low[0]) <= w.span[0] &&
           static_cast<uint8_t>(static_cast<uint8_t>(p >> 8) - w.low[1]) <= w.span[1] &&
           static_cast<uint8_t>(static_cast<uint8_t>(p >> 16) - w.low[2]) <= w.span[2];
}

// The key's pixels as RGB32 (the entries hold 0x00BBGGRR colours).
uint32_t KeyPixel(uint32_t colour) { return PixelOfColour(colour) & 0x00FFFFFFu; }

uint32_t ColourOfPixel(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

// fn(y, sourceRow, resultRow, window) over every row, in bands; `progress`
// hears after each group of rows.
template <class Fn>
void ForEachMatchRow(QImage& result, const QImage& source, uint32_t key, int tolerance, const Progress& progress,
                     Fn&& fn) {
    const QImage src = ToRgb32(source);
    if (result.format() != QImage::Format_RGB32) result = result.convertToFormat(QImage::Format_RGB32);
    const int rows = std::min(src.height(), result.height());
    const int width = std::min(src.width(), result.width());
    if (rows <= 0 || width <= 0) return;
    const KeyWindow window = WindowOf(key, tolerance);
    // A whole number of splittable bands per progress step, about twenty steps.
    const int perStep = progress ? std::max<int>(rows / 20, static_cast<int>(kPixelsWorthSplitting / width) + 1) : rows;
    if (progress) progress(0);
    uchar* resultBits = result.bits();  // detaches once, before the bands start
    for (int first = 0; first < rows; first += perStep) {
        const int end = std::min(rows, first + perStep);
        ForEachRowBand(end - first, width, [&](int a, int b) {
            for (int y = first + a; y < first + b; ++y) {
                const auto* s = reinterpret_cast<const uint32_t*>(src.constScanLine(y));
                auto* r = reinterpret_cast<uint32_t*>(resultBits + static_cast<qsizetype>(y) * result.bytesPerLine());
                fn(y, s, r, width, window);
            }
        });
        if (progress) progress(static_cast<int>(100LL * end / rows));
    }
}

}  // namespace

int ClampTolerance(long long tolerance) { return static_cast<int>(std::clamp<long long>(tolerance, 0, kMaxTolerance)); }

bool ColourMatch(uint32_t pixel, uint32_t key, int tolerance) { return Inside(pixel, WindowOf(key, tolerance)); }

std::vector<uint8_t> SelectMatching(const QImage& source, uint32_t key, int tolerance) {
    const QImage src = ToRgb32(source);
    std::vector<uint8_t> mask(static_cast<size_t>(src.width()) * std::max(src.height(), 0));
    const KeyWindow window = WindowOf(key, tolerance);
    const int width = src.width();
    ForEachRowBand(src.height(), width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const auto* s = reinterpret_cast<const uint32_t*>(src.constScanLine(y));
            uint8_t* m = mask.data() + static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) m[x] = Inside(s[x], window) ? 1 : 0;
        }
    });
    return mask;
}

void FillColour(QImage& result, const QImage& source, uint32_t key, int tolerance, uint32_t colour) {
    const uint32_t pixel = PixelOfColour(colour);
    ForEachMatchRow(result, source, key, tolerance, {},
                    [pixel](int, const uint32_t* s, uint32_t* r, int width, const KeyWindow& w) {
                        for (int x = 0; x < width; ++x)
                            if (Inside(s[x], w)) r[x] = pixel;
                    });
}

void FillTexture(QImage& result, const QImage& source, uint32_t key, int tolerance, const QImage& texture,
                 const Progress& progress) {
    const QImage tex = ToRgb32(texture);
    if (tex.isNull()) return;
    const int tw = tex.width();
    const int th = tex.height();
    ForEachMatchRow(result, source, key, tolerance, progress,
                    [&](int y, const uint32_t* s, uint32_t* r, int width, const KeyWindow& w) {
                        const auto* t = reinterpret_cast<const uint32_t*>(tex.constScanLine(y % th));
                        for (int x = 0, tx = 0; x < width; ++x) {
                            if (Inside(s[x], w)) r[x] = t[tx];
                            if (++tx == tw) tx = 0;
                        }
                    });
}

QImage ShadeTexture(uint32_t colour, const QImage& texture) {
    QImage shaded = ToRgb32(texture).copy();
    if (shaded.isNull()) return shaded;
    const float cr = float(RedOf(colour)), cg = float(GreenOf(colour)), cb = float(BlueOf(colour));
    const int width = shaded.width();
    ForEachRowBand(shaded.height(), width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            auto* p = reinterpret_cast<uint32_t*>(shaded.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const uint32_t v = p[x];
                const float light = std::min(
                    255.0f, 0.299f * float((v >> 16) & 0xFF) + 0.587f * float((v >> 8) & 0xFF) + 0.114f * float(v & 0xFF));
                const auto channel = [light](float c) { return static_cast<uint32_t>(c * light / 255.0f); };
                p[x] = 0xFF000000u | channel(cr) << 16 | channel(cg) << 8 | channel(cb);
            }
        }
    });
    return shaded;
}

QImage ScaleTexture(const QImage& texture, int percent) {
    if (texture.isNull() || percent == kDefaultTextureScale) return ToRgb32(texture);
    const auto side = [percent](int s) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(s) * percent / 100, 1, 1 << 16));
    };
    return ResizePicture(texture, side(texture.width()), side(texture.height()));
}

std::optional<QPoint> MapClickToPicture(QPoint click, QSize control, QSize picture) {
    if (picture.isEmpty() || control.isEmpty()) return std::nullopt;
    const float s = std::max(float(picture.width()) / float(control.width()),
                             float(picture.height()) / float(control.height()));
    const int ox = static_cast<int>((float(control.width()) - float(picture.width()) / s) * 0.5f);
    const int oy = static_cast<int>((float(control.height()) - float(picture.height()) / s) * 0.5f);
    if (click.x() < ox || click.y() < oy || click.x() > control.width() - ox || click.y() > control.height() - oy)
        return std::nullopt;
    // The right and bottom edges would map one past the last pixel.
    const int x = std::clamp(static_cast<int>(float(click.x() - ox) * s), 0, picture.width() - 1);
    const int y = std::clamp(static_cast<int>(float(click.y() - oy) * s), 0, picture.height() - 1);
    return QPoint(x, y);
}

void MaterialEditor::Load(const QImage& pattern) {
    source_ = ToRgb32(pattern).copy();
    Reset();
}

void MaterialEditor::Open(const QImage& picture) {
    const QImage opened = ToRgb32(picture);
    if (!source_.isNull() && (opened == result_ || opened == source_)) return;
    Load(opened);
}

void MaterialEditor::Reset() {
    result_ = source_.copy();
    entries_.clear();
    current_ = -1;
}

const V2d_ColorRep* MaterialEditor::current() const {
    return current_ >= 0 && current_ < static_cast<int>(entries_.size()) ? &entries_[current_] : nullptr;
}

uint32_t MaterialEditor::SourceColourAt(QPoint p) const {
    return source_.valid(p) ? ColourOfPixel(source_.pixel(p)) : 0;
}

uint32_t MaterialEditor::ResultColourAt(QPoint p) const {
    return result_.valid(p) ? ColourOfPixel(result_.pixel(p)) : 0;
}

int MaterialEditor::EntryFor(uint32_t key) {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key == key) return static_cast<int>(i);
    entries_.push_back(V2d_ColorRep{key, key, QImage(), kDefaultTextureScale});
    return static_cast<int>(entries_.size()) - 1;
}

void MaterialEditor::FillEntry(const V2d_ColorRep& entry, uint32_t shade, int tolerance, bool overlay,
                               const Progress& progress) {
    if (entry.texture.isNull()) {
        FillColour(result_, source_, KeyPixel(entry.key), tolerance, entry.colour);
        return;
    }
    const QImage scaled = ScaleTexture(entry.texture, entry.scale);
    FillTexture(result_, source_, KeyPixel(entry.key), tolerance, overlay ? ShadeTexture(shade, scaled) : scaled,
                progress);
}

void MaterialEditor::ApplyTexture(int index, const QImage& texture, int tolerance, bool overlay,
                                  const Progress& progress) {
    current_ = index;
    V2d_ColorRep& entry = entries_[current_];
    entry.texture = ToRgb32(texture);
    entry.scale = kDefaultTextureScale;
    FillEntry(entry, entry.key, tolerance, overlay, progress);
}

bool MaterialEditor::ClickColour(QPoint p, uint32_t colour, int tolerance, bool overlay, const Progress& progress) {
    if (!source_.valid(p)) return false;
    current_ = EntryFor(SourceColourAt(p));
    return ChangeColour(colour, tolerance, overlay, progress).ok();
}

bool MaterialEditor::ClickTexture(QPoint p, const QImage& texture, int tolerance, bool overlay,
                                  const Progress& progress) {
    if (!source_.valid(p) || texture.isNull()) return false;
    ApplyTexture(EntryFor(SourceColourAt(p)), texture, tolerance, overlay, progress);
    return true;
}

Status MaterialEditor::ChangeColour(uint32_t colour, int tolerance, bool overlay, const Progress& progress) {
    if (current() == nullptr) return Error{kMsgPickAreaFirst};
    V2d_ColorRep& entry = entries_[current_];
    entry.colour = colour;
    if (!overlay) entry.texture = QImage();
    FillEntry(entry, colour, tolerance, overlay, progress);
    return Status::Ok();
}

Result<bool> MaterialEditor::ChangeScale(int percent, int tolerance, bool overlay, const Progress& progress) {
    if (current() == nullptr) return Error{kMsgPickAreaFirst};
    V2d_ColorRep& entry = entries_[current_];
    if (entry.texture.isNull() || entry.scale == percent || percent <= 0) return false;
    entry.scale = percent;
    FillEntry(entry, entry.colour, tolerance, overlay, progress);
    return true;
}

Status MaterialEditor::ChangeTexture(const QImage& texture, int tolerance, bool overlay, const Progress& progress) {
    if (current() == nullptr) return Error{kMsgPickAreaFirst};
    if (texture.isNull()) return Status::Ok();
    ApplyTexture(current_, texture, tolerance, overlay, progress);
    return Status::Ok();
}

}  // namespace v2d
