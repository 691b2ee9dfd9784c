// The main window's wiring over a small room made in code: clicks and the
// list select through the document, the view and the panel follow its
// signals, keys and buttons reach the commands, and the scheme and close
// commands say what they should.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <fstream>

#include "app/uformloadtype.h"
#include "app/scene_view.h"
#include "scene/scheme_file.h"
#include "v2dtool/outline_window.h"
#include "vision/photo_quality.h"
#include "app_test_support.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kWhite = 0xFFFFFFFF;

PolygonPtr Rect(const char* name, int x0, int y0, int x1, int y1, RecordKind kind = RecordKind::Region) {
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

// Floor and wall overlap; the two walls form a group; a picture model on top.
Scene RoomScene(QSize size = QSize(400, 300)) {
    Scene scene;
    scene.background = QImage(size, QImage::Format_RGB32);
    scene.background.fill(QColor(90, 120, 150));
    V2dPolygon* floor = scene.Append(Rect("地面", 0, 150, 399, 299));
    V2dPolygon* wall = scene.Append(Rect("左墙", 0, 0, 200, 200));
    V2dPolygon* wall2 = scene.Append(Rect("右墙", 250, 0, 399, 140));
    PolygonPtr model = Rect("沙发", 0, 0, 40, 30, RecordKind::PictureModel);
    model->originX = 300;
    model->originY = 200;
    model->reflect = 35;
    scene.Append(std::move(model));
    floor->reflect = 20;
    floor->lighten = 50;
    scene.AddGroup(V2dGroupPL{"墙面", {wall, wall2}});
    return scene;
}

class MainWindow : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(false);
        Doc().LoadScene(RoomScene());
    }
    QPoint ViewOffset() { return View().ViewOffset(); }
    bool Enabled(const char* name) { return Find<QWidget>(name).isEnabled(); }
    QString Title() { return main_->windowHandle()->title(); }  // as the title bar shows it
    void ClickMenuItem(QMenu& menu, const char* item) {
        menu.popup(main_->geometry().center());
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(&test::Child<QAction>(menu, item)).center());
        // The closed menu hands the window its activation back before anything else is done.
        QCoreApplication::processEvents();
        main_->activateWindow();
        (void)QTest::qWaitForWindowActive(main_.get());
    }
    QString SchemeFile(const QString& name) {  // the room without its model
        Scene scene = RoomScene();
        scene.FreePolygon(scene.at(3));
        return WriteSchemeFile(scene, ws_.path() / name.toStdString()).ok() ? ws_.qpath() + "/" + name : QString();
    }
};

const char* const kHandles[] = {"node1", "node2", "node3", "node4", "node5",
                                "node6", "node7", "node8", "NodeMove"};

