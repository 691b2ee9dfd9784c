// The product panel over the demo room: "开始铺贴", the rubber band, the
// brightness and reflection controls with their focus and mouse rules, the
// colour swatch and cards, undo and the progress bar. The pixels themselves
// are the render and document tests' concern; here a control reaches the
// document and the view shows what the document drew.
#include <QAction>
#include <QComboBox>
#include <QSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QUndoView>

#include "app/product_panel_widget.h"
#include "library/data_module.h"
#include "tools/Uformcolor.h"
#include "app_test_support.h"

namespace v2d {
namespace {

using test::Checker;

const char* const kTileA = "PartsName=测试砖A&PartsNumber=T-A&SalesName=样品&PartsSpecs=600*600&FanSheXiShu=0";
const char* const kTileB = "PartsName=测试砖B&PartsNumber=T-B&SalesName=样品&PartsSpecs=300*300&FanSheXiShu=0";

class RenderingWindow : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(true);
        ASSERT_GT(Doc().scene().count(), wall_);
        ASSERT_EQ(Record(floor_).name, "地面");
        ASSERT_EQ(Record(wall_).name, "背景墙");
        QObject::connect(&Find<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged, [this](int v) {
            progress_.push_back(v);
            redraws_ += v == 100;
        });
    }
    // Tiles region i alone with the product in the panel, through the button.
    void TileAlone(int i) {
        Doc().Select(i);
        ASSERT_TRUE(Find<QWidget>("BitBtnApply").isEnabled());
        ClickButton("BitBtnApply");
    }
    void Type(const char* edit, const char* text) {
        auto& box = Find<QLineEdit>(edit);
        box.setFocus();
        box.setText(QString::fromUtf8(text));
        QCoreApplication::processEvents();
    }
    bool IsShown() { return Find<PictureLayer>("Image2").picture() == Doc().displayed(); }

    const int floor_ = 0, wall_ = 1;  // as the demo room lists them
    std::vector<int> progress_;
    int redraws_ = 0;
};

TEST_F(RenderingWindow, ApplySaysWhatStoppedItAndChangesNothing) {
    const QImage before = Shown();
    UseProduct(QImage(), kTileA);
    TileAlone(floor_);
    UseProduct(Checker(Qt::red, Qt::blue), kTileA);
    Find<QLineEdit>("EditPartsWidth").setText("");
    ClickButton("BitBtnApply");
    ASSERT_EQ(prompts_.texts.size(), 2);
    EXPECT_EQ(prompts_.texts[0], "请先选产品。");
    EXPECT_TRUE(prompts_.texts[1].contains(QStringLiteral("不是有效的整数"))) << prompts_.texts[1].toStdString();
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(Doc().history().count(), 0);
}

TEST_F(RenderingWindow, ApplyTilesTheSelectionAndTheViewShowsItWithTheHintAndProgress) {
    const QImage before = Shown();
    UseProduct(Checker(Qt::red, Qt::blue), kTileA);
    TileAlone(floor_);
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();
    EXPECT_NE(Shown(), before);
    EXPECT_TRUE(IsShown());
    EXPECT_EQ(Record(floor_).partsInfo.text(), kTileA);
    EXPECT_EQ(Doc().history().count(), 1);
    EXPECT_EQ(Find<HintText>("LabelHelp").text(), QStringLiteral("铺贴完成，如果满意，可以点击保存效果图"));
    EXPECT_FALSE(Find<HintText>("LabelHelp").isHidden());
    EXPECT_EQ(Find<QLabel>("LabelPro").text(), QStringLiteral("处理进度"));
    // The bar follows the warp on its way and ends at one hundred.
    ASSERT_FALSE(progress_.empty());
    EXPECT_EQ(progress_.back(), 100);
    EXPECT_TRUE(std::any_of(progress_.begin(), progress_.end(), [](int v) { return v > 0 && v < 100; }));
}

