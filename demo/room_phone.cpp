#include "demo/room_phone.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "base/atomic_file.h"

namespace v2d::demo {
namespace {

// Bilinear (pictures) or nearest (labels) lookup of the source position a
// barrel takes each pixel from.
QImage Barrel(const QImage& in, double k, bool nearest) {
    if (k == 0) return in;
    const int w = in.width(), h = in.height();
    const QImage src = nearest ? in : in.convertToFormat(QImage::Format_RGB32);
    QImage out(w, h, src.format());
    const double cx = w / 2.0, cy = h / 2.0, half = std::hypot(cx, cy);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - cx) / half, dy = (y + 0.5 - cy) / half, s = 1 + k * (dx * dx + dy * dy);
            const double sx = cx + dx * s * half - 0.5, sy = cy + dy * s * half - 0.5;
            if (nearest) {
                const int ix = std::clamp(int(std::lround(sx)), 0, w - 1), iy = std::clamp(int(std::lround(sy)), 0, h - 1);
                out.scanLine(y)[x] = src.constScanLine(iy)[ix];
                continue;
            }
            const int x0 = std::clamp(int(std::floor(sx)), 0, w - 1), y0 = std::clamp(int(std::floor(sy)), 0, h - 1);
            const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
            const double fx = std::clamp(sx - x0, 0.0, 1.0), fy = std::clamp(sy - y0, 0.0, 1.0);
            const QRgb a = src.pixel(x0, y0), b = src.pixel(x1, y0), c = src.pixel(x0, y1), d = src.pixel(x1, y1);
            auto mix = [&](int (*channel)(QRgb)) {
                const double top = channel(a) * (1 - fx) + channel(b) * fx, bottom = channel(c) * (1 - fx) + channel(d) * fx;
                return int(std::lround(top * (1 - fy) + bottom * fy));
            };
            reinterpret_cast<QRgb*>(out.scanLine(y))[x] = qRgb(mix(qRed), mix(qGreen), mix(qBlue));
        }
    return out;
}

// Three passes of a box blur of radius r: close to a Gaussian bloom.
std::vector<float> Blurred(std::vector<float> v, int w, int h, int r) {
    std::vector<float> t(v.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int i = std::max(0, x - r); i <= std::min(w - 1, x + r); ++i) sum += v[size_t(y) * w + i];
                t[size_t(y) * w + x] = float(sum / (2 * r + 1));
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int j = std::max(0, y - r); j <= std::min(h - 1, y + r); ++j) sum += t[size_t(j) * w + x];
                v[size_t(y) * w + x] = float(sum / (2 * r + 1));
            }
    }
    return v;
}

V2d_Point MovedPixel(V2d_Point p, double k, int w, int h) {
    const PixelPos moved = Barrelled({double(p.x), double(p.y)}, k, w, h);
    return {TruncToInt(std::lround(moved.x)), TruncToInt(std::lround(moved.y))};
}

}  // namespace

PixelPos Barrelled(PixelPos p, double k, int width, int height) {
    const double cx = width / 2.0, cy = height / 2.0, half = std::hypot(cx, cy);
    const double ux = (p.x - cx) / half, uy = (p.y - cy) / half;
    double dx = ux, dy = uy;
    for (int i = 0; i < 20; ++i) {
        const double s = 1 + k * (dx * dx + dy * dy);
        dx = ux / s, dy = uy / s;
    }
    return {cx + dx * half, cy + dy * half};
}

