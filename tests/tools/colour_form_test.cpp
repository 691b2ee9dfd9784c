#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <QHelpEvent>

#include "tests/library/temp_workspace.h"
#include "tests/tools/colour_card_fixture.h"
#include "tools/Uformcolor.h"
#include "tools/colour_card_widgets.h"

namespace v2d {
namespace {

// The application object lives in main(), below.
void App() { ASSERT_NE(QApplication::instance(), nullptr); }

// Thousand card at 775 px: main entry k in column k / 24, row k % 24 of
// 25 x 11 pitch cells; building card: entry k at column k / 12, row k % 12
// of 31 x 31.
QPoint ThousandMainCell(int k) { return {25 * (k / 24) + 3, 11 * (k % 24) + 3}; }
QPoint ThousandOffWhiteCell(int k) { return {50 * (k / 6) + 3, 11 * (24 + k % 6) + 3}; }
QPoint BuildingCell(int k) { return {31 * (k / 12) + 3, 31 * (k % 12) + 3}; }

class ColourFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        dm = ws.OpenModule();
        ASSERT_NE(dm, nullptr);
        ASSERT_TRUE(test::InsertColours(*dm, "TableColor", test::NumberedColours("", 1001, 30)).ok());
        ASSERT_TRUE(test::InsertColours(*dm, "TableColor", {{"OW07", "", 251, 249, 241}}).ok());
        ASSERT_TRUE(test::InsertColours(*dm, "TableColor300", test::NumberedColours("B", 1, 20)).ok());
        ASSERT_TRUE(test::InsertColours(*dm, "TableColorTj",
                                        {{"T01", "象牙白", 255, 250, 240},
                                         {"T02", "薄荷绿", 190, 230, 200},
                                         {"T03", "深海蓝", 20, 50, 100}})
                        .ok());
        form = std::make_unique<TFormColor>();
        form->setMessageSink([this](const QString& m) { messages << m; });
        Status created = form->FormCreate(*dm);
        ASSERT_TRUE(created.ok()) << created.error();
        form->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    template <class W>
    W* Child(const char* name) {
        W* w = form->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QWidget* Image(const char* name) { return Child<QWidget>(name); }
    QString Number() { return Child<QLineEdit>("EditColorNumber")->text(); }
    QColor Shown() { return Child<ColourSwatchWidget>("ShapeColor")->brushColour(); }
    void Page(ColourPage page) { Child<QTabWidget>("PageControl1")->setCurrentIndex(int(page)); }
    void Enter(const QString& number) {
        QLineEdit* edit = Child<QLineEdit>("EditColorNumber");
        edit->setText(number);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    test::TempWorkspace ws;
    std::unique_ptr<TDataModule_Manager> dm;
    std::unique_ptr<TFormColor> form;
    QStringList messages;
};

TEST_F(ColourFormTest, ComponentsCarryTheirNamesAndCaptions) {
    EXPECT_EQ(form->windowTitle(), "电子色卡-色彩选择");
    auto* pages = Child<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(QStringList({pages->tabText(0), pages->tabText(1), pages->tabText(2)}),
              QStringList({"推荐流行色", "涂料千色卡", "300中国建筑色卡"}));
    for (int i = 1; i <= 10; ++i) {
        EXPECT_NE(form->findChild<ColourSwatchWidget*>(QString("ShapeColor%1").arg(i)), nullptr) << i;
        EXPECT_NE(form->findChild<QLabel*>(QString("ColorNameText%1").arg(i)), nullptr) << i;
    }
    for (const char* image : {"Image1", "Image2"}) EXPECT_EQ(Image(image)->toolTip(), "点击选择颜色，双击选定并退出");
    EXPECT_EQ(Child<QPushButton>("SpeedButton1")->text(), "选定");
    EXPECT_FALSE(Child<QPushButton>("SpeedButton2")->isVisible());
    EXPECT_FALSE(Child<QCheckBox>("CheckBoxClear")->isVisible());
    EXPECT_EQ(Child<QPlainTextEdit>("Memo1")->toPlainText(),
              "提示：由于显示器色彩与实际颜色可能有程度不等色差，准确颜色以实际色卡为准");
    EXPECT_EQ(Child<QLabel>("ColorNameText2")->text(), "薄荷绿");
}

// Each card picks through its own page: the same cell index on the other
// card is picked too.
TEST_F(ColourFormTest, ClickingCardCellsPicksTheirColourAndNumber) {
    const auto main = test::NumberedColours("", 1001, 30);
    Page(ColourPage::Thousand);
    QTest::mouseClick(Image("Image1"), Qt::LeftButton, {}, ThousandMainCell(4));
    EXPECT_EQ(Number(), "1005");
    EXPECT_EQ(Shown(), QColor(main[4].r, main[4].g, main[4].b));
    QTest::mouseClick(Image("Image1"), Qt::LeftButton, {}, ThousandOffWhiteCell(0));
    EXPECT_EQ(Number(), "OW07");
    Page(ColourPage::Building);
    QTest::mouseClick(Image("Image2"), Qt::LeftButton, {}, BuildingCell(4));
    EXPECT_EQ(Number(), "B0005");
    Page(ColourPage::Thousand);
    QTest::mouseClick(Image("Image1"), Qt::LeftButton, {}, ThousandMainCell(4));
    EXPECT_EQ(Number(), "1005");
    EXPECT_EQ(form->chosenName(), "");
}

TEST_F(ColourFormTest, TheHintNamesTheCellUnderTheMouse) {
    Page(ColourPage::Thousand);
    QWidget* image = Image("Image1");
    auto tipAt = [image](QPoint p) {
        QHelpEvent help(QEvent::ToolTip, p, image->mapToGlobal(p));
        QApplication::sendEvent(image, &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tipAt(ThousandMainCell(2)), "1003\n点击选择颜色，双击选定并退出");
    EXPECT_EQ(tipAt({24, 3}), "点击选择颜色，双击选定并退出");
}

TEST_F(ColourFormTest, SwatchesPickNameAndNumberAndSurplusOnesAreDisabled) {
    auto* second = Child<ColourSwatchWidget>("ShapeColor2");
    EXPECT_EQ(second->brushColour(), QColor(190, 230, 200));
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(Number(), "T02");
    EXPECT_EQ(form->chosenName(), "薄荷绿");
    EXPECT_EQ(Shown(), QColor(190, 230, 200));
    for (int i = 4; i <= 10; ++i) {
        auto* surplus = Child<ColourSwatchWidget>(QString("ShapeColor%1").arg(i).toUtf8().constData());
        EXPECT_FALSE(surplus->isEnabled()) << i;
        EXPECT_TRUE(Child<QLabel>(QString("ColorNameText%1").arg(i).toUtf8().constData())->text().isEmpty());
        QTest::mouseClick(surplus, Qt::LeftButton);
    }
    EXPECT_EQ(Number(), "T02");
}

TEST_F(ColourFormTest, EnterLooksTheNumberUpOnTheCurrentPage) {
    Page(ColourPage::Thousand);
    Enter("ow07");
    EXPECT_TRUE(messages.isEmpty()) << messages.join(";").toStdString();
    EXPECT_EQ(Shown(), QColor(251, 249, 241));
    EXPECT_EQ(Number(), "OW07");
    EXPECT_EQ(form->chosenNumber(), "OW07");
    EXPECT_TRUE(form->isVisible());  // Enter looks up, it does not close
    Enter("b0003");
    Page(ColourPage::Building);
    Enter("b0003");
    ASSERT_EQ(messages, QStringList({"输入千色卡号不存在！"}));
    EXPECT_EQ(form->chosenNumber(), "B0003");
    const auto building = test::NumberedColours("B", 1, 20);
    EXPECT_EQ(Shown(), QColor(building[2].r, building[2].g, building[2].b));
    EXPECT_TRUE(form->isVisible());
}

// Ok hands the choice back, Cancel nothing; a double click on a cell picks
// it and closes with Ok.
TEST_F(ColourFormTest, OkOrADoubleClickHandsTheChoiceBackAndCancelNothing) {
    QTest::mouseClick(Child<QPushButton>("SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->pickedColour().has_value());  // nothing picked yet
    form->open();
    QTest::mouseClick(Child<ColourSwatchWidget>("ShapeColor3"), Qt::LeftButton);
    form->reject();
    EXPECT_FALSE(form->pickedColour().has_value());
    EXPECT_EQ(form->shapeColour(), QColor(20, 50, 100));  // kept for the next opening
    form->open();
    QTest::mouseClick(Child<QPushButton>("SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(form->pickedColour(), QColor(20, 50, 100));
    EXPECT_EQ(form->chosenName(), "深海蓝");
    EXPECT_EQ(form->chosenNumber(), "T03");

    form->open();
    Page(ColourPage::Building);
    QTest::mouseDClick(Image("Image2"), Qt::LeftButton, {}, {30, 3});  // on a line
    EXPECT_TRUE(form->isVisible());
    QTest::mouseClick(Image("Image2"), Qt::LeftButton, {}, BuildingCell(13));
    QTest::mouseDClick(Image("Image2"), Qt::LeftButton, {}, BuildingCell(13));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    const auto building = test::NumberedColours("B", 1, 20);
    const QColor expected(building[13].r, building[13].g, building[13].b);
    EXPECT_EQ(form->pickedColour(), expected);
    EXPECT_EQ(form->pickedWindowsColour(), WindowsFromQColor(expected));
    EXPECT_EQ(form->chosenNumber(), "B0014");
    EXPECT_EQ(form->chosenName(), "");
}

TEST(ColourFormEmpty, EmptyTablesLeaveBlankCardsAndADatabaseErrorComesBack) {
    App();
    test::TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_NE(dm, nullptr);
    TFormColor form;
    ASSERT_TRUE(form.FormCreate(*dm).ok());
    auto* image1 = form.findChild<ColourCardImage*>("Image1");
    ASSERT_NE(image1, nullptr);
    EXPECT_TRUE(image1->cardLayout().cells.empty());
    EXPECT_EQ(image1->picture().pixel(3, 3), kCardBackground);
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(form.findChild<ColourSwatchWidget*>(QString("ShapeColor%1").arg(i))->isEnabled());
    ASSERT_TRUE(dm->ExecSql("drop table TableColorTj").ok());
    TFormColor broken;
    EXPECT_FALSE(broken.FormCreate(*dm).ok());
}

}  // namespace
}  // namespace v2d

// The application must go before the program's static objects do: the
// pointing devices that the mouse simulation creates are its children.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
