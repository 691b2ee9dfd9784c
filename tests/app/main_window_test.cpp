// The main window: selection by click and list, outline, keys, scrolling,
// the scheme commands and the close prompts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <fstream>

#include "app/picture_layer.h"
#include "app/uformmain.h"
#include "app_test_support.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::App;
using test::ScriptedPrompts;
using test::TempFolder;

constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kWhite = 0xFFFFFFFF;

PolygonPtr Rect(const char* name, int x0, int y0, int x1, int y1, uint8_t kind = kRegion) {
    PolygonPtr r = NewPolygon();
    r->name = name;
    r->points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    r->indexList = {3};
    r->kind = kind;
    r->realWidth = 3000;
    r->realHeight = 3000;
    SetCornersFromBoundingBox(*r);
    return r;
}

QImage Background(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(90, 120, 150));
    return image;
}

// Floor and wall overlap; the two walls form a group; a picture model on top.
Scene RoomScene() {
    Scene scene;
    scene.background = Background(400, 300);
    V2dPolygon* floor = scene.Append(Rect("地面", 0, 150, 399, 299));
    V2dPolygon* wall = scene.Append(Rect("左墙", 0, 0, 200, 200));
    V2dPolygon* wall2 = scene.Append(Rect("右墙", 250, 0, 399, 140));
    PolygonPtr model = Rect("沙发", 0, 0, 40, 30, kPictureModel);
    model->originX = 300;
    model->originY = 200;
    model->reflect = 35;
    scene.Append(std::move(model));
    floor->reflect = 20;
    floor->lighten = 50;
    scene.GroupList.push_back(V2dGroupPL{"墙面", {wall, wall2}});
    return scene;
}

QWidget* KeyTarget(TFormMain& main) {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus->window() == &main ? focus : &main;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        test::CopyImageLibrary(ws_.path());
        MainWindowSetup setup;
        setup.programFolder = ws_.qpath();
        setup.prompts = &prompts_;
        setup.advertisementUrl = "http://127.0.0.1:9/ad";
        main_ = std::make_unique<TFormMain>(setup);
        ASSERT_FALSE(main_->terminateRequested()) << prompts_.texts.join("|").toStdString();
        main_->show();
        QCoreApplication::processEvents();
        main_->LoadScene(RoomScene());
    }

    // The window makes its program folder current; that folder goes away.
    void TearDown() override {
        main_.reset();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    void Click(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(main_->Image1, Qt::LeftButton, modifiers, at);
    }

    std::vector<int> Selected() const { return main_->SelectedIndices(); }

    TempFolder ws_;
    ScriptedPrompts prompts_;
    std::unique_ptr<TFormMain> main_;
};

TEST_F(MainWindow, ComponentsCarryTheirNamesAndStartingValues) {
    for (const char* name : {"PanelBack", "PanelImage", "Image1", "Image2", "Image3", "ScrollBarX", "ScrollBarY",
                             "ListBoxPoly", "ImageParts", "LabelName", "LabelNumber", "LabelFact", "LabelPrice",
                             "EditPartsWidth", "EditPartsHeight", "TrackBarLight", "EditLighten", "TrackBarReflect",
                             "EditReflect", "CheckBoxFit", "CheckBoxRot", "CheckBoxMirror", "CheckBoxMix",
                             "ShapeColor", "RadioButtonFront", "RadioButtonBack", "BitBtnApply", "LabelPro",
                             "ProgressBar1", "PanelHelp", "LabelHelp", "SpeedButtonUndo", "SpeedButtonVedio",
                             "CppWebBrowserAd", "SpeedButtonOpenFile", "SpeedButtonSaveFile", "SpeedButtonEffect",
                             "SpeedButtonClear", "node1", "node8", "NodeMove", "TimerShowWeb"})
        EXPECT_NE(main_->findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(main_->EditPartsWidth->text(), "600");
    EXPECT_EQ(main_->EditPartsHeight->text(), "600");
    EXPECT_EQ(main_->TrackBarLight->minimum(), -100);
    EXPECT_EQ(main_->TrackBarLight->maximum(), 400);
    EXPECT_EQ(main_->TrackBarReflect->maximum(), 100);
    EXPECT_TRUE(main_->LabelPrice->isHidden());
    EXPECT_TRUE(main_->CheckBoxMix->isChecked());
    EXPECT_TRUE(main_->RadioButtonFront->isChecked());
    EXPECT_EQ(main_->ShapeColor->palette().color(QPalette::Window), QColor(255, 0, 255));
    EXPECT_EQ(main_->BitBtnApply->text(), QStringLiteral("开始铺贴"));
    for (int i = 0; i < 9; ++i) EXPECT_FALSE(main_->handles[static_cast<size_t>(i)]->isVisible());
    EXPECT_EQ(main_->currentProduct(),
              "PartsName=布艺&PartsNumber=RY-043&PartsSpecs=600*600&PartsPrice=100.00&SalesName=维克赛尔样品");
    EXPECT_TRUE(fs::is_directory(ws_.path() / "temp"));
}

TEST_F(MainWindow, ClickSelectsTheTopmostRegionAndDrawsOnlyItsOutline) {
    ASSERT_EQ(main_->ListBoxPoly->count(), 4);
    EXPECT_EQ(main_->ListBoxPoly->item(1)->text(), QStringLiteral("[墙面]左墙"));
    Click(QPoint(100, 175));  // floor and left wall overlap here; the wall is later
    EXPECT_EQ(main_->CurrentIndex(), 1);
    EXPECT_EQ(main_->CurPoly(), main_->scene().at(1));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));  // and its group
    const QImage& overlay = main_->overlay();
    ASSERT_EQ(overlay.size(), QSize(400, 300));
    EXPECT_EQ(overlay.pixel(200, 100), kYellow);  // the wall's right edge
    EXPECT_EQ(overlay.pixel(399, 200), kWhite);   // the floor's is not drawn
    EXPECT_EQ(overlay.pixel(0, 299), kWhite);     // bottom-left kept white
    EXPECT_TRUE(main_->BitBtnApply->isEnabled());
    EXPECT_TRUE(main_->SpeedButtonEffect->isEnabled());
    EXPECT_EQ(main_->LabelHelp->text(), QStringLiteral("请点击选择产品！或者点击开始铺贴！"));
    // The overlay shows white as transparent.
    EXPECT_EQ(qAlpha(PictureLayer::KeyOutWhite(overlay).pixel(100, 100)), 0);
    EXPECT_EQ(qAlpha(PictureLayer::KeyOutWhite(overlay).pixel(200, 100)), 255);
}

