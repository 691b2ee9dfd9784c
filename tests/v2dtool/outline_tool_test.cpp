// The outline tool: a region clicked on a photo, saved and read back by the
// core; a bad region refused with nothing written; edits undone.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/outline_geometry.h"
#include "scene/scheme_file.h"
#include "v2dtool/outline_canvas.h"
#include "v2dtool/outline_window.h"

namespace v2d::tool {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "v2dtool_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // never torn down among the exit handlers
    return *app;
}

struct OutlineTool : ::testing::Test {
    QTemporaryDir dir;
    QStringList messages;
    QString photo;
    void SetUp() override {
        App();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(QColor(120, 110, 100));
        photo = dir.filePath("room.jpg");
        ASSERT_TRUE(WriteFileAtomically(photo.toStdString(), *EncodeJpeg(image, 90)));
    }
    std::function<void(const QString&)> Collect() {
        return [this](const QString& m) { messages << m; };
    }
};

// A floor (a trapezoid in perspective) on a wall, a box standing on the floor.
struct SmartTool : OutlineTool {
    std::unique_ptr<TFormV2dTool> window;
    OutlineCanvas* canvas = nullptr;
    void SetUp() override {
        OutlineTool::SetUp();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(QColor(215, 205, 185));
        QPainter painter(&image);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 95, 50));
        painter.drawPolygon(QPolygon({QPoint(80, 140), QPoint(320, 140), QPoint(380, 290), QPoint(20, 290)}));
        painter.fillRect(QRect(170, 190, 60, 50), QColor(40, 60, 130));
        painter.end();
        photo = dir.filePath("floor.png");
        ASSERT_TRUE(image.save(photo));
        window = std::make_unique<TFormV2dTool>(Collect());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(window->OpenFile(photo));
        canvas = window->canvas();
        canvas->SetZoom(1.0);
    }
    void Press(const char* action) {
        auto* bar = window->findChild<QToolBar*>("ToolBarCommands");
        QTest::mouseClick(bar->widgetForAction(window->findChild<QAction*>(action)), Qt::LeftButton);
    }
    void Click(V2d_Point p, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(canvas, Qt::LeftButton, keys, canvas->WidgetPoint(p));
        for (int i = 0; i < 2000 && window->finding(); ++i) QTest::qWait(5);  // a smart click finds on the pool
    }
    void Drag(V2d_Point from, V2d_Point to) {
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas->WidgetPoint(from));
        QTest::mouseMove(canvas, canvas->WidgetPoint(to));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas->WidgetPoint(to));
    }
    QSpinBox* Spin(const char* name) { return window->findChild<QSpinBox*>(name); }
    QString Status() { return window->statusBar()->currentMessage(); }
};

TEST_F(SmartTool, AClickFindsTheFloorWithTheBoxAsAHoleAndFinishingKeepsRingsAndCorners) {
    Press("ActionSmartSelect");
    Click({60, 270});
    const OutlineEditor& editor = window->editor();
    ASSERT_EQ(editor.draftEnds().size(), 2u) << Status().toStdString();
    ASSERT_TRUE(editor.draftCorners().has_value());
    const vision::PhotoAnalysis* analysis = editor.photoAnalysis().get();
    const std::vector<vision::Segment>* segments = &analysis->segments();
    const QPainterPath found = OutlinePath(editor.draft(), editor.draftEnds());
    EXPECT_TRUE(found.contains(QPointF(300, 280)));
    EXPECT_FALSE(found.contains(QPointF(200, 215)));  // the box
    EXPECT_FALSE(found.contains(QPointF(200, 60)));   // the wall
    Click({200, 60}, Qt::ShiftModifier);  // taking away the wall keeps the floor
    EXPECT_EQ(editor.smartClicks().outside.size(), 1u);
    EXPECT_EQ(editor.photoAnalysis().get(), analysis);  // the photo analysed once for both finds
    EXPECT_EQ(&editor.photoAnalysis()->segments(), segments);
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(editor.smartClicks().outside.empty());
    ASSERT_EQ(editor.draftEnds().size(), 2u);
    const V2d_Point corner = (*editor.draftCorners())[3], moved{corner.x + 6, corner.y - 6};
    Drag(corner, moved);  // the proposed corners stay editable
    ASSERT_EQ((*editor.draftCorners())[3], moved);
    const Quad corners = *editor.draftCorners();
    Spin("SpinWidth")->setValue(4000);
    Spin("SpinHeight")->setValue(3000);
    QTest::keyClick(canvas, Qt::Key_Return);
    ASSERT_EQ(editor.scene().count(), 1);
    const V2dPolygon& floor = *editor.scene().at(0);
    EXPECT_EQ(floor.indexList.size(), 2u);
    EXPECT_EQ(QuadOf(floor.corners), corners);
    EXPECT_TRUE(editor.draft().empty());
}

