// The scene view's layers as the person sees them: a part of the zoomed
// scene drawn again after a change shows what a copy drawn whole would, and
// the hint line painted over the view looks as its panel and label did.
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QWheelEvent>

#include "demo/demo_room.h"
#include "document/scene_document.h"
#include "app_test_support.h"

namespace v2d {
namespace {

using test::App;

QImage Noise(QSize size, uint32_t seed) {
    QImage noise(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            noise.setPixel(x, y, 0xFF000000u | ((uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ seed) * 2654435761u >> 8));
    return noise;
}

QImage Painted(const PictureLayer& layer, QRect area) {
    QImage painted(area.size(), QImage::Format_RGB32);
    QPainter painter(&painted);
    painter.translate(-area.topLeft());
    layer.paint(painter, area, Qt::black);
    return painted;
}

TEST(PictureLayer, APartDrawnAgainGivesThePixelsOfTheWholeCopyAtItsEdgesToo) {
    App();
    const QImage before = Noise(QSize(301, 203), 1);
    const QRect changed(37, 41, 53, 29);
    QImage after = before.copy();
    QPainter(&after).drawImage(changed.topLeft(), Noise(changed.size(), 2));
    for (double zoom : {0.25, 0.33, 0.5, 0.67, 1.5, 2.0, 3.0}) {
        PictureLayer part(nullptr), whole(nullptr);
        part.setZoom(zoom);
        part.setPicture(before);
        part.settle();
        const QRect reach = part.setPicture(after, changed);
        const QRect shown(QPoint(), part.shownSize());
        EXPECT_LT(reach.height() * 3, shown.height()) << zoom;
        whole.setZoom(zoom);
        whole.setPicture(after);
        whole.settle();
        EXPECT_EQ(Painted(part, shown), Painted(whole, shown)) << zoom;  // still changing: that part scaled directly
        part.settle();
        EXPECT_EQ(Painted(part, shown), Painted(whole, shown)) << zoom;
    }
}

class SceneViewWindow : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(true);
        Doc().LoadScene(demo::BuildDemoRoomScene(800, 600));
    }
};

// The wardrobe's door painted through the colour button at each zoom (Ctrl +
// wheel over it): the view shows what a zoomed copy made whole from the new
// scene shows, before and after the scene rests.
TEST_F(SceneViewWindow, APaintedDoorShowsAsAWholeCopyOfTheNewSceneAt25And50And200Percent) {
    ClickButton("CheckBoxHelp");  // no hint line over the picture
    View().SetZoom(1.0);
    const V2dPolygon& door = Record(5);
    QPolygon outline;
    for (const V2d_Point& p : door.points) outline << QPoint(p.x, p.y);
    const QPointF centre = QRectF(outline.boundingRect()).center();
    auto& layer = Find<PictureLayer>("Image2");
    for (double zoom : {0.25, 0.5, 2.0}) {
        for (int notch = 0; notch < 12 && View().viewScale() != zoom; ++notch) {
            const QPointF at = centre * View().viewScale() + QPointF(View().ViewOffset());
            QWheelEvent wheel(at, Viewport().mapToGlobal(at), {}, QPoint(0, View().viewScale() < zoom ? 120 : -120),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(&Viewport(), &wheel);
        }
        ASSERT_EQ(View().viewScale(), zoom);
        layer.settle();
        QTest::mouseClick(&Viewport(), Qt::LeftButton, {}, (centre * zoom).toPoint() + View().ViewOffset());
        ASSERT_EQ(Doc().focusedRecord(), &door) << zoom;
        const uint64_t drawings = Doc().renderer().drawings();
        prompts_.colours = {QColor::fromHsv(int(zoom * 100) % 360, 200, 200)};
        ClickButton("ShapeColor");
        const QRect changed = Doc().renderer().ChangedSince(drawings);
        EXPECT_TRUE(!changed.isEmpty() && changed.width() < 400) << zoom;  // a part of the scene
        ClickButton("SpeedButtonClear");
        PictureLayer whole(nullptr);
        whole.setZoom(zoom);
        whole.setPicture(Doc().displayed());
        whole.settle();
        const QRect area = QRect(View().ViewOffset(), layer.shownSize()) & Viewport().rect();
        const QImage expected = Painted(whole, area.translated(-View().ViewOffset()));
        EXPECT_EQ(Viewport().grab(area).toImage().convertToFormat(QImage::Format_RGB32), expected) << zoom;
        layer.settle();
        EXPECT_EQ(Viewport().grab(area).toImage().convertToFormat(QImage::Format_RGB32), expected) << zoom;
    }
}

// At 25 % a product pulled from the panel crosses the back colour first: the
// view follows it there and takes it once it is over the picture.
TEST_F(SceneViewWindow, AProductPulledAcrossTheBackColourIsTakenOverThePicture) {
    View().SetZoom(0.25);
    QMimeData data;
    data.setData(kProductDragFormat, {});
    const QPoint back(Viewport().width() - 3, Viewport().height() / 2), picture = View().ViewOffset() + QPoint(100, 100);
    QDragEnterEvent enter(back, Qt::CopyAction, &data, Qt::LeftButton, {});
    QDragMoveEvent overBack(back, Qt::CopyAction, &data, Qt::LeftButton, {}), overPicture(picture, Qt::CopyAction, &data, Qt::LeftButton, {});
    for (QEvent* event : std::initializer_list<QEvent*>{&enter, &overBack, &overPicture}) QApplication::sendEvent(&Viewport(), event);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_FALSE(overBack.isAccepted());
    EXPECT_TRUE(overPicture.isAccepted());
}

// The panel and label the hint line once was, made as they were, against the view.
TEST_F(SceneViewWindow, TheHintLineLooksAsItsWhitePanelWithItsLabelDid) {
    View().SetZoom(0.25);  // the band stands on the back colour
    for (const QString& text : {QStringLiteral("请点击选择产品！或者点击开始铺贴！"), QStringLiteral("A&B 1 平方米"), QString()}) {
        main_->ShowHelpText(text);
        const QImage shown = Viewport().grab().toImage();
        QFrame panel(&Viewport());
        panel.setAutoFillBackground(true);
        QPalette white = panel.palette();
        white.setColor(QPalette::Window, Qt::white);
        panel.setPalette(white);
        auto* row = new QHBoxLayout(&panel);
        row->setContentsMargins(6, 3, 6, 3);
        row->addWidget(new QLabel(text, &panel));
        panel.adjustSize();
        const QRect band(QPoint(4, 4), panel.size());
        EXPECT_EQ(shown.copy(band), panel.grab().toImage().convertToFormat(shown.format())) << text.toStdString();
        EXPECT_NE(shown.pixel(band.topRight() + QPoint(1, 0)), qRgb(255, 255, 255));
        EXPECT_NE(shown.pixel(band.bottomLeft() + QPoint(0, 1)), qRgb(255, 255, 255));
    }
    EXPECT_EQ(Find<HintText>("LabelHelp").text(), QString());
}

}  // namespace
}  // namespace v2d
