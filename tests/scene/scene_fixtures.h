#pragma once
// Scenes and pictures for the file-format tests, made in code.
#include <QImage>
#include <QPainter>

#include "scene/scene.h"

namespace v2d::testing {

inline QImage SolidPicture(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A picture with a distinct colour in each quadrant, for orientation checks.
inline QImage QuadrantPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = (y < h / 2) ? (x < w / 2 ? 0xFFFF0000 : 0xFF00FF00) : (x < w / 2 ? 0xFF0000FF : 0xFFFFFF00);
    }
    return image;
}

inline QImage AlphaPicture(int w, int h, QRgb colour, int alpha) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha));
    return image;
}

inline PolygonPtr Region(const char* name, std::vector<V2d_Point> points, std::vector<int32_t> rings) {
    PolygonPtr r = NewPolygon();
    r->name = name;
    r->points = std::move(points);
    r->indexList = std::move(rings);
    SetCornersFromBoundingBox(*r);
    r->realWidth = 3000;
    r->realHeight = 2000;
    return r;
}

// One record of every kind, a model with a part, a cut-out model with three
// frames, a region with a mesh and a group.
inline Scene RichScene() {
    Scene scene;
    scene.background = QuadrantPicture(64, 48);

    V2dPolygon* floor = scene.Append(Region("地面", {{0, 30}, {63, 30}, {63, 47}, {0, 47}}, {3}));
    floor->picture = SolidPicture(64, 18, 0xFF808080);
    floor->partsInfo = "PartsName=仿古砖&PartsNumber=RY-043&SalesName=O'Brien \"品牌\"&PartsSpecs=600*600";
    floor->lighten = -20;
    floor->reflect = 35;

    V2dPolygon* wall = scene.Append(
        Region("墙面", {{0, 0}, {40, 0}, {40, 29}, {0, 29}, {10, 5}, {20, 5}, {20, 15}, {10, 15}}, {3, 7}));
    wall->castShadow = 0;  // has a mesh
    auto mesh = std::make_unique<V2dPolygonMesh>();
    mesh->owner = wall;
    mesh->rows = 2;
    mesh->cols = 3;
    mesh->srcNodes = {{0, 0}, {20, 0}, {40, 0}, {0, 29}, {20, 29}, {40, 29}};
    mesh->dstNodes = {{1, 1}, {21, 2}, {39, 0}, {0, 28}, {20, 27}, {40, 29}};
    scene.AddMesh(std::move(mesh));

    V2dPolygon* model = scene.Append(Region("沙发", {{41, 0}, {63, 0}, {63, 20}, {41, 20}}, {3}));
    model->kind = RecordKind::PictureModel;
    model->picture = SolidPicture(23, 21, 0xFF2040C0);
    model->sourcePicture = SolidPicture(30, 25, 0xFF2141C1);
    model->originX = 3;
    model->originY = -4;
    model->scaleX = 80;
    model->scaleY = 120;
    model->toneEnabled = 0;

    V2dPolygon* part = scene.Append(Region("坐垫", {{45, 5}, {55, 5}, {55, 15}, {45, 15}}, {3}));
    part->kind = RecordKind::PictureModel;
    part->group = model;

    V2dPolygon* shadow = scene.Append(Region("阴影", {{5, 40}, {15, 40}, {15, 45}, {5, 45}}, {3}));
    shadow->kind = RecordKind::ShadowRegion;
    shadow->shadowColor = 0x102030;
    shadow->blurRadius = 4;

    V2dPolygon* cutout = scene.Append(Region("花瓶", {{0, 0}, {11, 0}, {11, 15}, {0, 15}}, {3}));
    cutout->kind = RecordKind::CutOutModel;
    cutout->shadowX = -3;
    cutout->shadowY = 7;
    cutout->shadowRadius = 2;
    cutout->castShadow = 0;
    auto frames = std::make_unique<V2dPolygonEx>();
    frames->owner = cutout;
    frames->frames = {AlphaPicture(12, 16, 0xFF0000, 255), AlphaPicture(12, 16, 0x00FF00, 128),
                      AlphaPicture(12, 16, 0x0000FF, 0)};
    frames->current = 1;
    cutout->picture = frames->frames[1];
    scene.AddFrameSet(std::move(frames));

    scene.AddGroup(V2dGroupPL{"墙地组", {floor, wall}});
    return scene;
}

}  // namespace v2d::testing