TEST_F(SmartTool, ALineOfKnownLengthSizesTheRegionAsOneUndoStepAndBadClicksChangeNothing) {
    Press("ActionSmartSelect");
    Click({450, 100});  // beyond the photo's right edge
    EXPECT_EQ(Status(), QStringLiteral("单击的位置在照片之外。"));
    EXPECT_TRUE(window->editor().draft().empty());
    Press("ActionCalibrate");  // nothing to calibrate yet
    EXPECT_EQ(Status(), QString::fromUtf8(kMsgNothingToCalibrate));
    Press("ActionNewRegion");
    for (V2d_Point p : {V2d_Point{100, 100}, {300, 100}, {300, 200}, {100, 200}}) Click(p);
    Spin("SpinWidth")->setValue(1);
    Spin("SpinHeight")->setValue(1);
    QTest::keyClick(canvas, Qt::Key_Return);
    ASSERT_EQ(window->editor().scene().count(), 1);
    std::vector<double> asked = {500.0};
    window->SetLengthQuestion([&]() -> std::optional<double> {
        if (asked.empty()) return std::nullopt;
        const double mm = asked.back();
        asked.pop_back();
        return mm;
    });
    Press("ActionCalibrate");
    Drag({100, 150}, {200, 150});  // half the width: 500 mm
    const V2dPolygon& region = *window->editor().scene().at(0);
    EXPECT_NEAR(Spin("SpinWidth")->value(), 1000, 10);
    EXPECT_NEAR(Spin("SpinHeight")->value(), 500, 5);
    EXPECT_EQ(region.realWidth, Spin("SpinWidth")->value());
    Press("ActionCalibrate");
    Drag({100, 120}, {150, 120});  // the question cancelled: nothing changes
    EXPECT_EQ(region.realWidth, Spin("SpinWidth")->value());
    window->ActionUndoClick();
    EXPECT_EQ(region.realWidth, 1);
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(OutlineTool, ARegionClickedOnAPhotoIsSavedAndReadBackByTheCore) {
    TFormV2dTool window(Collect());
    ASSERT_TRUE(window.OpenFile(photo));
    OutlineCanvas* canvas = window.canvas();
    canvas->SetZoom(2.0);  // clicks land on whole photo pixels
    window.ActionNewRegionClick(true);
    for (V2d_Point p : {V2d_Point{10, 200}, {390, 200}, {390, 290}, {10, 290}})
        QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->WidgetPoint(p));
    ASSERT_EQ(window.editor().draft().size(), 4u);
    window.findChild<QLineEdit*>("EditName")->setText(QStringLiteral("地面"));
    window.ActionFinishRegionClick();  // no real size yet: refused, the draft kept
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("实际宽度和高度必须大于0")));
    EXPECT_EQ(window.editor().draft().size(), 4u);
    window.findChild<QSpinBox*>("SpinWidth")->setValue(4000);
    window.findChild<QSpinBox*>("SpinHeight")->setValue(3000);
    window.ActionFinishRegionClick();
    ASSERT_EQ(window.editor().scene().count(), 1);
    EXPECT_EQ(canvas->current(), 0);

    const QString out = dir.filePath("room.v2d");
    ASSERT_TRUE(window.SaveTo(out));
    Result<SchemeFile> read = ReadSchemeFile(out.toStdString());
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read->version, kSchemeVersion);
    ASSERT_EQ(read->scene.count(), 1);
    const V2dPolygon& floor = *read->scene.at(0);
    EXPECT_EQ(floor.name, "地面");
    EXPECT_EQ(floor.points, (std::vector<V2d_Point>{{10, 200}, {390, 200}, {390, 290}, {10, 290}}));
    EXPECT_EQ(floor.realWidth, 4000);
    EXPECT_EQ(floor.corners[2], (V2d_Point{390, 290}));
    EXPECT_EQ(read->scene.background.size(), QSize(400, 300));
}

TEST_F(OutlineTool, SavingASchemeWithoutRegionsAsksFirst) {
    TFormV2dTool window(Collect());
    QStringList asked;
    bool yes = false;
    window.SetYesNoQuestion([&](const QString& question) {
        asked << question;
        return yes;
    });
    window.show();
    ASSERT_TRUE(window.OpenFile(photo));
    const QString out = dir.filePath("empty.v2d");
    ASSERT_TRUE(window.SaveTo(out));  // the window's file from now on
    ASSERT_TRUE(QFile::remove(out));
    auto* bar = window.findChild<QToolBar*>("ToolBarCommands");
    QWidget* save = bar->widgetForAction(window.findChild<QAction*>("ActionSave"));
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(asked, QStringList{QStringLiteral("当前没有区域数据，是否仍然保存方案？")});
    EXPECT_FALSE(QFileInfo::exists(out));
    yes = true;
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(ReadSchemeFile(out.toStdString())->scene.count(), 0);
}

TEST_F(OutlineTool, EditsAreUndoneAndPointsOutsideThePhotoOrTooFewAreRefused) {
    OutlineEditor editor;
    ASSERT_TRUE(editor.StartFromPhoto(photo.toStdString()).ok());
    EXPECT_FALSE(editor.AddDraftPoint({400, 10}).ok());
    for (V2d_Point p : {V2d_Point{0, 0}, {100, 0}, {100, 100}}) ASSERT_TRUE(editor.AddDraftPoint(p).ok());
    ASSERT_TRUE(editor.FinishDraft("wall", 3000, 2800).ok());
    EXPECT_FALSE(editor.DeletePoint(0, 1).ok());  // three points stay
    ASSERT_TRUE(editor.MovePoint(0, 1, {120, 5}).ok());
    ASSERT_TRUE(editor.MovePoint(0, 1, {130, 6}, false).ok());  // the same drag
    ASSERT_TRUE(editor.MoveCorner(0, 2, {150, 140}).ok());
    ASSERT_TRUE(editor.DeleteRegion(0).ok());
    EXPECT_EQ(editor.scene().count(), 0);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().at(0)->corners[2], (V2d_Point{150, 140}));
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().at(0)->points[1], (V2d_Point{130, 6}));
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().at(0)->points[1], (V2d_Point{100, 0}));
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.scene().count(), 0);
    EXPECT_FALSE(editor.Undo());
    EXPECT_FALSE(editor.OpenScheme(photo.toStdString()).ok());  // a photo is no scheme
}

}  // namespace
}  // namespace v2d::tool