TEST_F(MainWindow, ComponentsCarryTheirNamesAndStartingValues) {
    for (const char* name : {"GroupBoxPoly", "PanelParts", "PanelBack", "Image3", "ImageParts", "LabelName",
                             "LabelNumber", "LabelFact", "CheckBoxFit", "CheckBoxRot", "CheckBoxMirror", "LabelPro",
                             "SpeedButtonVedio", "TimerShowWeb", "PopupMenu2", "PopupMenuModel", "N3", "N4"})
        EXPECT_NE(main_->findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(Find<QLineEdit>("EditPartsWidth").text() + Find<QLineEdit>("EditPartsHeight").text(), "600600");
    const auto& light = Find<QSlider>("TrackBarLight");
    EXPECT_EQ(QPoint(light.minimum(), light.maximum()), QPoint(-100, 400));
    EXPECT_EQ(Find<QSlider>("TrackBarReflect").maximum(), 100);
    EXPECT_TRUE(Find<QLabel>("LabelPrice").isHidden());
    EXPECT_TRUE(Find<QCheckBox>("CheckBoxMix").isChecked());
    EXPECT_TRUE(Find<QWidget>("RadioButtonFront").property("checked").toBool());
    EXPECT_EQ(Find<QWidget>("ShapeColor").palette().color(QPalette::Window), QColor(255, 0, 255));
    EXPECT_EQ(Find<QToolButton>("BitBtnApply").text(), QStringLiteral("开始铺贴"));
    for (const char* name : kHandles) EXPECT_FALSE(Handle(name).isVisible()) << name;
    EXPECT_EQ(Doc().product().descriptor(),
              "PartsName=布艺&PartsNumber=RY-043&PartsSpecs=600*600&PartsPrice=100.00&SalesName=维克赛尔样品");
    EXPECT_TRUE(fs::is_directory(ws_.path() / "temp"));
    // Making the program folder current is the application's, not the window's.
    EXPECT_NE(fs::current_path(), ws_.path());
}

TEST_F(MainWindow, PictureClicksSelectThroughTheDocumentAndTheListAndOutlineFollow) {
    auto& list = Find<QListWidget>("ListBoxPoly");
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("[墙面]左墙"));
    Click(QPoint(100, 250));  // floor only
    EXPECT_EQ(ListSelection(), (std::vector<int>{0}));
    EXPECT_EQ(Find<QSlider>("TrackBarReflect").value(), 20);
    EXPECT_EQ(Find<QLineEdit>("EditLighten").text(), "50");

    Click(QPoint(100, 175), Qt::ControlModifier);  // floor and left wall overlap; the wall is later
    EXPECT_EQ(Doc().selection().focused, 1);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(ListSelection(), (std::vector<int>{0, 1, 2}));  // and the wall's group
    EXPECT_EQ(Doc().selection().selected, ListSelection());
    ASSERT_EQ(Overlay().size(), QSize(400, 300));
    EXPECT_EQ(Overlay().pixel(200, 100), kYellow);  // the wall's right edge
    EXPECT_EQ(Overlay().pixel(399, 200), kWhite);   // the floor's is not drawn
    EXPECT_EQ(Overlay().pixel(0, 299), kWhite);     // bottom-left kept white
    EXPECT_EQ(qAlpha(Find<OverlayLayer>("Image1").coverage().pixel(100, 100)), 0);
    EXPECT_EQ(qAlpha(Find<OverlayLayer>("Image1").coverage().pixel(200, 100)), 255);
    EXPECT_TRUE(Enabled("BitBtnApply"));
    EXPECT_TRUE(Enabled("SpeedButtonEffect"));
    EXPECT_EQ(Find<HintText>("LabelHelp").text(), QStringLiteral("请点击选择产品！或者点击开始铺贴！"));

    Click(QPoint(230, 50));  // outside every record
    EXPECT_EQ(Doc().focusedRecord(), nullptr);
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_TRUE(ListSelection().empty());
    EXPECT_FALSE(Enabled("BitBtnApply"));
    EXPECT_FALSE(Enabled("SpeedButtonEffect"));
}

TEST_F(MainWindow, AListClickSelectsWithCompanionsAndCancelClearsEverything) {
    auto& list = Find<QListWidget>("ListBoxPoly");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
    EXPECT_EQ(Doc().selection().focused, 2);
    EXPECT_EQ(ListSelection(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Overlay().pixel(250, 70), kYellow);

    Click(QPoint(320, 210));
    ClickButton("SpeedButtonClear");
    EXPECT_EQ(Doc().focusedRecord(), nullptr);
    EXPECT_TRUE(Doc().selection().selected.empty());
    EXPECT_TRUE(ListSelection().empty());
    EXPECT_TRUE(Overlay().isNull());
    EXPECT_FALSE(Enabled("BitBtnApply"));
    for (const char* name : kHandles) EXPECT_FALSE(Handle(name).isVisible()) << name;
}

TEST_F(MainWindow, AModelShowsItsHandlesAndArrowKeysMoveItByOnePixel) {
    Click(QPoint(320, 210));
    EXPECT_EQ(Doc().focusedRecord(), &Record(3));
    EXPECT_EQ(Find<QLabel>("LabelReflect").text(), QStringLiteral("透明"));
    EXPECT_EQ(Find<QSlider>("TrackBarReflect").value(), 35);
    EXPECT_TRUE(Find<HintText>("LabelHelp").text().startsWith(QStringLiteral("你可以拖动物体中心按钮")));
    for (const char* name : kHandles) EXPECT_TRUE(Handle(name).isVisible()) << name;
    // Corner handles sit on the model's corners in PanelBack coordinates.
    EXPECT_EQ(Handle("node3").pos(), QPoint(340, 230) + ViewOffset());
    Find<QWidget>("EditPartsWidth").setFocus();
    for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) Key(key);
    EXPECT_EQ(QPoint(Record(3).originX, Record(3).originY), QPoint(301, 201));
    EXPECT_EQ(Handle("node1").pos(), QPoint(301, 201) + ViewOffset());
    // The outline (and the model frame over it) moved with it.
    EXPECT_EQ(Overlay().pixel(300, 215), kWhite);
    EXPECT_NE(Overlay().pixel(301, 215), kWhite);

    Click(QPoint(100, 250));
    EXPECT_EQ(Find<QLabel>("LabelReflect").text(), QStringLiteral("反射"));
    for (const char* name : kHandles) EXPECT_FALSE(Handle(name).isVisible()) << name;
    Find<QWidget>("EditPartsWidth").setFocus();
    Key(Qt::Key_Left);  // a region does not move
    EXPECT_EQ(Record(0).originX, 0);
}