TEST_F(MainWindow, CtrlClickAddsToTheSelectionAndTheOutlineFollowsTheLastClick) {
    Click(QPoint(100, 250));  // floor only
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(main_->TrackBarReflect->value(), 20);
    EXPECT_EQ(main_->TrackBarLight->value(), 50);
    EXPECT_EQ(main_->EditLighten->text(), "50");
    Click(QPoint(100, 50), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(main_->CurrentIndex(), 1);
    EXPECT_EQ(main_->overlay().pixel(200, 100), kYellow);
    EXPECT_EQ(main_->overlay().pixel(399, 200), kWhite);
    // A plain click starts afresh.
    Click(QPoint(100, 250));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    // A click outside every record clears the selection.
    Click(QPoint(230, 50));
    EXPECT_EQ(main_->CurrentIndex(), -1);
    EXPECT_EQ(main_->CurPoly(), nullptr);
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(main_->BitBtnApply->isEnabled());
}

TEST_F(MainWindow, SliderCaptionReadsTransparencyForModels) {
    Click(QPoint(320, 210));
    EXPECT_EQ(main_->CurPoly(), main_->scene().at(3));
    EXPECT_EQ(main_->LabelReflect->text(), QStringLiteral("透明"));
    EXPECT_EQ(main_->TrackBarReflect->value(), 35);
    EXPECT_TRUE(main_->LabelHelp->text().startsWith(QStringLiteral("你可以拖动物体中心按钮")));
    for (QLabel* handle : main_->handles) EXPECT_TRUE(handle->isVisible());
    // Corner handles sit on the model's corners in PanelBack coordinates.
    const QPoint offset = main_->PanelImage->pos() + main_->Image1->pos();
    EXPECT_EQ(main_->handles[0]->pos(), QPoint(300, 200) + offset);
    EXPECT_EQ(main_->handles[2]->pos(), QPoint(340, 230) + offset);
    Click(QPoint(100, 250));
    EXPECT_EQ(main_->LabelReflect->text(), QStringLiteral("反射"));
    for (QLabel* handle : main_->handles) EXPECT_FALSE(handle->isVisible());
}

TEST_F(MainWindow, ArrowKeysMoveTheSelectedModelByOnePixel) {
    Click(QPoint(320, 210));
    main_->EditPartsWidth->setFocus();
    QCoreApplication::processEvents();
    V2dPolygon* model = main_->scene().at(3);
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Right);
    EXPECT_EQ(model->originX, 301);
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Right);
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Left);
    EXPECT_EQ(model->originX, 301);
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Down);
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Down);
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Up);
    EXPECT_EQ(model->originY, 201);
    const QPoint offset = main_->PanelImage->pos() + main_->Image1->pos();
    EXPECT_EQ(main_->handles[0]->pos(), QPoint(301, 201) + offset);
    // The outline (and the model frame over it) moved with it.
    EXPECT_EQ(main_->overlay().pixel(300, 215), kWhite);
    EXPECT_NE(main_->overlay().pixel(301, 215), kWhite);

    // A region does not move.
    Click(QPoint(100, 250));
    main_->EditPartsWidth->setFocus();
    QTest::keyClick(KeyTarget(*main_), Qt::Key_Left);
    EXPECT_EQ(main_->scene().at(0)->originX, 0);
}

