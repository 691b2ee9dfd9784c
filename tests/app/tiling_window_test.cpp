// "开始铺贴" from the main window: its messages, what it changes in the
// picture and the region, the progress bar and the rubber band.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <algorithm>

#include "rendering_window_fixture.h"

namespace v2d {
namespace {

using test::Checker;
using test::CompareAgainstOutline;
using test::OutlineMask;
using test::RenderingWindow;

TEST_F(RenderingWindow, ApplyWithoutProductOrSelectionSaysWhatIsMissingFirst) {
    const QImage before = Shown();
    main_->setProductPicture(QImage());
    main_->BitBtnApplyClick();  // nothing selected either: the product is asked for first
    main_->SelectRecord(floor_);
    main_->BitBtnApplyClick();
    EXPECT_EQ(prompts_.texts, (QStringList{"请先选产品。", "请先选产品。"}));

    prompts_.texts.clear();
    main_->setProductPicture(Checker(Qt::red, Qt::blue));
    main_->DragKind = 1;
    main_->BitBtnApplyClick();
    main_->DragKind = 2;
    main_->SelectRecord(-1);
    main_->BitBtnApplyClick();
    EXPECT_EQ(prompts_.texts, (QStringList{"当前为模型产品，不能铺贴。", "请先选中一个区域。"}));

    // A size that is no number stops the command with the conversion message.
    prompts_.texts.clear();
    main_->SelectRecord(floor_);
    main_->EditPartsWidth->setText("");
    main_->BitBtnApplyClick();
    ASSERT_EQ(prompts_.texts.size(), 1);
    EXPECT_TRUE(prompts_.texts[0].contains(QStringLiteral("不是有效的整数"))) << prompts_.texts[0].toStdString();

    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(main_->undoList().empty());
    EXPECT_TRUE(Record(floor_).picture.isNull());
}

TEST_F(RenderingWindow, TilingTheFloorChangesExactlyTheFloorAndRecordsTheProduct) {
    const QImage before = Shown();
    UseProduct(Checker(Qt::red, Qt::blue), test::kTileA);
    TileAlone(floor_);
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();

    const test::PixelChanges c = CompareAgainstOutline(before, Shown(), OutlineMask(Record(floor_), before.size()));
    ASSERT_GT(c.insideTotal, 10000);
    EXPECT_EQ(c.outsideChanged, 0);
    EXPECT_EQ(c.insideChanged, c.insideTotal);
    EXPECT_EQ(Record(floor_).partsInfo, test::kTileA);
    EXPECT_EQ(main_->undoList().size(), 1u);
    EXPECT_EQ(main_->LabelHelp->text(), QStringLiteral("铺贴完成，如果满意，可以点击保存效果图"));
    EXPECT_FALSE(main_->LabelHelp->isHidden());
    EXPECT_EQ(main_->LabelPro->text(), QStringLiteral("处理进度"));
    // The view shows what the renderer drew.
    EXPECT_EQ(main_->Image2->picture(), main_->renderer().displayed());
    // Only the floor got a picture.
    for (int i = 0; i < main_->scene().count(); ++i)
        if (i != floor_) EXPECT_TRUE(Record(i).picture.isNull()) << i;
}

TEST_F(RenderingWindow, TilingSeveralSelectedRegionsLaysEachInListOrder) {
    UseProduct(Checker(Qt::green, Qt::white), test::kTileB);
    main_->SelectRecord(floor_);
    main_->SelectRecord(wall_, true);  // and the walls grouped with it
    const std::vector<int> selected = main_->SelectedIndices();
    ASSERT_GT(selected.size(), 2u);
    main_->BitBtnApplyClick();
    ASSERT_EQ(main_->undoList().size(), selected.size());
    for (size_t k = 0; k < selected.size(); ++k) {
        EXPECT_EQ(main_->undoList()[k].target, &Record(selected[k])) << k;
        EXPECT_FALSE(Record(selected[k]).picture.isNull()) << k;
        EXPECT_EQ(Record(selected[k]).partsInfo, test::kTileB) << k;
    }
}

TEST_F(RenderingWindow, ProgressBarFollowsTheWarpAndEndsAtOneHundred) {
    UseProduct(Checker(Qt::red, Qt::blue), test::kTileA);
    main_->SelectRecord(floor_);
    progressValues_.clear();
    main_->BitBtnApplyClick();
    ASSERT_FALSE(progressValues_.empty());
    EXPECT_EQ(main_->ProgressBar1->value(), 100);
    EXPECT_EQ(progressValues_.back(), 100);
    // The warp reports on its way, not only at the end.
    EXPECT_TRUE(std::any_of(progressValues_.begin(), progressValues_.end(), [](int v) { return v > 0 && v < 100; }));
}

TEST_F(RenderingWindow, RubberBandLaysTheProductIntoTheRectangleOnly) {
    UseProduct(Checker(Qt::red, Qt::blue), test::kTileA);
    TileAlone(floor_);
    const QImage tiled = Shown();
    UseProduct(Checker(Qt::yellow, Qt::yellow), test::kTileB);

    // A rectangle well inside the floor, in picture coordinates (scale 1).
    const PixelBox box = OutlineBox(Record(floor_));
    ASSERT_FALSE(box.empty());
    const int cx = (box.minX + box.maxX) / 2, cy = box.maxY - (box.maxY - box.minY) / 4;
    const QPoint start(cx - 40, cy - 20), end(cx + 40, cy + 20);
    ASSERT_EQ(main_->HitTest(start.x(), start.y()), floor_);
    QTest::mousePress(main_->Image1, Qt::LeftButton, {}, start);
    QTest::mouseMove(main_->Image1, end);
    QTest::mouseRelease(main_->Image1, Qt::LeftButton, {}, end);

    const QImage laid = Shown();
    EXPECT_NE(laid.pixel(cx, cy), tiled.pixel(cx, cy));
    // Far from the rectangle the floor is as it was.
    EXPECT_EQ(laid.pixel(box.minX + (box.maxX - box.minX) / 8, box.maxY - 3),
              tiled.pixel(box.minX + (box.maxX - box.minX) / 8, box.maxY - 3));
    EXPECT_EQ(main_->undoList().size(), 2u);
    main_->SpeedButtonUndoClick();
    EXPECT_EQ(Shown(), tiled);
}

}  // namespace
}  // namespace v2d