// What the person sees: the scene, over it the model's frame, over that the
// handles; away from 100 % the zoomed copy shows what the direct draw did.
TEST_F(MainWindow, TheViewPaintsTheSceneUnderTheFrameAndHandlesAtEveryZoom) {
    Click(QPoint(320, 210));
    const QImage shown = Viewport().grab().toImage();
    EXPECT_EQ(shown.pixel(ViewOffset() + QPoint(50, 50)), qRgb(90, 120, 150));
    EXPECT_EQ(shown.pixel(ViewOffset() + QPoint(310, 200)), qRgb(255, 0, 255));
    EXPECT_EQ(shown.pixel(Handle("node3").pos() + QPoint(0, 5)), Viewport().palette().color(QPalette::WindowText).rgb());
    Scene checker = RoomScene();
    checker.background = test::Checker(Qt::red, Qt::blue, 400);
    Doc().LoadScene(std::move(checker));
    View().SetZoom(0.67);
    const QImage direct = Viewport().grab().toImage();
    Find<PictureLayer>("Image2").settle();
    EXPECT_EQ(Viewport().grab().toImage(), direct);
}

TEST_F(MainWindow, KeysAndButtonsTriggerTheirActions) {
    QAction& undo = Find<QAction>("ActionUndo");
    QAction& redo = Find<QAction>("ActionRedo");
    QSignalSpy turns(&Find<QAction>("ActionNextRotationFrame"), &QAction::triggered);
    EXPECT_FALSE(undo.isEnabled() || redo.isEnabled() || Enabled("ToolButtonRedo") || Enabled("SpeedButtonUndo"));
    Key(Qt::Key_R);  // nothing selected: no turn
    Click(QPoint(320, 210));
    Key(Qt::Key_R);
    EXPECT_EQ(turns.count(), 1);
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    EXPECT_EQ(undo.text(), QStringLiteral("撤销 移动模型"));
    const int x = Record(3).originX, y = Record(3).originY;
    Key(Qt::Key_Z, Qt::ControlModifier);
    ClickButton("SpeedButtonUndo");
    EXPECT_EQ(redo.text(), QStringLiteral("重做 移动模型"));
    EXPECT_TRUE(Enabled("ToolButtonRedo"));
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Record(3).originX, x);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Record(3).originY, y);
    ClickButton("ToolButtonUndo");
    // The history list: its first row is the scene as it was opened.
    auto& steps = Find<QListView>("ListViewHistory");
    ASSERT_EQ(steps.model()->rowCount(), 3);
    QTest::mouseClick(steps.viewport(), Qt::LeftButton, {}, steps.visualRect(steps.model()->index(0, 0)).center());
    EXPECT_EQ(Doc().history().index(), 0);
    EXPECT_FALSE(Find<QAction>("ActionUndo").isEnabled());
}

TEST_F(MainWindow, TheHintLineFollowsItsCheckBox) {
    main_->ShowHelpText(QStringLiteral("提示"));
    EXPECT_TRUE(Find<HintLayer>("PanelHelp").isVisible());
    ClickButton("CheckBoxHelp");
    EXPECT_FALSE(Find<HintLayer>("PanelHelp").isVisible());
    main_->ShowHelpText(QStringLiteral("再提示"));
    EXPECT_FALSE(Find<HintLayer>("PanelHelp").isVisible());
    ClickButton("CheckBoxHelp");
    EXPECT_TRUE(Find<HintLayer>("PanelHelp").isVisible());
}