TEST_F(MainWindow, ShortcutsReachTheirHooks) {
    int undos = 0, turns = 0;
    main_->hooks.undo = [&] { ++undos; };
    main_->hooks.nextRotationFrame = [&] { ++turns; };
    EXPECT_TRUE(main_->FormShortCut(Qt::Key_Z, Qt::ControlModifier));
    EXPECT_FALSE(main_->FormShortCut(Qt::Key_R, {}));  // nothing selected
    Click(QPoint(320, 210));
    EXPECT_TRUE(main_->FormShortCut(Qt::Key_R, {}));
    main_->SpeedButtonUndo->click();
    EXPECT_EQ(undos, 2);
    EXPECT_EQ(turns, 1);
}

TEST_F(MainWindow, CancelSelectionClearsEverything) {
    Click(QPoint(320, 210));
    main_->SpeedButtonClear->click();
    EXPECT_EQ(main_->CurPoly(), nullptr);
    EXPECT_EQ(main_->CurrentIndex(), -1);
    EXPECT_TRUE(Selected().empty());
    EXPECT_TRUE(main_->overlay().isNull());
    EXPECT_FALSE(main_->BitBtnApply->isEnabled());
    EXPECT_FALSE(main_->SpeedButtonEffect->isEnabled());
    for (QLabel* handle : main_->handles) EXPECT_FALSE(handle->isVisible());
}

TEST_F(MainWindow, RubberBandInARegionIsDrawnAndReportedWhenLargeEnough) {
    std::vector<std::pair<QPoint, QPoint>> bands;
    main_->hooks.rectangleDrawn = [&](QPoint s, QPoint e, V2dPolygon* region) {
        EXPECT_EQ(region, main_->scene().at(0));
        bands.emplace_back(s, e);
    };
    QTest::mousePress(main_->Image1, Qt::LeftButton, {}, QPoint(50, 250));
    QMouseEvent move(QEvent::MouseMove, QPointF(90, 280), main_->Image1->mapToGlobal(QPointF(90, 280)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main_->Image1, &move);
    EXPECT_EQ(qGray(main_->overlay().pixel(90, 265)), 0);  // the band's right side
    EXPECT_EQ(main_->overlay().pixel(70, 265), kWhite);    // no fill
    QTest::mouseRelease(main_->Image1, Qt::LeftButton, {}, QPoint(90, 280));
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].first, QPoint(50, 250));
    EXPECT_EQ(bands[0].second, QPoint(90, 280));
    // One pixel wide does nothing.
    QTest::mousePress(main_->Image1, Qt::LeftButton, {}, QPoint(50, 250));
    QTest::mouseRelease(main_->Image1, Qt::LeftButton, {}, QPoint(51, 290));
    EXPECT_EQ(bands.size(), 1u);
}

TEST_F(MainWindow, ScrollingMovesThePanelAndTheHandlesAlike) {
    Scene big = RoomScene();
    big.background = Background(3000, 2400);
    main_->LoadScene(std::move(big));
    QCoreApplication::processEvents();
    ASSERT_TRUE(main_->ScrollBarX->isVisible());
    ASSERT_TRUE(main_->ScrollBarY->isVisible());
    EXPECT_EQ(main_->ScrollBarX->maximum(), 3002);
    Click(QPoint(320, 210));
    const QPoint handleBefore = main_->handles[0]->pos();
    main_->ScrollBarX->setValue(100);
    EXPECT_EQ(main_->PanelImage->x(), -100);
    EXPECT_EQ(main_->handles[0]->pos(), handleBefore - QPoint(100, 0));
    main_->ScrollBarY->setValue(3000);  // stops with the bottom edge 2 pixels above the visible edge
    EXPECT_EQ(main_->PanelImage->y() + main_->PanelImage->height(), main_->PanelBack->height() - 2);
}

TEST_F(MainWindow, SmallPictureIsCentred) {
    const QSize back = main_->PanelBack->size();
    EXPECT_FALSE(main_->ScrollBarX->isVisible());
    EXPECT_EQ(main_->PanelImage->size(), QSize(402, 302));
    EXPECT_EQ(main_->PanelImage->x(), qRound(0.5 * (back.width() - 402)));
    EXPECT_EQ(main_->PanelImage->y(), qRound(0.5 * (back.height() - 302)));
}

