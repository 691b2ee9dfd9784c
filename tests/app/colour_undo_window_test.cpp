// Colour painting from the swatch and the colour cards, and undo.
#include <QFrame>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <cmath>

#include "library/data_module.h"
#include "rendering_window_fixture.h"
#include "tools/Uformcolor.h"

namespace v2d {
namespace {

using test::Checker;
using test::CompareAgainstOutline;
using test::OutlineMask;
using test::RenderingWindow;

// A flat colour under the photo's light, worked out by hand: brightness
// 0.299 R + 0.587 G + 0.114 B of the photo, capped at 255, times each channel / 255.
QRgb ColourUnderLight(QColor colour, QRgb photo) {
    const float light = std::min(255.0f, 0.299f * qRed(photo) + 0.587f * qGreen(photo) + 0.114f * qBlue(photo));
    auto channel = [&](int c) { return static_cast<int>(std::trunc(c * light * 0.00392156862745098f)); };
    return qRgb(channel(colour.red()), channel(colour.green()), channel(colour.blue()));
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 1 && std::abs(qGreen(a) - qGreen(b)) <= 1 && std::abs(qBlue(a) - qBlue(b)) <= 1;
}

// Every inside pixel of the record shows the colour under the photo's light.
int PixelsNotShowing(QColor colour, const QImage& shown, const QImage& photo, const OutlineMask& mask) {
    int wrong = 0;
    for (int y = 0; y < shown.height(); y += 3)
        for (int x = 0; x < shown.width(); x += 3)
            if (mask.at(x, y) == test::Side::Inside && !Near(shown.pixel(x, y), ColourUnderLight(colour, photo.pixel(x, y))))
                ++wrong;
    return wrong;
}

TEST_F(RenderingWindow, ColourCardOkPaintsTheSelectedRegionShadedByThePhoto) {
    auto module = TDataModule_Manager::DataModuleCreate(ws_.path());
    ASSERT_TRUE(module.ok()) << module.error();
    TFormColor cards;
    ASSERT_TRUE(cards.FormCreate(**module).ok());
    main_->setColourCards(&cards);
    main_->SelectRecord(floor_);
    const QImage before = Shown();

    QTimer::singleShot(0, &cards, [&] {
        cards.ShapeColor1MouseDown(0);
        cards.SpeedButton1Click();
    });
    QTest::mouseClick(main_->SButtonColor, Qt::LeftButton);
    const std::optional<QColor> picked = cards.pickedColour();
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(main_->ShapeColor->palette().color(QPalette::Window).rgb(), picked->rgb());

    const QImage shown = Shown();
    const OutlineMask mask(Record(floor_), shown.size());
    EXPECT_EQ(CompareAgainstOutline(before, shown, mask).outsideChanged, 0);
    EXPECT_EQ(PixelsNotShowing(*picked, shown, main_->scene().background, mask), 0);
    // The colour cards leave no undo entry.
    EXPECT_TRUE(main_->undoList().empty());
}

TEST_F(RenderingWindow, SwatchColourPaintsWithForegroundAndOnlyWaitsWithAmbient) {
    main_->SelectRecord(floor_);
    const QImage before = Shown();
    main_->RadioButtonBack->setChecked(true);
    prompts_.colours.push_back(QColor(0, 200, 100));
    QTest::mouseClick(main_->ShapeColor, Qt::LeftButton);
    EXPECT_EQ(main_->shapeColour(), 0x0064C800u);
    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(main_->undoList().empty());

    main_->RadioButtonFront->setChecked(true);
    prompts_.colours.push_back(QColor(200, 40, 40));
    QTest::mouseClick(main_->ShapeColor, Qt::LeftButton);
    const QImage shown = Shown();
    const OutlineMask mask(Record(floor_), shown.size());
    EXPECT_EQ(PixelsNotShowing(QColor(200, 40, 40), shown, main_->scene().background, mask), 0);
    EXPECT_EQ(main_->undoList().size(), 1u);

    // Cancelling the dialog changes nothing.
    QTest::mouseClick(main_->ShapeColor, Qt::LeftButton);
    EXPECT_EQ(main_->shapeColour(), 0x002828C8u);
    main_->SpeedButtonUndoClick();
    EXPECT_EQ(Shown(), before);
}

TEST_F(RenderingWindow, AmbientColourMultipliesTheNextTiling) {
    main_->RadioButtonBack->setChecked(true);
    main_->setShapeColour(0x000000FF);  // red: green and blue become 0
    UseProduct(Checker(Qt::white, QColor(200, 200, 200)), test::kTileA);
    TileAlone(floor_);
    const QImage& picture = Record(floor_).picture;
    ASSERT_FALSE(picture.isNull());
    const QRgb centre = picture.pixel(picture.width() / 2, picture.height() * 3 / 4);
    EXPECT_GT(qRed(centre), 0);
    EXPECT_EQ(qGreen(centre), 0);
    EXPECT_EQ(qBlue(centre), 0);
}

TEST_F(RenderingWindow, UndoAfterTilingTwiceRestoresThePictureStepByStep) {
    const QImage before = Shown();
    UseProduct(Checker(Qt::red, Qt::blue), test::kTileA);
    TileAlone(floor_);
    const QImage first = Shown();
    UseProduct(Checker(Qt::green, Qt::white), test::kTileB);
    TileAlone(floor_);
    ASSERT_NE(Shown(), first);

    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : main_.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), first);
    QTest::mouseClick(main_->SpeedButtonUndo, Qt::LeftButton);
    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(Record(floor_).picture.isNull());
    EXPECT_TRUE(main_->undoList().empty());
    main_->SpeedButtonUndoClick();  // nothing left: silent
    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(prompts_.texts.isEmpty());
}

TEST_F(RenderingWindow, UndoAfterOpeningASchemeDoesNothing) {
    UseProduct(Checker(Qt::red, Qt::blue), test::kTileA);
    TileAlone(floor_);
    ASSERT_EQ(main_->undoList().size(), 1u);
    ASSERT_TRUE(main_->OpenScheme(ws_.qpath() + "/start/start.v2d"));
    EXPECT_TRUE(main_->undoList().empty());
    const QImage opened = Shown();
    main_->SpeedButtonUndoClick();
    EXPECT_EQ(Shown(), opened);
    EXPECT_TRUE(Record(floor_).picture.isNull());
}

TEST_F(RenderingWindow, OpeningASchemeRendersEveryRecordItHolds) {
    UseProduct(Checker(Qt::red, Qt::blue), test::kTileA);
    TileAlone(floor_);
    const QImage tiled = Shown();
    const QString saved = ws_.qpath() + "/v2d/tiled.v2d";
    ASSERT_TRUE(main_->SaveScheme(saved));
    ASSERT_TRUE(main_->OpenScheme(ws_.qpath() + "/start/start.v2d"));
    ASSERT_NE(Shown(), tiled);
    ASSERT_TRUE(main_->OpenScheme(saved));
    // The saved picture went through JPEG, so the floor comes back close, not equal.
    const QImage reopened = Shown();
    const QRgb a = reopened.pixel(800, 1100), b = tiled.pixel(800, 1100);
    EXPECT_LE(std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)), 40);
    EXPECT_EQ(main_->ProgressBar1->value(), 100);
}

}  // namespace
}  // namespace v2d