TEST_F(MainWindow, RubberBandInARegionIsDrawnAndReportedWhenLargeEnough) {
    auto& image = Viewport();
    QSignalSpy bands(&Find<SceneView>("PanelView"), &SceneView::rectangleDrawn);
    QTest::mousePress(&image, Qt::LeftButton, {}, OnView(QPoint(50, 250)));
    QMouseEvent move(QEvent::MouseMove, QPointF(OnView(QPoint(90, 280))), image.mapToGlobal(QPointF(OnView(QPoint(90, 280)))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&image, &move);
    EXPECT_EQ(qGray(Overlay().pixel(90, 265)), 0);  // the band's right side
    EXPECT_EQ(Overlay().pixel(70, 265), kWhite);    // no fill
    QTest::mouseRelease(&image, Qt::LeftButton, {}, OnView(QPoint(90, 280)));
    ASSERT_EQ(bands.count(), 1);
    EXPECT_EQ(bands[0][0].toPoint(), QPoint(50, 250));
    EXPECT_EQ(bands[0][1].toPoint(), QPoint(90, 280));
    EXPECT_EQ(bands[0][2].value<const V2dPolygon*>(), &Record(0));
}

TEST_F(MainWindow, SmallPicturesAreCentredLargeOnesScrollWithTheirHandles) {
    struct Panel {  // the picture panel as the view places it now
        SceneView& view;
        QSize size() const { return view.PictureFrame().size(); }
        QPoint pos() const { return view.PictureFrame().topLeft(); }
        int x() const { return pos().x(); }
        int y() const { return pos().y(); }
        int height() const { return size().height(); }
    } panel{View()};
    const QSize back = Find<QWidget>("PanelBack").size();
    EXPECT_FALSE(Find<QScrollBar>("ScrollBarX").isVisible());
    EXPECT_EQ(panel.size(), QSize(402, 302));
    EXPECT_EQ(panel.pos(), QPoint(qRound(0.5 * (back.width() - 402)), qRound(0.5 * (back.height() - 302))));

    Doc().LoadScene(RoomScene(QSize(3000, 2400)));
    QCoreApplication::processEvents();
    auto& x = Find<QScrollBar>("ScrollBarX");
    auto& y = Find<QScrollBar>("ScrollBarY");
    ASSERT_TRUE(x.isVisible());
    ASSERT_TRUE(y.isVisible());
    EXPECT_EQ(x.maximum(), 3002);
    Click(QPoint(320, 210));
    const QPoint handleBefore = Handle("node1").pos();
    x.setValue(100);
    EXPECT_EQ(panel.x(), -100);
    EXPECT_EQ(Handle("node1").pos(), handleBefore - QPoint(100, 0));
    y.setValue(3000);  // stops with the bottom edge 2 pixels above the visible edge
    EXPECT_EQ(panel.y() + panel.height(), Find<QWidget>("PanelBack").height() - 2);
}

TEST_F(MainWindow, ExitAndClosingAskOnlyAboutChangesAndOnlyASavedSchemeLetsItClose) {
    prompts_.answers = {PromptAnswer::No};
    ClickButton("ToolButtonExit");  // unchanged: only whether to quit
    Click(QPoint(320, 210));
    Key(Qt::Key_Right);
    prompts_.answers = {PromptAnswer::Cancel};
    ClickButton("ToolButtonExit");  // changed: straight to the save question
    EXPECT_EQ(prompts_.texts, (QStringList{"是否退出软件?", "退出软件前你要保存方案吗 ?"}));
    prompts_.answers = {PromptAnswer::Yes};  // and the save dialog cancelled
    EXPECT_FALSE(main_->close());
    EXPECT_EQ(prompts_.saveDialogs, 1);
    prompts_.answers = {PromptAnswer::Yes};
    prompts_.saveNames = {ws_.qpath() + "/closing"};
    EXPECT_TRUE(main_->close());
    auto saved = ReadSchemeFile(ws_.path() / "closing.v2d");
    ASSERT_TRUE(saved.ok() && saved->scene.at(3)->originX == 301);
    main_->show();  // just saved: quitting asks whether to quit, nothing more
    prompts_.texts.clear();
    prompts_.answers = {PromptAnswer::Yes};
    ClickButton("ToolButtonExit");
    EXPECT_EQ(prompts_.texts, QStringList{"是否退出软件?"});
}

TEST_F(MainWindow, OpeningOverAChangedSceneAsksToSaveItAndTheTitleShowsTheChange) {
    const QString app = " - Vexel2D V2012专业版", other = SchemeFile("other.v2d");
    EXPECT_EQ(Title(), "未命名方案" + app);
    Click(QPoint(320, 210));
    Key(Qt::Key_Right);
    EXPECT_EQ(Title(), "未命名方案*" + app);
    prompts_.openNames = {other};
    prompts_.answers = {PromptAnswer::Cancel, PromptAnswer::Yes, PromptAnswer::No};
    for (int i = 0; i < 3; ++i) Key(Qt::Key_O, Qt::ControlModifier);  // Cancel, Yes with no save made: kept
    EXPECT_EQ(prompts_.texts, QStringList(3, "打开前你要保存当前方案吗 ?"));
    EXPECT_EQ(Doc().scene().count(), 3);
    EXPECT_EQ(Title(), "other" + app);
    UseProduct(test::Checker(Qt::red, Qt::blue), "PartsName=砖&PartsSpecs=600*600");
    Click(QPoint(100, 250));
    ClickButton("BitBtnApply");
    EXPECT_EQ(Title(), "other*" + app);
    prompts_.answers = {PromptAnswer::Yes};
    Key(Qt::Key_O, Qt::ControlModifier);  // the user's own file is written back without a dialog
    EXPECT_EQ(prompts_.saveDialogs, 1);
    EXPECT_FALSE(ReadSchemeFile(other.toStdString())->scene.at(0)->picture.isNull());
    EXPECT_EQ(Title(), "other" + app);
    prompts_.saveNames = {ws_.qpath() + "/copy"};
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);  // always asks for a name
    EXPECT_EQ(Title(), "copy" + app);
}

