// Brightness and reflection from the main window: the focus and mouse rules
// decide when the focused record is rendered again.
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include "rendering_window_fixture.h"

namespace v2d {
namespace {

using test::Checker;
using test::CompareAgainstOutline;
using test::OutlineMask;
using test::RenderingWindow;

class ToneControls : public RenderingWindow {
protected:
    void SetUp() override {
        RenderingWindow::SetUp();
        if (HasFatalFailure()) return;
        UseProduct(Checker(QColor(120, 120, 120), QColor(60, 60, 60)), test::kTileA);
        TileAlone(floor_);
        ASSERT_FALSE(Record(floor_).picture.isNull());
        tiled_ = Shown();
        completedRedraws_ = 0;
    }

    // Sum of the red channel inside the floor.
    long long FloorBrightness(const QImage& picture) {
        const OutlineMask mask(Record(floor_), picture.size());
        long long sum = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (mask.at(x, y) == test::Side::Inside) sum += qRed(picture.pixel(x, y));
        return sum;
    }

    QPoint HandleCentre(QSlider& slider) {
        QStyleOptionSlider option;
        option.initFrom(&slider);
        option.orientation = slider.orientation();
        option.minimum = slider.minimum();
        option.maximum = slider.maximum();
        option.sliderPosition = slider.sliderPosition();
        option.sliderValue = slider.value();
        return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider).center();
    }

    QImage tiled_;
};

TEST_F(ToneControls, EditBoxWithFocusRendersTheFocusedRegionOnce) {
    main_->EditLighten->setFocus();
    ASSERT_TRUE(main_->EditLighten->hasFocus());
    main_->EditLighten->setText("50");
    QCoreApplication::processEvents();
    EXPECT_EQ(completedRedraws_, 1);
    EXPECT_EQ(Record(floor_).lighten, 50);
    EXPECT_EQ(main_->TrackBarLight->value(), 50);
    const QImage brighter = Shown();
    EXPECT_GT(FloorBrightness(brighter), FloorBrightness(tiled_));
    EXPECT_EQ(CompareAgainstOutline(tiled_, brighter, OutlineMask(Record(floor_), tiled_.size())).outsideChanged, 0);

    // A text that is no number counts as 0; a "-" being typed is left alone.
    main_->EditLighten->setText("-");
    QCoreApplication::processEvents();
    EXPECT_EQ(main_->EditLighten->text(), "-");
    EXPECT_EQ(Record(floor_).lighten, 0);
    EXPECT_EQ(Shown(), tiled_);
}

TEST_F(ToneControls, TrackBarWithoutFocusOnlyMovesItsEditBox) {
    main_->ListBoxPoly->setFocus();
    main_->TrackBarLight->setValue(80);
    QCoreApplication::processEvents();
    EXPECT_EQ(main_->EditLighten->text(), "80");
    EXPECT_EQ(Record(floor_).lighten, 0);
    EXPECT_EQ(completedRedraws_, 0);
    EXPECT_EQ(Shown(), tiled_);
}

TEST_F(ToneControls, DraggingTheTrackBarRendersNothingUntilRelease) {
    QSlider& bar = *main_->TrackBarLight;
    bar.setFocus();
    const QPoint handle = HandleCentre(bar);
    QTest::mousePress(&bar, Qt::LeftButton, {}, handle);
    for (int dx = 5; dx <= 40; dx += 5) QTest::mouseMove(&bar, handle + QPoint(dx, 0));
    QCoreApplication::processEvents();
    ASSERT_GT(bar.value(), 0) << "the drag did not move the slider";
    EXPECT_EQ(Record(floor_).lighten, 0);
    EXPECT_EQ(completedRedraws_, 0);
    EXPECT_EQ(Shown(), tiled_);
    EXPECT_EQ(main_->EditLighten->text(), QString::number(bar.value()));

    QTest::mouseRelease(&bar, Qt::LeftButton, {}, handle + QPoint(40, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(Record(floor_).lighten, bar.value());
    EXPECT_EQ(completedRedraws_, 1);
    EXPECT_GT(FloorBrightness(Shown()), FloorBrightness(tiled_));
}

TEST_F(ToneControls, BrightnessChangesOnlyTheFocusedItemOfTheSelection) {
    main_->SelectRecord(floor_);
    main_->SelectRecord(wall_, true);  // the wall is the focused item
    main_->EditLighten->setFocus();
    main_->EditLighten->setText("30");
    QCoreApplication::processEvents();
    EXPECT_EQ(Record(wall_).lighten, 30);
    EXPECT_EQ(Record(floor_).lighten, 0);
}

TEST_F(ToneControls, ReflectionEditRendersAndRejectsAnEmptyText) {
    main_->EditReflect->setFocus();
    main_->EditReflect->setText("40");
    QCoreApplication::processEvents();
    EXPECT_EQ(Record(floor_).reflect, 40);
    EXPECT_EQ(completedRedraws_, 1);
    EXPECT_NE(Shown(), tiled_);

    main_->EditReflect->setText("");
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts_.texts.size(), 1);
    EXPECT_TRUE(prompts_.texts[0].contains(QStringLiteral("不是有效的整数")));
    EXPECT_EQ(Record(floor_).reflect, 40);

    // While a product is loaded into the panel its reflection moves the bar only.
    main_->LoadingProduct = true;
    main_->TrackBarReflect->setFocus();
    main_->TrackBarReflect->setValue(10);
    main_->LoadingProduct = false;
    EXPECT_EQ(Record(floor_).reflect, 40);
}

}  // namespace
}  // namespace v2d
