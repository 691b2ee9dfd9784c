#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <QPainterPath>

#include "vision/surface_finder.h"

using namespace v2d;
using namespace v2d::vision;

namespace {

QImage Filled(const QSize size, const std::vector<QPolygonF>& rings) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const QPolygonF& ring : rings) path.addPolygon(ring);
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter(&mask).fillPath(path, Qt::white);
    return mask;
}

QImage FoundMask(const QSize size, const FoundSurface& found) {
    std::vector<QPolygonF> rings;
    for (const Ring& ring : found.rings) {
        QPolygonF polygon;
        for (const V2d_Point& p : ring) polygon << QPointF(p.x, p.y);
        rings.push_back(polygon);
    }
    return Filled(size, rings);
}

double IoU(const QImage& a, const QImage& b) {
    long both = 0, either = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool p = a.constScanLine(y)[x] > 127, q = b.constScanLine(y)[x] > 127;
            both += p && q;
            either += p || q;
        }
    return either ? double(both) / either : 0;
}

// A room drawn by hand: walls, a tiled floor seen in perspective, a box
// standing on it and a mat a shade lighter than the tiles.
struct PaintedRoom {
    QImage photo{800, 600, QImage::Format_RGB32};
    QPolygonF floor{QVector<QPointF>{{0, 600}, {800, 600}, {620, 260}, {180, 260}}};
    QPolygonF box{QVector<QPointF>{{330, 330}, {450, 330}, {450, 420}, {330, 420}}};
    QPolygonF mat{QVector<QPointF>{{160, 470}, {320, 470}, {300, 560}, {130, 560}}};

    PaintedRoom() {
        QPainter p(&photo);
        p.fillRect(photo.rect(), QColor(225, 220, 205));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 175, 185));
        p.drawPolygon(QPolygonF(QVector<QPointF>{{0, 260}, {180, 260}, {0, 600}}));
        p.drawPolygon(QPolygonF(QVector<QPointF>{{800, 260}, {620, 260}, {800, 600}}));
        p.setBrush(QColor(150, 120, 90));
        p.drawPolygon(floor);
        p.setClipRegion(QRegion(floor.toPolygon()));
        p.setPen(QPen(QColor(70, 60, 50), 2));
        for (double x = -1200; x <= 2000; x += 160) p.drawLine(QPointF(400, -300), QPointF(x, 600));
        for (double y : {285.0, 320.0, 370.0, 440.0, 530.0}) p.drawLine(QPointF(0, y), QPointF(800, y));
        p.setClipping(false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(175, 145, 115));
        p.drawPolygon(mat);
        p.setBrush(QColor(50, 60, 100));
        p.drawPolygon(box);
        p.setBrush(QColor(80, 90, 140));
        p.drawPolygon(QPolygonF(QVector<QPointF>{{330, 330}, {450, 330}, {430, 300}, {350, 300}}));
    }
};

}  // namespace

TEST(SurfaceFinder, RefusesWhatCannotBeFound) {
    EXPECT_FALSE(PhotoAnalysis::Of(QImage()).ok());
    QImage plain(300, 200, QImage::Format_RGB32);
    plain.fill(QColor(120, 130, 140));
    auto finder = PhotoAnalysis::Of(plain);
    ASSERT_TRUE(finder.ok());
    EXPECT_EQ((*finder)->size(), QSize(300, 200));
    EXPECT_EQ(FindSurface(**finder, {}).error(), "在单击处没有找到表面。");
    EXPECT_EQ(FindSurface(**finder, {{{300, 10}}, {}}).error(), "单击的位置在照片之外。");
    EXPECT_EQ(FindSurface(**finder, {{{10, 10}}, {{-1, 5}}}).error(), "单击的位置在照片之外。");
    EXPECT_EQ(FindSurface(**finder, {{{10, 10}}, {}}).error(), "在单击处没有找到表面。");  // the whole photo
    for (const QSize size : {QSize(1, 1), QSize(20000, 2), QSize(3, 9000)}) {
        QImage odd(size, QImage::Format_RGB32);
        odd.fill(Qt::gray);
        auto small = PhotoAnalysis::Of(odd);
        ASSERT_TRUE(small.ok());
        EXPECT_EQ(FindSurface(**small, {{{0, 0}}, {}}).error(), "在单击处没有找到表面。");
    }
}