TEST_F(MainWindow, TheRecentListKeepsTheEightNewestAndDropsAFileThatIsGone) {
    QStringList opened;
    for (int i = 0; i < 9; ++i) {
        opened.prepend(SchemeFile(QStringLiteral("s%1.v2d").arg(i)));
        prompts_.openNames = {opened.front()};
        Key(Qt::Key_O, Qt::ControlModifier);  // unchanged: no question
    }
    opened.removeLast();
    EXPECT_EQ(main_->recentSchemes(), opened);
    auto& recent = Find<QMenu>("MenuRecentSchemes");
    fs::remove(opened[2].toStdString());
    ClickMenuItem(recent, "RecentScheme3");
    EXPECT_EQ(prompts_.texts, QStringList{"方案文件已不存在，已从最近打开的方案中删除：\n" + opened[2]});
    opened.removeAt(2);
    ClickMenuItem(recent, "RecentScheme3");  // s5, third now, opens and comes first
    opened.move(2, 0);
    main_.reset();
    OpenWindow(false);  // the list lives in vexel2d.ini
    EXPECT_EQ(main_->recentSchemes(), opened);
}

TEST_F(MainWindow, RemovingTheEdgeLineKeepsTheSelectionForTilingDeleteTakesOnlyModels) {
    Click(QPoint(100, 250));
    Click(QPoint(100, 175), Qt::ControlModifier);
    ClickMenuItem(Find<QMenu>("PopupMenu1"), "N1");
    EXPECT_TRUE(Overlay().isNull());
    EXPECT_EQ(Doc().focusedRecord(), nullptr);
    EXPECT_EQ(ListSelection(), (std::vector<int>{0, 1, 2}));
    UseProduct(test::Checker(Qt::red, Qt::blue), "PartsName=砖&PartsSpecs=600*600");
    ClickButton("BitBtnApply");
    for (int i : {0, 1, 2}) EXPECT_FALSE(Record(i).picture.isNull()) << i;
    Key(Qt::Key_Delete);  // Delete leaves regions alone, takes a model after asking, undoably
    Click(QPoint(320, 210));
    prompts_.answers = {PromptAnswer::Yes};
    Key(Qt::Key_Delete);
    EXPECT_EQ(prompts_.texts.last(), "确实要删除选中内容?");
    EXPECT_EQ(Doc().scene().count(), 3);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Doc().scene().count(), 4);
    // F1 lists every key of the window, the ones its filter and its view handle too.
    Key(Qt::Key_F1);
    const QString help = prompts_.texts.last();
    for (const QAction* action : main_->findChildren<QAction*>())
        for (const QKeySequence& keys : action->shortcuts())
            EXPECT_TRUE(help.contains(keys.toString(QKeySequence::NativeText))) << action->objectName().toStdString();
    for (const char* key : {"Ctrl+Y", "Ctrl+Shift+Z", "Ctrl+Z", "Ctrl++", "Ctrl+-", "Ctrl+0", "Ctrl+滚轮", "方向键"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(key))) << key;
}

