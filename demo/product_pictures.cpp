#include "demo/product_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace v2d::demo::pictures {

namespace {

// Value noise on an integer lattice, smooth between lattice points.
class Noise {
public:
    explicit Noise(uint32_t seed) : seed_(seed * 0x9E3779B1u + 0x7F4A7C15u) {}

    double at(double x, double y) const {
        const double fx = std::floor(x), fy = std::floor(y);
        const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
        const double tx = Smooth(x - fx), ty = Smooth(y - fy);
        const double a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
        const double c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
        return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
    }
    // Sum of octaves, about 0..1.
    double fbm(double x, double y, int octaves) const {
        double sum = 0, amplitude = 0.5, total = 0;
        for (int o = 0; o < octaves; ++o) {
            sum += at(x, y) * amplitude;
            total += amplitude;
            x = x * 2.03 + 17.1;
            y = y * 2.03 + 5.3;
            amplitude *= 0.5;
        }
        return sum / total;
    }
    // A random number 0..1 for an integer pair.
    double hash(int x, int y) const { return Lattice(x, y); }

private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    double Lattice(int x, int y) const {
        uint32_t h = seed_ ^ (static_cast<uint32_t>(x) * 0x85EBCA6Bu) ^ (static_cast<uint32_t>(y) * 0xC2B2AE35u);
        h ^= h >> 16;
        h *= 0x7FEB352Du;
        h ^= h >> 15;
        h *= 0x846CA68Bu;
        h ^= h >> 16;
        return (h & 0xFFFFFF) / double(0xFFFFFF);
    }
    uint32_t seed_;
};

int Clamp255(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

QRgb Mix(const QColor& a, const QColor& b, double t, double light = 1.0) {
    return qRgb(Clamp255((a.red() + (b.red() - a.red()) * t) * light),
                Clamp255((a.green() + (b.green() - a.green()) * t) * light),
                Clamp255((a.blue() + (b.blue() - a.blue()) * t) * light));
}

// Pixels per millimetre: tiles about 640 pixels on the long side, long
// planks finer along their short side.
double PixelsPerMm(int w, int h) {
    const int longSide = std::max(w, h), shortSide = std::max(1, std::min(w, h));
    if (longSide >= 4 * shortSide) return std::min(0.8, 5000.0 / longSide);
    return std::min(1.2, 640.0 / longSide);
}

template <class F>
void ForEachPixel(QImage& img, F&& colourAt) {
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) row[x] = colourAt(x, y);
    }
}

// The joint around a tile and a slight bevel inside it.
void DrawJoints(QImage& img, const QColor& grout, int joint) {
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    const int w = img.width(), h = img.height();
    p.fillRect(QRect(0, 0, w, joint), QColor(255, 255, 255, 50));
    p.fillRect(QRect(0, 0, joint, h), QColor(255, 255, 255, 50));
    p.fillRect(QRect(0, h - joint, w, joint), QColor(0, 0, 0, 40));
    p.fillRect(QRect(w - joint, 0, joint, h), QColor(0, 0, 0, 40));
    const int half = std::max(1, joint / 2);
    p.fillRect(QRect(0, 0, w, half), grout);
    p.fillRect(QRect(0, 0, half, h), grout);
    p.fillRect(QRect(0, h - half, w, half), grout);
    p.fillRect(QRect(w - half, 0, half, h), grout);
}

void PolishedTile(QImage& img, const PictureSpec& s, const Noise& n) {
    const double scale = 4.0 / img.width();
    ForEachPixel(img, [&](int x, int y) {
        const double cloud = n.fbm(x * scale, y * scale, 4);
        const double speck = n.hash(x, y) > 0.985 ? 0.85 : 1.0;
        return Mix(s.base, s.accent, std::clamp((cloud - 0.3) * 1.4, 0.0, 1.0) * 0.6, speck);
    });
    DrawJoints(img, QColor(225, 222, 215), std::max(2, img.width() / 160));
}