TEST_F(RenderingWindow, PatternAndJointChosenInThePanelAreLaidKeptAndCounted) {
    UseProduct(Checker(Qt::red, Qt::blue), kTileB);
    TileAlone(floor_);
    const QImage straight = Shown();
    const QString straightCount = Find<QLabel>("LabelQuote").text();
    auto& pattern = Find<QComboBox>("ComboBoxPattern");
    pattern.setFocus();
    QTest::keyClick(&pattern, Qt::Key_Down);  // 工字铺
    auto& joint = Find<QSpinBox>("SpinEditJoint");
    joint.setFocus();
    QTest::keyClick(&joint, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&joint, "10");
    EXPECT_NE(Find<QLabel>("LabelQuote").text(), straightCount);  // the count follows the controls
    EXPECT_TRUE(Find<QLabel>("LabelQuote").text().contains(QStringLiteral("片")));
    ClickButton("BitBtnApply");
    EXPECT_NE(Shown(), straight);
    const std::string laid = Record(floor_).partsInfo.text();
    EXPECT_NE(laid.find("LayPattern=1"), std::string::npos) << laid;
    EXPECT_NE(laid.find("JointWidth=10"), std::string::npos);
    EXPECT_EQ(Doc().history().count(), 2);
    ClickButton("SpeedButtonUndo");
    EXPECT_EQ(Shown(), straight);
    ClickButton("SpeedButtonRedo");
    Doc().Select(wall_);
    pattern.setCurrentIndex(0);
    Doc().Select(floor_);  // the panel shows how the floor was laid
    EXPECT_EQ(pattern.currentText(), QStringLiteral("工字铺"));
    EXPECT_EQ(joint.value(), 10);
}

TEST_F(RenderingWindow, RubberBandLaysTheProductIntoTheRectangleAndUndoTakesItBack) {
    UseProduct(Checker(Qt::red, Qt::blue), kTileA);
    TileAlone(floor_);  // the band lays into a tiled region
    const QImage tiled = Shown();
    UseProduct(Checker(Qt::yellow, Qt::yellow), kTileB);
    const PixelBox box = OutlineBox(Record(floor_));
    const int cx = (box.minX + box.maxX) / 2, cy = box.maxY - (box.maxY - box.minY) / 4;
    const QPoint start(cx - 40, cy - 20), end(cx + 40, cy + 20);
    auto& image = Viewport();
    QTest::mousePress(&image, Qt::LeftButton, {}, OnView(start));
    QTest::mouseMove(&image, OnView(end));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, OnView(end));
    EXPECT_NE(Shown().pixel(cx, cy), tiled.pixel(cx, cy));
    EXPECT_TRUE(IsShown());
    EXPECT_EQ(Doc().history().count(), 2);
    EXPECT_EQ(Overlay().pixel(start.x(), cy), 0xFFFFFFFFu);  // the band gave way to the outline
    ClickButton("SpeedButtonUndo");
    EXPECT_EQ(Shown(), tiled);
}

TEST_F(RenderingWindow, ToneEditsWithFocusRenderTheFocusedRecordOnce) {
    Doc().Select(floor_);
    Doc().Select(wall_, true);  // the wall is the focused item
    redraws_ = 0;
    Type("EditLighten", "30");
    EXPECT_EQ(redraws_, 1);
    EXPECT_EQ(Record(wall_).lighten, 30);
    EXPECT_EQ(Record(floor_).lighten, 0);
    EXPECT_EQ(Find<QSlider>("TrackBarLight").value(), 30);
    EXPECT_TRUE(IsShown());
    // A text that is no number counts as 0; a "-" being typed is left alone.
    Type("EditLighten", "-");
    EXPECT_EQ(Find<QLineEdit>("EditLighten").text(), "-");
    EXPECT_EQ(Record(wall_).lighten, 0);

    Type("EditReflect", "40");
    EXPECT_EQ(Record(wall_).reflect, 40);
    Type("EditReflect", "");
    ASSERT_EQ(prompts_.texts.size(), 1);
    EXPECT_TRUE(prompts_.texts[0].contains(QStringLiteral("不是有效的整数")));
    EXPECT_EQ(Record(wall_).reflect, 40);
    // While a product is loaded into the panel its reflection moves the bar only.
    Find<ProductPanelWidget>("PanelParts").setLoadingProduct(true);
    Find<QSlider>("TrackBarReflect").setFocus();
    Find<QSlider>("TrackBarReflect").setValue(10);
    EXPECT_EQ(Record(wall_).reflect, 40);
}

// Whatever takes the scene back or forward, the panel shows the region as it is then.
TEST_F(RenderingWindow, ThePanelFollowsUndoRedoTheHistoryAndAnotherScheme) {
    Doc().Select(floor_);
    auto& edit = Find<QLineEdit>("EditReflect");
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, "15");  // two steps: to 1, then to 15
    auto shows = [&](int value) {
        EXPECT_EQ(Record(floor_).reflect, value);
        EXPECT_EQ(edit.text(), QString::number(value));
        EXPECT_EQ(Find<QSlider>("TrackBarReflect").value(), value);
    };
    Key(Qt::Key_Z, Qt::ControlModifier);
    shows(1);
    Key(Qt::Key_Y, Qt::ControlModifier);
    shows(15);
    auto& steps = Find<QUndoView>("ListViewHistory");
    QTest::mouseClick(steps.viewport(), Qt::LeftButton, {}, steps.visualRect(steps.model()->index(0, 0)).center());
    shows(0);
    ASSERT_FALSE(Find<QLabel>("LabelQuote").text().isEmpty());
    ASSERT_TRUE(main_->OpenScheme(ws_.qpath() + "/temple/local/13.v2d"));
    EXPECT_EQ(Find<QLabel>("LabelQuote").text(), QString());  // nothing focused in the scheme opened
}

