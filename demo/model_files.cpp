#include "demo/model_files.h"

#include <QPainter>

#include "library/product_descriptor.h"
#include "scene/model_file.h"

namespace v2d::demo {
namespace {

namespace pic = pictures;
constexpr int kPictureSide = 400;
constexpr QRgb kPaper = 0xFFFAFAF8;  // the drawn pictures' background

// The drawing cut to what differs from the paper; with `alpha` the paper
// becomes transparent.
QImage CutFromPaper(const QImage& drawn, bool alpha) {
    QRect box;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != kPaper) box |= QRect(x, y, 1, 1);
    QImage cut = drawn.copy(box);
    if (!alpha) return cut.convertToFormat(QImage::Format_RGB32);
    cut = cut.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < cut.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x)
            if (row[x] == kPaper) row[x] = 0;
    }
    return cut;
}

PolygonPtr RecordFor(const QImage& picture, RecordKind kind, const std::string& descriptor, int x0 = 0) {
    PolygonPtr r = NewPolygon();
    const ProductDescriptor product = ProductDescriptor::Parse(descriptor);
    r->name = product.name;
    r->kind = kind;
    const int w = picture.width(), h = picture.height();
    r->points = {{x0, 0}, {x0 + w - 1, 0}, {x0 + w - 1, h - 1}, {x0, h - 1}};
    r->indexList = {3};
    SetCornersFromBoundingBox(*r);
    r->picture = picture;
    if (kind == RecordKind::PictureModel) r->sourcePicture = picture;
    r->partsInfo = descriptor;
    const ProductSize size = product.size();
    r->realWidth = size.width;
    r->realHeight = size.height;
    return r;
}

// Front, mirrored, and a narrower three-quarter view.
V2dPolygonEx SofaFrames(const QImage& front, V2dPolygon* owner) {
    V2dPolygonEx frames;
    frames.owner = owner;
    frames.frames = {front, front.mirrored(true, false),
                     front.scaled(front.width() * 55 / 100, front.height(), Qt::IgnoreAspectRatio,
                                  Qt::SmoothTransformation)};
    frames.current = 0;
    return frames;
}

QImage WardrobePanel(const QColor& colour, int w, int h, bool curtain) {
    QImage panel(w, h, QImage::Format_RGB32);
    panel.fill(colour);
    QPainter p(&panel);
    p.setPen(QPen(colour.darker(150), 3));
    if (curtain) {
        for (int x = 8; x < w; x += 16) p.drawLine(x, 0, x + 4, h);  // folds
    } else {
        p.setBrush(colour.lighter(110));
        p.drawRect(QRect(w / 8, h / 12, w * 3 / 4, h * 5 / 6));
        p.setBrush(QColor(210, 180, 80));
        p.drawEllipse(QPoint(w * 7 / 8 - 6, h / 2), 5, 5);
    }
    return panel;
}

}  // namespace

Status WriteDemoModelFile(const std::filesystem::path& file, pic::ModelShape shape, const QColor& colour,
                          const std::string& descriptor) {
    const QImage drawn = pic::DrawModelPicture(shape, colour, kPictureSide).convertToFormat(QImage::Format_RGB32);
    if (shape == pic::ModelShape::Sofa) {
        PolygonPtr sofa = RecordFor(CutFromPaper(drawn, true), RecordKind::CutOutModel, descriptor);
        const V2dPolygonEx frames = SofaFrames(sofa->picture, sofa.get());
        return WriteModelFile({sofa.get()}, &frames, file);
    }
    PolygonPtr model = RecordFor(CutFromPaper(drawn, false), RecordKind::PictureModel, descriptor);
    return WriteModelFile({model.get()}, nullptr, file);
}

Result<QImage> WriteDemoWardrobe(const std::filesystem::path& file, const std::string& descriptor) {
    constexpr int kPanelWidth = 120, kHeight = 400;
    const QColor wood(150, 105, 70), cloth(215, 195, 160);
    const std::string curtainInfo = descriptor + "&PSTypeName=" + "帘身";
    PolygonPtr left = RecordFor(WardrobePanel(wood, kPanelWidth, kHeight, false), RecordKind::PictureModel, descriptor);
    PolygonPtr middle =
        RecordFor(WardrobePanel(cloth, kPanelWidth, kHeight, true), RecordKind::PictureModel, curtainInfo, kPanelWidth);
    PolygonPtr right =
        RecordFor(WardrobePanel(wood, kPanelWidth, kHeight, false), RecordKind::PictureModel, descriptor, 2 * kPanelWidth);
    left->name = "左门";
    middle->name = "帘身";
    middle->reflect = 20;
    right->name = "右门";
    if (Status written = WriteModelFile({left.get(), middle.get(), right.get()}, nullptr, file); !written)
        return Error{written.error()};
    QImage front(3 * kPanelWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&front);
    for (const V2dPolygon* part : {left.get(), middle.get(), right.get()})
        p.drawImage(part->points.front().x, 0, part->picture);
    p.end();
    return front;
}

}  // namespace v2d::demo