void RusticTile(QImage& img, const PictureSpec& s, const Noise& n) {
    const double scale = 6.0 / img.width();
    const double cx = img.width() / 2.0, cy = img.height() / 2.0;
    ForEachPixel(img, [&](int x, int y) {
        const double mottle = n.fbm(x * scale, y * scale, 5);
        const double grain = n.at(x * 0.35, y * 0.35) * 0.12;
        const double dx = std::abs(x - cx) / cx, dy = std::abs(y - cy) / cy;
        const double edge = std::pow(std::max(dx, dy), 6.0) * 0.25;
        return Mix(s.base, s.accent, std::clamp(mottle * 1.2 - 0.1, 0.0, 1.0),
                   1.0 - edge - grain + 0.06);
    });
    DrawJoints(img, QColor(120, 108, 95), std::max(3, img.width() / 90));
}

void Marble(QImage& img, const PictureSpec& s, const Noise& n) {
    const double scale = 2.5 / img.width();
    const double angle = 0.5 + n.hash(3, 4) * 0.6;
    const double ca = std::cos(angle), sa = std::sin(angle);
    ForEachPixel(img, [&](int x, int y) {
        // Veins run across the slab, bent by turbulence rather than led by it.
        const double u = (x * ca + y * sa) * scale;
        const double turbulence = n.fbm(x * scale * 2.0, y * scale * 2.0, 6);
        const double v = std::abs(std::sin((u * 1.6 + turbulence * 1.8) * M_PI));
        const double vein = std::pow(1.0 - v, 14.0);
        const double fine =
            std::pow(1.0 - std::abs(std::sin((u * 4.3 + turbulence * 3.5) * M_PI)), 40.0) * 0.45;
        const double cloud = n.fbm(x * scale * 0.8 + 40, y * scale * 0.8, 3) * 0.10;
        return Mix(s.base, s.accent, std::clamp(vein + fine, 0.0, 1.0), 1.0 - cloud + 0.05);
    });
    DrawJoints(img, QColor(200, 198, 192), 2);
}

void Granite(QImage& img, const PictureSpec& s, const Noise& n) {
    const QColor dark = s.accent.darker(180), light = s.base.lighter(125);
    ForEachPixel(img, [&](int x, int y) {
        // Grains of a few pixels: dark and light crystals in a mixed ground.
        const double grain = n.at(x * 0.3, y * 0.3) * 0.7 + n.at(x * 0.9, y * 0.9) * 0.3;
        const double ground = n.fbm(x * 0.05, y * 0.05, 3);
        if (grain > 0.70) return dark.rgb();
        if (grain < 0.22) return light.rgb();
        return Mix(s.base, s.accent, ground * 0.8);
    });
    DrawJoints(img, QColor(90, 90, 90), 2);
}

void WoodPlank(QImage& img, const PictureSpec& s, const Noise& n) {
    const int w = img.width(), h = img.height();
    const double knotX = w * (0.2 + 0.6 * n.hash(1, 2)), knotY = h * (0.3 + 0.4 * n.hash(2, 1));
    ForEachPixel(img, [&](int x, int y) {
        const double warp = n.fbm(x * 0.004, y * 0.03, 4) * 18.0;
        const double dx = (x - knotX) / (h * 0.35), dy = (y - knotY) / (h * 0.18);
        const double knot = std::exp(-(dx * dx + dy * dy)) * 10.0;
        const double ring = std::sin((y + warp + knot) * 0.55) * 0.5 + 0.5;
        const double streak = n.at(x * 0.01, y * 0.6) * 0.35;
        const double t = std::clamp(std::pow(ring, 3.0) * 0.7 + streak, 0.0, 1.0);
        return Mix(s.base, s.accent, t, 1.0 - n.hash(x / 3, y) * 0.05);
    });
    QPainter p(&img);
    p.fillRect(QRect(0, 0, w, 2), QColor(40, 25, 10, 150));
    p.fillRect(QRect(0, 0, 2, h), QColor(40, 25, 10, 150));
    p.fillRect(QRect(0, h - 1, w, 1), QColor(0, 0, 0, 90));
    p.fillRect(QRect(w - 1, 0, 1, h), QColor(0, 0, 0, 90));
}