TEST_F(RenderingWindow, TrackBarRendersOnlyWithFocusAndOnlyOnRelease) {
    Doc().Select(floor_);
    auto& bar = Find<QSlider>("TrackBarLight");
    Find<QWidget>("ListBoxPoly").setFocus();
    redraws_ = 0;
    bar.setValue(80);
    EXPECT_EQ(Find<QLineEdit>("EditLighten").text(), "80");
    EXPECT_EQ(Record(floor_).lighten, 0);

    bar.setFocus();
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = option.sliderValue = bar.value();
    const QPoint handle = bar.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &bar).center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, handle);
    for (int dx = 5; dx <= 40; dx += 5) QTest::mouseMove(&bar, handle + QPoint(dx, 0));
    QCoreApplication::processEvents();
    ASSERT_GT(bar.value(), 80) << "the drag did not move the slider";
    EXPECT_EQ(Record(floor_).lighten, 0);
    EXPECT_EQ(redraws_, 0);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, handle + QPoint(40, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(Record(floor_).lighten, bar.value());
    EXPECT_EQ(redraws_, 1);
    EXPECT_EQ(Doc().history().count(), 1) << "the drag is one step";
    EXPECT_EQ(Find<QAction>("ActionUndo").text(), QStringLiteral("撤销 亮度"));
}

TEST_F(RenderingWindow, SwatchPaintsWithForegroundOnlyWaitsWithAmbientAndUndoes) {
    Doc().Select(floor_);
    const QImage before = Shown();
    auto& panel = Find<ProductPanelWidget>("PanelParts");
    Find<QRadioButton>("RadioButtonBack").setChecked(true);
    prompts_.colours = {QColor(0, 0, 255), std::nullopt};
    ClickButton("ShapeColor");
    ClickButton("ShapeColor");  // cancelled: nothing changes
    EXPECT_EQ(panel.shapeColour(), 0x00FF0000u);
    EXPECT_EQ(Shown(), before);
    // The ambient colour waits for the next tiling, which reads it here.
    EXPECT_TRUE(panel.Controls().ambientColour);
    EXPECT_EQ(panel.Controls().colour, 0x00FF0000u);
    UseProduct(Checker(Qt::white, QColor(200, 200, 200)), kTileA);
    TileAlone(floor_);
    const QImage afterTiling = Shown();

    Find<QRadioButton>("RadioButtonFront").setChecked(true);
    prompts_.colours = {QColor(200, 40, 40)};
    ClickButton("ShapeColor");
    EXPECT_EQ(panel.shapeColour(), 0x002828C8u);
    EXPECT_NE(Shown(), afterTiling);
    EXPECT_EQ(Doc().history().count(), 2);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), afterTiling);
    ClickButton("ToolButtonUndo");
    EXPECT_EQ(Shown(), before);
    ClickButton("SpeedButtonUndo");  // nothing left: silent
    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(prompts_.texts.isEmpty());
}

TEST_F(RenderingWindow, ColourCardOkPaintsTheSelectionAsOneStep) {
    auto module = TDataModule_Manager::DataModuleCreate(ws_.path());
    ASSERT_TRUE(module.ok()) << module.error();
    TFormColor cards;
    ASSERT_TRUE(cards.FormCreate(**module).ok());
    main_->setColourCards(&cards);
    Doc().Select(floor_);
    const QImage before = Shown();
    QTimer::singleShot(0, &cards, [&] {
        cards.ShapeColor1MouseDown(0);
        cards.SpeedButton1Click();
    });
    ClickButton("SButtonColor");
    const std::optional<QColor> picked = cards.pickedColour();
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(Find<QWidget>("ShapeColor").palette().color(QPalette::Window).rgb(), picked->rgb());
    EXPECT_NE(Shown(), before);
    EXPECT_TRUE(IsShown());
    EXPECT_EQ(Doc().history().count(), 1);
}

}  // namespace
}  // namespace v2d