TEST_F(MainWindow, CloseAsksOnlyWithRegionsAndCancelKeepsTheScene) {
    prompts_.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(main_->FormCloseQuery());
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("退出软件前你要保存方案吗 ?")});
    EXPECT_EQ(main_->scene().count(), 4);
    prompts_.answers = {PromptAnswer::No};
    EXPECT_TRUE(main_->FormCloseQuery());
    EXPECT_EQ(prompts_.saveDialogs, 0);

    main_->LoadScene(Scene{});
    prompts_.texts.clear();
    EXPECT_TRUE(main_->FormCloseQuery());
    EXPECT_TRUE(prompts_.texts.isEmpty());
}

TEST_F(MainWindow, YesThenCancelledSaveDialogKeepsTheProgramOpen) {
    prompts_.answers = {PromptAnswer::Yes};
    prompts_.saveNames = {QString()};
    EXPECT_FALSE(main_->close());
    EXPECT_TRUE(main_->isVisible());
    EXPECT_EQ(prompts_.saveDialogs, 1);
    EXPECT_EQ(main_->scene().count(), 4);
    EXPECT_EQ(main_->ListBoxPoly->count(), 4);

    // Yes with a file chosen saves and closes.
    const QString target = ws_.qpath() + "/v2d/closing";
    fs::create_directories(ws_.path() / "v2d");
    prompts_.answers = {PromptAnswer::Yes};
    prompts_.saveNames = {target};
    EXPECT_TRUE(main_->close());
    auto saved = ReadSchemeFile(ws_.path() / "v2d" / "closing.v2d");
    ASSERT_TRUE(saved.ok()) << saved.error();
    EXPECT_EQ(saved->scene.count(), 4);
}

TEST_F(MainWindow, ExitMenuAsksFirst) {
    prompts_.answers = {PromptAnswer::No};
    main_->N2Click();
    EXPECT_TRUE(main_->isVisible());
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("是否退出软件?")});
}

TEST_F(MainWindow, SaveCommandAsksBeforeOverwritingAndNoOpensTheDialogAgain) {
    const fs::path existing = ws_.path() / "old.v2d";
    { std::ofstream(existing, std::ios::binary) << "old bytes"; }
    prompts_.saveNames = {QString::fromStdString(existing.string()), QString()};
    prompts_.answers = {PromptAnswer::No};
    EXPECT_EQ(main_->SpeedButtonSaveFileClick(), SaveOutcome::Cancelled);
    EXPECT_EQ(prompts_.saveDialogs, 2);
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("文件已存在，是否覆盖原文件？")});
    std::ifstream in(existing, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old bytes");

    prompts_.saveNames = {QString::fromStdString(existing.string())};
    prompts_.answers = {PromptAnswer::Yes};
    EXPECT_EQ(main_->SpeedButtonSaveFileClick(), SaveOutcome::Saved);
    EXPECT_TRUE(ReadSchemeFile(existing).ok());

    main_->LoadScene(Scene{});
    prompts_.texts.clear();
    EXPECT_EQ(main_->SpeedButtonSaveFileClick(), SaveOutcome::NoRecords);
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("当前没有区域数据。")});
}

TEST_F(MainWindow, OpeningABadFileKeepsTheOpenScene) {
    const fs::path bad = ws_.path() / "bad.v2d";
    { std::ofstream(bad, std::ios::binary) << "v2d.not a scheme at all"; }
    Click(QPoint(100, 250));
    prompts_.openNames = {QString::fromStdString(bad.string())};
    main_->SpeedButtonOpenFileClick();
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("文件格式不正确")});
    EXPECT_EQ(main_->scene().count(), 4);
    EXPECT_EQ(main_->ListBoxPoly->count(), 4);

    // A good one replaces the scene and clears the selection.
    const fs::path good = ws_.path() / "good.v2d";
    Scene two;
    two.background = Background(200, 100);
    two.Append(Rect("A", 0, 0, 50, 50));
    two.Append(Rect("B", 60, 0, 120, 50));
    ASSERT_TRUE(WriteSchemeFile(two, good).ok());
    prompts_.openNames = {QString::fromStdString(good.string())};
    main_->SpeedButtonOpenFileClick();
    EXPECT_EQ(main_->scene().count(), 2);
    EXPECT_EQ(main_->ListBoxPoly->count(), 2);
    EXPECT_EQ(main_->CurPoly(), nullptr);
    EXPECT_EQ(main_->displayedScene().size(), QSize(200, 100));
}

}  // namespace
}  // namespace v2d