void WallTile(QImage& img, const PictureSpec& s, const Noise& n) {
    const int w = img.width(), h = img.height();
    ForEachPixel(img, [&](int x, int y) {
        const double ripple = n.fbm(x * 0.02, y * 0.02, 3) * 0.25;
        const double sheen = std::exp(-std::pow((x - y * 0.4 - w * 0.3) / (w * 0.18), 2.0)) * 0.12;
        return Mix(s.base, s.accent, ripple, 1.0 + sheen);
    });
    if (s.seed % 3 == 0) {  // a decorated piece: a band of small squares
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const int band = h / 6, top = h / 2 - band / 2;
        p.fillRect(QRect(0, top, w, band), s.accent);
        for (int x = band / 4; x < w; x += band) {
            p.setBrush(s.base.lighter(110));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(x, top + band * 0.2, band * 0.6, band * 0.6));
        }
    }
    DrawJoints(img, QColor(245, 245, 245), std::max(2, w / 120));
}

// Wallpaper: one square repeat of its print, seamless at its edges, so that
// laying it at the repeat's size papers a wall without a seam.
void WallpaperRepeat(QImage& img, const PictureSpec& s, const Noise& n,
                     void (*drawRepeat)(QPainter&, const QRectF&, const PictureSpec&)) {
    const int w = img.width(), h = img.height();
    // The paper's mottling, a few blotches per repeat at any resolution,
    // wraps round at the picture's edges; it is smooth, so it is worked out
    // on a quarter of the pixels each way and enlarged.
    QImage paper(std::max(1, w / 4), std::max(1, h / 4), QImage::Format_RGB32);
    const int pw = paper.width(), ph = paper.height();
    const double grain = 50.0 / pw;
    auto mottle = [&](double x, double y) { return n.fbm(x * grain, y * grain, 2); };
    ForEachPixel(paper, [&](int x, int y) {
        const double tx = double(x) / pw, ty = double(y) / ph;
        const double m = mottle(x, y) * (1 - tx) * (1 - ty) + mottle(x - pw, y) * tx * (1 - ty) +
                         mottle(x, y - ph) * (1 - tx) * ty + mottle(x - pw, y - ph) * tx * ty;
        return Mix(s.base, s.base.darker(115), m * 0.3);
    });
    img = paper.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawRepeat(p, QRectF(0, 0, w, h), s);
}

void DamaskRepeat(QPainter& p, const QRectF& r, const PictureSpec& s) {
    QColor ink = s.accent;
    ink.setAlpha(170);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto ornament = [&](QPointF c, double size) {
        QPainterPath path;
        path.moveTo(c.x(), c.y() - size);
        path.cubicTo(c.x() + size * 0.7, c.y() - size * 0.6, c.x() + size * 0.5, c.y() + size * 0.2,
                     c.x(), c.y() + size);
        path.cubicTo(c.x() - size * 0.5, c.y() + size * 0.2, c.x() - size * 0.7, c.y() - size * 0.6,
                     c.x(), c.y() - size);
        p.drawPath(path);
        p.drawEllipse(c + QPointF(size * 0.55, 0), size * 0.16, size * 0.3);
        p.drawEllipse(c - QPointF(size * 0.55, 0), size * 0.16, size * 0.3);
    };
    const double size = r.width() * 0.22;
    ornament(r.center(), size);
    ornament(QPointF(r.left(), r.top()), size);
    ornament(QPointF(r.right(), r.top()), size);
    ornament(QPointF(r.left(), r.bottom()), size);
    ornament(QPointF(r.right(), r.bottom()), size);
}