// The box is at least as wide as the title bar needs for "操作提示： — Vexel2D V2012专业版".
TEST(MessageBoxes, TheTitleIsNotCut) {
    test::App();
    QApplication::setApplicationDisplayName(QStringLiteral("Vexel2D V2012专业版"));
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        box->buttons().front()->click();
    });
    WidgetPrompts().Show(nullptr, QStringLiteral("好"));
    const QString shown = QStringLiteral("操作提示： — Vexel2D V2012专业版");
    EXPECT_GT(width, QFontMetrics(QApplication::font()).horizontalAdvance(shown) + 60);
    // A small dialog, "产品调用方式" over two radio buttons, too.
    TFormLoadType choice;
    choice.show();
    const QString dialog = QStringLiteral("产品调用方式 — Vexel2D V2012专业版");
    EXPECT_GT(choice.width(), QFontMetrics(QApplication::font()).horizontalAdvance(dialog) + 60);
}

TEST_F(MainWindow, SaveAsksBeforeOverwritingAndNoOpensTheDialogAgain) {
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
    ClickButton("SpeedButtonSaveFile");
    EXPECT_TRUE(ReadSchemeFile(existing).ok());

    // A photo without regions is saved only when the user says so.
    Doc().LoadBackground(RoomScene().background);
    prompts_.texts.clear();
    prompts_.answers = {PromptAnswer::No};
    EXPECT_EQ(main_->SpeedButtonSaveFileClick(), SaveOutcome::NoRecords);
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("当前没有区域数据，是否仍然保存方案？")});
    const fs::path empty = ws_.path() / "empty.v2d";
    prompts_.answers = {PromptAnswer::Yes};
    prompts_.saveNames = {QString::fromStdString(empty.string())};
    EXPECT_EQ(main_->SpeedButtonSaveFileClick(), SaveOutcome::Saved);
    const auto read = ReadSchemeFile(empty);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read->scene.count(), 0);
}

TEST_F(MainWindow, OpeningABadFileKeepsTheOpenSceneAGoodOneReplacesIt) {
    const fs::path bad = ws_.path() / "bad.v2d";
    { std::ofstream(bad, std::ios::binary) << "v2d.not a scheme at all"; }
    Click(QPoint(100, 250));
    prompts_.openNames = {QString::fromStdString(bad.string())};
    ClickButton("SpeedButtonOpenFile");
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("文件格式不正确")});
    EXPECT_EQ(Find<QListWidget>("ListBoxPoly").count(), 4);

    Scene two = RoomScene(QSize(200, 100));
    two.FreePolygon(two.at(3));
    const fs::path good = ws_.path() / "good.v2d";
    ASSERT_TRUE(WriteSchemeFile(two, good).ok());
    prompts_.openNames = {QString::fromStdString(good.string())};
    ClickButton("SpeedButtonOpenFile");
    EXPECT_EQ(Find<QListWidget>("ListBoxPoly").count(), 3);
    EXPECT_TRUE(ListSelection().empty());
    EXPECT_EQ(Find<PictureLayer>("Image2").picture().size(), QSize(200, 100));
    EXPECT_TRUE(Overlay().isNull());
    EXPECT_TRUE(Enabled("BitBtnApply"));
}

