// The scene view's layers as the person sees them: the zoomed copy, a product's drag, the hint line.
#include <QLabel>
#include <QMimeData>
#include <QSlider>
#include "demo/demo_room.h"
#include "scene/outline_geometry.h"
#include "app_test_support.h"

namespace v2d {
namespace {

QImage Noise(QSize size, uint32_t seed) {
    QImage noise(size, QImage::Format_RGB32);
    for (int i = 0; i < size.width() * size.height(); ++i) noise.setPixel(i % size.width(), i / size.width(), ~(i * seed * 2654435761u >> 7));
    return noise;
}
void Show(PictureLayer& layer, const QImage& picture, double zoom) { layer.setZoom(zoom), (void)layer.setPicture(picture), layer.settle(); }
QImage Painted(const PictureLayer& layer, QRect area) {
    QImage painted(area.size(), QImage::Format_RGB32);
    QPainter painter(&painted);
    painter.translate(-area.topLeft()), layer.paint(painter, area, Qt::black);
    return painted;
}

TEST(PictureLayer, APartDrawnAgainGivesThePixelsOfTheWholeCopyAtItsEdgesToo) {
    test::App();
    const QImage before = Noise(QSize(301, 203), 1);
    const QRect changed(37, 41, 53, 29);
    QImage after = before.copy();
    QPainter(&after).drawImage(changed.topLeft(), Noise(changed.size(), 3));
    for (double zoom : {0.25, 0.33, 0.5, 0.67, 1.5, 2.0, 3.0}) {
        PictureLayer part(nullptr), whole(nullptr);
        Show(part, before, zoom), Show(whole, after, zoom);
        const QRect shown(QPoint(), part.shownSize());
        EXPECT_LT(part.setPicture(after, changed).height() * 3, shown.height()) << zoom;
        EXPECT_EQ(Painted(part, shown), Painted(whole, shown)) << zoom;  // still changing: that part scaled directly
        part.settle();
        EXPECT_EQ(Painted(part, shown), Painted(whole, shown)) << zoom;
    }
}

struct SceneViewWindow : test::WindowTest {
    void SetUp() override { OpenWindow(true), Doc().LoadScene(demo::BuildDemoRoomScene(800, 600)), View().SetZoom(0.25); }
    QImage Grabbed(QRect area) { return Viewport().grab(area).toImage().convertToFormat(QImage::Format_RGB32); }
};

// At 25 %: a product is followed across the back colour; the door painted shows as a whole copy would.
TEST_F(SceneViewWindow, AProductIsFollowedOntoThePictureAndAPaintedDoorShowsAsAWholeCopy) {
    QMimeData data;
    data.setData(kProductDragFormat, {});
    QDragEnterEvent enter(QPoint(Viewport().width() - 3, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QDragMoveEvent over(View().ViewOffset() + QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&Viewport(), &enter), QApplication::sendEvent(&Viewport(), &over);
    EXPECT_TRUE(enter.isAccepted() && over.isAccepted());
    auto& layer = Find<PictureLayer>("Image2");
    const PixelBox door = OutlineBox(Record(5));
    QTest::mouseClick(&Viewport(), Qt::LeftButton, {}, QPoint(door.minX + door.maxX, door.minY + door.maxY) / 8 + View().ViewOffset());
    ASSERT_EQ(Doc().focusedRecord(), &Record(5));
    const uint64_t drawings = Doc().renderer().drawings();
    prompts_.colours = {QColor(200, 40, 40)};
    ClickButton("ShapeColor");
    EXPECT_LT(Doc().renderer().ChangedSince(drawings).width(), 400);
    ClickButton("SpeedButtonClear");
    PictureLayer whole(nullptr);  // a copy made whole from the new scene
    Show(whole, Doc().displayed(), 0.25);
    const QRect area(View().ViewOffset(), layer.shownSize());
    EXPECT_EQ(Grabbed(area), Painted(whole, QRect(QPoint(), area.size())));  // still changing
    layer.settle();
    EXPECT_EQ(Grabbed(area), Painted(whole, QRect(QPoint(), area.size())));
}

TEST_F(SceneViewWindow, TheHintLineLooksAsItsWhitePanelWithItsLabelDid) {  // a white label with its margins
    for (const QString& text : {QStringLiteral("请点击选择产品！或者点击开始铺贴！"), QStringLiteral("A&B 1 平方米"), QString()}) {
        main_->ShowHelpText(text);
        const QImage shown = Viewport().grab().toImage();
        QLabel panel(text, &Viewport());
        QPalette white = panel.palette();
        white.setColor(QPalette::Window, Qt::white), panel.setPalette(white), panel.setAutoFillBackground(true);
        panel.setContentsMargins(6, 3, 6, 3), panel.adjustSize();
        const QRect band(QPoint(4, 4), panel.size());
        EXPECT_EQ(shown.copy(band), panel.grab().toImage().convertToFormat(shown.format())) << text.toStdString();
        EXPECT_TRUE(shown.pixel(band.topRight() + QPoint(1, 0)) != qRgb(255, 255, 255) && shown.pixel(band.bottomLeft() + QPoint(0, 1)) != qRgb(255, 255, 255));
    }
}

// "原图对比": B shows the photo left of the line; a drag moves the line, the slider follows; B again shows the scene.
TEST_F(SceneViewWindow, BeforeAndAfterShowsThePhotoLeftOfTheLineTheDragMoves) {
    UseProduct(test::Checker(Qt::red, Qt::blue), "PartsName=砖&PartsSpecs=600*600"), Click(QPoint(400, 560) / 4), ClickButton("BitBtnApply");
    const int steps = Doc().history().count();
    PictureLayer photo(nullptr), scene(nullptr);
    Show(photo, Doc().scene().background, 0.25), Show(scene, Doc().displayed(), 0.25);
    const QRect area(View().ViewOffset(), photo.shownSize());
    auto column = [&](double share, const QImage& from) {  // a strip of floor below the captions, clear of the grip
        const QRect strip(int(share * area.width()), area.height() * 3 / 4, 3, area.height() / 5);
        return from.copy(strip);
    };
    const QImage photoShown = Painted(photo, QRect(QPoint(), area.size())), sceneShown = Painted(scene, QRect(QPoint(), area.size()));
    ASSERT_NE(column(0.3, photoShown), column(0.3, sceneShown));  // the floor was laid there
    const QImage laid = Grabbed(area);  // the scene under the selected floor's outline
    Key(Qt::Key_B);
    ASSERT_TRUE(View().beforeAfterShown());
    EXPECT_TRUE(Find<QWidget>("SliderBeforeAfter").isVisible());
    QImage shown = Grabbed(area);
    EXPECT_EQ(column(0.3, shown), column(0.3, photoShown));
    EXPECT_EQ(column(0.8, shown), column(0.8, sceneShown));
    const int y = area.height() / 3 + area.top();
    QTest::mousePress(&Viewport(), Qt::LeftButton, {}, QPoint(area.left() + area.width() / 10, y));
    QTest::mouseMove(&Viewport(), QPoint(area.left() + area.width() * 9 / 10, y));
    QTest::mouseRelease(&Viewport(), Qt::LeftButton, {}, QPoint(area.left() + area.width() * 9 / 10, y));
    EXPECT_NEAR(View().beforeAfterSplit(), 0.9, 0.01);
    EXPECT_NEAR(Find<QSlider>("SliderBeforeAfter").value(), 900, 10);
    EXPECT_EQ(Doc().history().count(), steps);  // the drag edited nothing
    shown = Grabbed(area);
    EXPECT_EQ(column(0.8, shown), column(0.8, photoShown));
    Key(Qt::Key_B);
    EXPECT_FALSE(View().beforeAfterShown());
    EXPECT_FALSE(Find<QWidget>("SliderBeforeAfter").isVisible());
    EXPECT_EQ(Grabbed(area), laid);
}

}  // namespace
}  // namespace v2d