QImage PhoneLookOf(const QImage& photo, const RenderedRoom& room, const PhoneLook& look) {
    const QImage lensed = Barrel(photo.convertToFormat(QImage::Format_RGB32), look.barrel, false);
    const int w = lensed.width(), h = lensed.height();
    const QImage labels = Barrel(room.labels, look.barrel, true);
    std::vector<float> bloom;
    if (look.windowGlare > 0 && labels.size() == lensed.size()) {
        std::vector<float> window(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                window[size_t(y) * w + x] = labels.constScanLine(y)[x] == uchar(RoomFace::Window) ? 1.f : 0.f;
        bloom = Blurred(window, w, h, std::max(2, w / 60));
        for (size_t i = 0; i < bloom.size(); ++i) bloom[i] = std::max(bloom[i], window[i]);
    }
    std::mt19937 random(20260 + w * 7 + h);
    std::normal_distribution<float> gauss(0, 1);
    const double cx = w / 2.0, cy = h / 2.0, half = std::hypot(cx, cy);
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(lensed.constScanLine(y));
        QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double r2 = (std::pow(x + 0.5 - cx, 2) + std::pow(y + 0.5 - cy, 2)) / (half * half);
            const double gain = look.exposure * (1 - look.vignette * r2);
            const double glare = bloom.empty() ? 0 : look.windowGlare * bloom[size_t(y) * w + x];
            int rgb[3] = {qRed(in[x]), qGreen(in[x]), qBlue(in[x])};
            for (int& c : rgb) {
                // Light and glare add in linear light; the sensor's noise grows with the signal.
                double linear = std::pow(c / 255.0, 2.2) * gain + 1.6 * glare;
                double v = 255 * std::pow(std::min(linear, 1.0), 1 / 2.2);
                if (look.noise > 0) v += look.noise * std::sqrt((v + 24) / 152) * gauss(random);
                c = std::clamp(int(std::lround(v)), 0, 255);
            }
            to[x] = qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    return out;
}

Bytes WithExifOrientation(const Bytes& jpeg, int orientation) {
    if (jpeg.size() < 2) return jpeg;
    const uint8_t value = static_cast<uint8_t>(orientation);
    // APP1: "Exif\0\0", a big-endian TIFF header, one IFD with one SHORT entry (0x0112).
    const Bytes app1 = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0x00, 0x2A, 0, 0, 0, 8,
                        0x00, 0x01, 0x01, 0x12, 0x00, 0x03, 0, 0, 0, 1, 0x00, value, 0, 0, 0, 0, 0, 0};
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Result<RenderedRoom> PhoneCopy(const RenderedRoom& room, const PhoneLook& look, const std::string& name,
                               const std::filesystem::path& dir) {
    const auto bytes = ReadWholeFile(room.photo);
    const QImage photo = bytes ? DecodeJpeg(*bytes) : QImage();
    if (photo.isNull()) return Error{"无法读取 " + room.photo.string()};
    RenderedRoom copy = room;
    QImage looked = PhoneLookOf(photo, room, look);
    const int w = photo.width(), h = photo.height();
    if (look.barrel != 0) {
        copy.labels = Barrel(room.labels, look.barrel, true);
        copy.planes = Barrel(room.planes, look.barrel, true);
        copy.floorMask = Barrel(room.floorMask, look.barrel, true);
        copy.click = MovedPixel(room.click, look.barrel, w, h);
        copy.length.a = Barrelled(room.length.a, look.barrel, w, h);
        copy.length.b = Barrelled(room.length.b, look.barrel, w, h);
        copy.known.a = MovedPixel(room.known.a, look.barrel, w, h);
        copy.known.b = MovedPixel(room.known.b, look.barrel, w, h);
    }
    // A portrait phone keeps the sensor's rows: the file holds the photo
    // turned, the tag says how to turn it upright.
    if (look.exifOrientation == 6) looked = looked.transformed(QTransform().rotate(-90));
    else if (look.exifOrientation == 8) looked = looked.transformed(QTransform().rotate(90));
    auto jpeg = EncodeJpeg(looked, look.jpegQuality);
    if (!jpeg) return Error{"无法写入 " + name + ".jpg"};
    if (look.exifOrientation != 1) *jpeg = WithExifOrientation(*jpeg, look.exifOrientation);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    copy.photo = dir / (name + ".jpg");
    if (!WriteFileAtomically(copy.photo, *jpeg)) return Error{"无法写入 " + copy.photo.string()};
    copy.spec.name = name;
    copy.renderSeconds = 0;
    return copy;
}

}  // namespace v2d::demo