TEST(SurfaceFinder, OneClickFindsTheFloorAroundWhatStandsOnIt) {
    const PaintedRoom room;
    auto finder = PhotoAnalysis::Of(room.photo);
    ASSERT_TRUE(finder.ok());
    const auto found = FindSurface(**finder, {{{560, 560}}, {}});
    ASSERT_TRUE(found.ok()) << found.error();
    ASSERT_GE(found->rings.size(), 2u);  // the box is a hole
    for (const Ring& ring : found->rings)
        for (const V2d_Point& p : ring) EXPECT_TRUE(QRect(0, 0, 800, 600).contains(p.x, p.y));
    const QSize size = room.photo.size();
    const QImage withoutMat = Filled(size, {room.floor, room.box, room.mat});
    EXPECT_GT(IoU(FoundMask(size, *found), withoutMat), 0.95);

    // A further click on the mat adds it; a Shift+click on it takes it away again.
    const auto withMat = FindSurface(**finder, {{{560, 560}, {220, 520}}, {}});
    ASSERT_TRUE(withMat.ok()) << withMat.error();
    EXPECT_GT(IoU(FoundMask(size, *withMat), Filled(size, {room.floor, room.box})), 0.95);
    const auto takenAway = FindSurface(**finder, {{{560, 560}, {220, 520}}, {{250, 500}}});
    ASSERT_TRUE(takenAway.ok()) << takenAway.error();
    EXPECT_GT(IoU(FoundMask(size, *takenAway), withoutMat), 0.95);
}

// A runner across the whole floor parts it in two: a click on each side finds
// both, as one outer ring (a bridge of no width over the runner) and holes.
TEST(SurfaceFinder, ClicksOnBothSidesOfARunnerFindTheFloorOnBothSides) {
    PaintedRoom room;
    const QPolygonF runner(QRectF(0, 440, 800, 50));
    QPainter(&room.photo).fillRect(runner.boundingRect(), QColor(40, 50, 120));
    auto finder = PhotoAnalysis::Of(room.photo);
    ASSERT_TRUE(finder.ok());
    const auto found = FindSurface(**finder, {{{560, 560}, {560, 350}}, {}});
    ASSERT_TRUE(found.ok()) << found.error();
    const QSize size = room.photo.size();
    EXPECT_GT(IoU(FoundMask(size, *found), Filled(size, {room.floor, room.box, room.mat, runner})), 0.85);  // one side alone: under 0.6
    const Ring& outer = found->rings.front();
    EXPECT_TRUE(std::any_of(outer.begin(), outer.end(), [](V2d_Point p) { return p.y > 500; }));
    EXPECT_TRUE(std::any_of(outer.begin(), outer.end(), [](V2d_Point p) { return p.y < 430; }));
}

// A stop asked for before the find is its answer; the analysis is whole afterwards.
TEST(SurfaceFinder, ACancelledFindIsRefusedAndTheAnalysisIsWorkedOutLater) {
    const PaintedRoom room;
    auto photo = PhotoAnalysis::Of(room.photo);
    ASSERT_TRUE(photo.ok());
    CancelToken cancel;
    cancel.Cancel();
    EXPECT_EQ(FindSurface(**photo, {{{560, 560}}, {}}, cancel).error(), "操作已取消。");
    EXPECT_FALSE((*photo)->WorkOut(cancel));
    EXPECT_TRUE((*photo)->WorkOut());
    EXPECT_TRUE(FindSurface(**photo, {{{560, 560}}, {}}).ok());
}

TEST(SurfaceFinder, BoardsOfManyShadesAreOneFloor) {
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(QColor(225, 220, 205));
    const QColor shades[] = {{150, 110, 70}, {162, 120, 78}, {140, 102, 64}, {156, 115, 74}};
    QPainter p(&photo);
    for (int x = 0, i = 0; x < 640; x += 40, ++i) {
        p.fillRect(x, 160, 40, 320, shades[(i * 3) % 4]);
        p.fillRect(x, 160, 1, 320, QColor(90, 65, 40));  // the seam
    }
    p.end();
    auto finder = PhotoAnalysis::Of(photo);
    ASSERT_TRUE(finder.ok());
    const auto found = FindSurface(**finder, {{{300, 400}}, {}});
    ASSERT_TRUE(found.ok()) << found.error();
    const QPolygonF floor(QRectF(0, 160, 640, 320));
    EXPECT_GT(IoU(FoundMask(photo.size(), *found), Filled(photo.size(), {floor})), 0.95);
}