void StripesRepeat(QPainter& p, const QRectF& r, const PictureSpec& s) {
    const double w = r.width();
    const double widths[] = {0.18, 0.04, 0.08, 0.04, 0.16};
    double x = r.left() + w * 0.05;
    QColor ink = s.accent;
    for (int i = 0; i < 5; ++i) {
        ink.setAlpha(i % 2 ? 230 : 120);
        p.fillRect(QRectF(x, r.top(), w * widths[i], r.height()), ink);
        x += w * (widths[i] + 0.03);
    }
    p.fillRect(QRectF(r.left() + w * 0.9, r.top(), w * 0.03, r.height()), ink);
}

void FloralRepeat(QPainter& p, const QRectF& r, const PictureSpec& s) {
    auto flower = [&](QPointF c, double size) {
        p.setPen(Qt::NoPen);
        QColor petal = s.accent;
        petal.setAlpha(200);
        p.setBrush(petal);
        for (int k = 0; k < 5; ++k) {
            const double a = k * 2 * M_PI / 5;
            p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * size * 0.55, size * 0.38, size * 0.38);
        }
        p.setBrush(QColor(235, 200, 90));
        p.drawEllipse(c, size * 0.25, size * 0.25);
        p.setPen(QPen(QColor(110, 140, 90, 200), std::max(1.0, size * 0.12)));
        p.drawLine(c + QPointF(0, size), c + QPointF(size * 0.8, size * 2.0));
    };
    const double w = r.width();
    flower(r.topLeft() + QPointF(w * 0.25, w * 0.25), w * 0.1);
    flower(r.topLeft() + QPointF(w * 0.75, w * 0.75), w * 0.1);
    flower(r.topLeft() + QPointF(w * 0.8, w * 0.2), w * 0.05);
    flower(r.topLeft() + QPointF(w * 0.2, w * 0.8), w * 0.05);
}

void Fabric(QImage& img, const PictureSpec& s, const Noise& n) {
    const int w = img.width();
    const int check = std::max(8, w / 6);
    ForEachPixel(img, [&](int x, int y) {
        const bool warp = ((x / 2 + y / 2) % 2) == 0;  // over-and-under of the threads
        const double thread = warp ? 1.04 : 0.94;
        const bool bandX = (x % check) < check / 5, bandY = (y % check) < check / 5;
        const double t = (bandX ? 0.5 : 0.0) + (bandY ? 0.5 : 0.0);
        const double slub = n.at(x * 0.2, y * 3.0) * 0.08;
        return Mix(s.base, s.accent, t, thread - slub);
    });
}

bool IsWallpaper(Pattern pattern) {
    return pattern == Pattern::Damask || pattern == Pattern::Stripes || pattern == Pattern::Floral;
}

}  // namespace

QImage DrawProductPicture(const PictureSpec& spec) {
    const double ppm = PixelsPerMm(spec.widthMm, spec.heightMm);
    int w = std::max(16, static_cast<int>(std::lround(spec.widthMm * ppm)));
    int h = std::max(16, static_cast<int>(std::lround(spec.heightMm * ppm)));
    if (IsWallpaper(spec.pattern)) w = h = kWallpaperRepeatPixels;
    QImage img(w, h, QImage::Format_RGB32);
    const Noise noise(spec.seed);
    switch (spec.pattern) {
        case Pattern::PolishedTile: PolishedTile(img, spec, noise); break;
        case Pattern::RusticTile: RusticTile(img, spec, noise); break;
        case Pattern::Marble: Marble(img, spec, noise); break;
        case Pattern::Granite: Granite(img, spec, noise); break;
        case Pattern::WoodPlank: WoodPlank(img, spec, noise); break;
        case Pattern::WallTile: WallTile(img, spec, noise); break;
        case Pattern::Damask: WallpaperRepeat(img, spec, noise, DamaskRepeat); break;
        case Pattern::Stripes: WallpaperRepeat(img, spec, noise, StripesRepeat); break;
        case Pattern::Floral: WallpaperRepeat(img, spec, noise, FloralRepeat); break;
        case Pattern::Fabric: Fabric(img, spec, noise); break;
    }
    return img;
}