TEST_F(MainWindow, ANewSchemeFromAPhotoOpensHereWhenTheOutlineToolSavesIt) {
    auto& menu = Find<QMenu>("PopupMenu2");
    auto& fromPhoto = test::Child<QAction>(menu, "ActionNewSchemeFromPhoto");
    EXPECT_EQ(fromPhoto.text(), QStringLiteral("从照片新建方案"));
    EXPECT_EQ(menu.actions().indexOf(&fromPhoto), menu.actions().indexOf(&Find<QAction>("ActionOpenScheme")) + 1);
    Click(QPoint(320, 210));
    Key(Qt::Key_Right);  // the open scene changed: opening asks first
    QImage photo(300, 200, QImage::Format_RGB32);
    photo.fill(QColor(180, 170, 150));
    const QString photoPath = ws_.qpath() + "/room.png";
    ASSERT_TRUE(photo.save(photoPath));
    prompts_.openNames = {photoPath};
    ClickMenuItem(menu, "ActionNewSchemeFromPhoto");
    auto* tool = main_->findChild<tool::TFormV2dTool*>();
    ASSERT_TRUE(tool != nullptr && tool->isVisible());
    auto* bar = tool->findChild<QToolBar*>("ToolBarCommands");
    QTest::mouseClick(bar->widgetForAction(tool->findChild<QAction*>("ActionNewRegion")), Qt::LeftButton);
    for (V2d_Point p : {V2d_Point{0, 120}, {299, 120}, {299, 199}, {0, 199}})
        QTest::mouseClick(tool->canvas(), Qt::LeftButton, {}, tool->canvas()->WidgetPoint(p));
    tool->findChild<QLineEdit*>("EditName")->setText(QStringLiteral("地面"));
    tool->findChild<QSpinBox*>("SpinWidth")->setValue(4000);
    tool->findChild<QSpinBox*>("SpinHeight")->setValue(1500);
    QTest::mouseClick(bar->widgetForAction(tool->findChild<QAction*>("ActionFinishRegion")), Qt::LeftButton);
    prompts_.answers = {PromptAnswer::No};
    ASSERT_TRUE(tool->SaveTo(ws_.qpath() + "/room.v2d"));
    // The tool warns of the small photo as it opens, then the window asks.
    EXPECT_EQ(prompts_.texts, (QStringList{QString::fromUtf8(vision::kMsgPhotoTooSmall), "打开前你要保存当前方案吗 ?"}));
    auto& list = Find<QListWidget>("ListBoxPoly");
    ASSERT_EQ(list.count(), 1);
    EXPECT_TRUE(list.item(0)->text().contains(QStringLiteral("地面")));
    EXPECT_TRUE(Title().startsWith("room"));
}

// Ctrl+O reads on the pool; the scene is listed and drawn as a synchronous open draws it.
TEST_F(MainWindow, CtrlOOpensASchemeListedAndShownAsItsFileHoldsIt) {
    prompts_.openNames = {SchemeFile("kitchen.v2d")};
    Key(Qt::Key_O, Qt::ControlModifier);
    WaitUntilIdle();
    EXPECT_EQ(Find<QListWidget>("ListBoxPoly").count(), 3);
    SceneDocument direct(Doc().ops());
    ASSERT_TRUE(direct.OpenScheme(ws_.path() / "kitchen.v2d").done());
    EXPECT_EQ(Shown(), direct.displayed());
    EXPECT_TRUE(Title().startsWith(QStringLiteral("kitchen")) && prompts_.texts.isEmpty());
}
// Ctrl+Shift+S writes on the pool; the file reads back the same, the window takes its name.
TEST_F(MainWindow, CtrlShiftSSavesTheSceneThatReadsBackTheSame) {
    prompts_.saveNames = {ws_.qpath() + "/saved.v2d"};
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    WaitUntilIdle();
    EXPECT_TRUE(Title().startsWith(QStringLiteral("saved")));
    const auto read = ReadSchemeFile(ws_.path() / "saved.v2d");
    ASSERT_TRUE(read.ok() && read->scene.count() == Doc().scene().count());
    for (int i = 0; i < read->scene.count(); ++i) EXPECT_EQ(read->scene.at(i)->points, Record(i).points);
}

}  // namespace
}  // namespace v2d
