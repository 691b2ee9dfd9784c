// "开始铺贴" over a large floor runs off the window's thread: meanwhile the
// window shows "取消" and takes no clicks on the scene; "取消" and Esc stop it
// with the picture and the history as they were; a laying left to finish
// shows what the same laying on the window's thread shows, as one step.
#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <QUndoStack>

#include "app/product_panel_widget.h"
#include "app_test_support.h"

namespace v2d {
namespace {

class LayingWindow : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(false);
        Scene scene;
        scene.background = QImage(2400, 1800, QImage::Format_RGB32);
        scene.background.fill(QColor(90, 120, 150));
        PolygonPtr floor = NewPolygon();
        floor->name = "地面";
        floor->points = {{300, 600}, {2100, 600}, {2399, 1799}, {0, 1799}};
        floor->indexList = {3};
        floor->realWidth = 6000;
        floor->realHeight = 4000;
        std::copy(floor->points.begin(), floor->points.end(), floor->corners);  // in perspective: warped
        scene.Append(std::move(floor));
        Doc().LoadScene(std::move(scene));
        UseProduct(test::Checker(Qt::red, Qt::blue, 16), "PartsName=砖&PartsSpecs=100*100");
        Doc().Select(0);
        before_ = Shown();
    }
    // The click alone: ClickButton would wait for the laying's end.
    void StartLaying() {
        QTest::mouseClick(&Find<QWidget>("BitBtnApply"), Qt::LeftButton);
        ASSERT_TRUE(main_->busy());
    }

    QImage before_;
};

TEST_F(LayingWindow, CancelOrEscapeLeavesThePictureAndTheHistoryAsTheyWere) {
    for (const bool escape : {false, true}) {
        StartLaying();
        EXPECT_TRUE(Find<QWidget>("SpeedButtonCancel").isVisible());
        EXPECT_FALSE(Find<QWidget>("PanelRight").isEnabled());
        Click(QPoint(50, 50));  // off the floor: would clear the selection
        EXPECT_EQ(Doc().selection().focused, 0);
        if (escape)
            Key(Qt::Key_Escape);
        else
            QTest::mouseClick(&Find<QWidget>("SpeedButtonCancel"), Qt::LeftButton);
        WaitUntilIdle();
        EXPECT_EQ(Shown(), before_) << escape;
        EXPECT_TRUE(Record(0).picture.isNull());
        EXPECT_EQ(Doc().history().count(), 0);
        EXPECT_FALSE(Find<QWidget>("SpeedButtonCancel").isVisible());
        EXPECT_TRUE(Find<QWidget>("PanelRight").isEnabled());
    }
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();
}

TEST_F(LayingWindow, ALayingLeftToFinishIsShownAsTheWindowsThreadLaysIt) {
    StartLaying();
    WaitUntilIdle();
    const QImage laid = Shown();
    EXPECT_NE(laid, before_);
    EXPECT_EQ(Find<PictureLayer>("Image2").picture(), Doc().displayed());
    EXPECT_EQ(Doc().history().count(), 1);
    EXPECT_EQ(Find<HintText>("LabelHelp").text(), QStringLiteral("铺贴完成，如果满意，可以点击保存效果图"));
    Doc().history().undo();
    EXPECT_EQ(Shown(), before_);
    Find<ProductPanelWidget>("PanelParts").ApplyOnThisThread();
    EXPECT_EQ(Shown(), laid);
}

}  // namespace
}  // namespace v2d