QImage DrawModelPicture(ModelShape shape, const QColor& colour, int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(QColor(250, 250, 248));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(160), size / 60.0 + 1));
    const double s = size;
    switch (shape) {
        case ModelShape::Sofa:
            p.setBrush(colour);
            p.drawRoundedRect(QRectF(s * 0.12, s * 0.30, s * 0.76, s * 0.30), s * 0.05, s * 0.05);
            p.drawRoundedRect(QRectF(s * 0.08, s * 0.45, s * 0.84, s * 0.22), s * 0.05, s * 0.05);
            p.setBrush(colour.lighter(115));
            p.drawRoundedRect(QRectF(s * 0.05, s * 0.40, s * 0.12, s * 0.30), s * 0.04, s * 0.04);
            p.drawRoundedRect(QRectF(s * 0.83, s * 0.40, s * 0.12, s * 0.30), s * 0.04, s * 0.04);
            p.setBrush(colour.darker(150));
            p.drawRect(QRectF(s * 0.12, s * 0.70, s * 0.04, s * 0.08));
            p.drawRect(QRectF(s * 0.84, s * 0.70, s * 0.04, s * 0.08));
            break;
        case ModelShape::Door:
            p.setBrush(colour);
            p.drawRect(QRectF(s * 0.28, s * 0.06, s * 0.44, s * 0.88));
            p.setBrush(colour.lighter(112));
            p.drawRect(QRectF(s * 0.34, s * 0.12, s * 0.32, s * 0.34));
            p.drawRect(QRectF(s * 0.34, s * 0.52, s * 0.32, s * 0.36));
            p.setBrush(QColor(210, 180, 80));
            p.drawEllipse(QPointF(s * 0.66, s * 0.50), s * 0.025, s * 0.025);
            break;
        case ModelShape::Picture: {
            p.setBrush(QColor(120, 85, 50));
            p.drawRect(QRectF(s * 0.12, s * 0.2, s * 0.76, s * 0.6));
            QLinearGradient sky(0, s * 0.25, 0, s * 0.75);
            sky.setColorAt(0, colour.lighter(140));
            sky.setColorAt(1, colour);
            p.setBrush(sky);
            p.drawRect(QRectF(s * 0.17, s * 0.25, s * 0.66, s * 0.5));
            p.setBrush(colour.darker(170));
            QPainterPath hills;
            hills.moveTo(s * 0.17, s * 0.75);
            hills.cubicTo(s * 0.35, s * 0.45, s * 0.5, s * 0.7, s * 0.83, s * 0.5);
            hills.lineTo(s * 0.83, s * 0.75);
            p.drawPath(hills);
            break;
        }
        case ModelShape::Carpet:
            p.setBrush(colour);
            p.drawRect(QRectF(s * 0.1, s * 0.25, s * 0.8, s * 0.5));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour.lighter(150), s / 30.0));
            p.drawRect(QRectF(s * 0.16, s * 0.31, s * 0.68, s * 0.38));
            p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.14, s * 0.1);
            break;
        case ModelShape::Curtain:
            for (int i = 0; i < 6; ++i) {
                p.setBrush(i % 2 ? colour : colour.lighter(118));
                p.drawRect(QRectF(s * (0.1 + i * 0.133), s * 0.1, s * 0.133, s * 0.82));
            }
            p.setBrush(QColor(150, 120, 80));
            p.drawRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.04));
            break;
    }
    return img;
}

QImage MakeThumbnail(const QImage& picture, int side) {
    const int w = picture.width();
    const int h = std::min(picture.height(), w);
    const QImage square = picture.copy((w - std::min(w, picture.height())) / 2,
                                       (picture.height() - h) / 2, std::min(w, picture.height()), h);
    return square.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace v2d::demo::pictures
