// The product browser and the panel's product buttons over the demo
// workspace: choosing fills the panel and the document's product, the model
// button asks for the source and reports a missing model file, and the
// browser follows its mode.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <functional>

#include "app/comparison_view.h"
#include "app/uformloadtype.h"
#include "app/uformselparts.h"
#include "app/uformsuperlogin.h"
#include "library/super_login.h"
#include "library/data_module.h"
#include "app_test_support.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

class ProductBrowser : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(true);
        ProgramUser() = CurrentUser{};
        auto module = TDataModule_Manager::DataModuleCreate(ws_.path());
        ASSERT_TRUE(module) << module.error();
        dm_ = std::move(*module);
        browser_ = std::make_unique<TFormSelParts>(*dm_, prompts_, ws_.qpath());
        loadType_ = std::make_unique<TFormLoadType>();
        main_->setProductWindows(browser_.get(), loadType_.get());
    }
    void TearDown() override {
        main_.reset();
        browser_.reset();
        loadType_.reset();
    }
    template <class T>
    T& In(const QObject& window, const char* name) { return test::Child<T>(window, name); }
    // Runs `act` inside the next modal loop.
    void WhenShown(std::function<void()> act) { QTimer::singleShot(0, main_.get(), std::move(act)); }
    template <class View, class Item>  // a click (twice: a double-click) amid a node or thumbnail
    void ClickAt(View& view, Item* item, bool twice = false) {
        view.scrollToItem(item);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(item).center());
        if (twice) QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(item).center());
    }
    // In the browser: the product with this number, chosen with "选定产品".
    void Choose(const QString& number, bool twice = false) {
        Pick(number, twice);
        if (!twice) QTest::mouseClick(&In<QPushButton>(*browser_, "BitBtnSelect"), Qt::LeftButton);
        if (browser_->isVisible()) browser_->reject();  // a message kept it open
    }
    // Its thumbnail clicked (twice: double-clicked), through the tree's nodes until it shows.
    void Pick(const QString& number, bool twice = false) {
        auto& list = In<QListWidget>(*browser_, "ListView1");
        auto& tree = In<QTreeWidget>(*browser_, "TreeViewParts");
        auto row = [&] {
            for (int i = 0; i < list.count(); ++i)
                if (list.item(i)->data(Qt::UserRole + 2).toString() == number) return i;
            return -1;
        };
        for (QTreeWidgetItemIterator it(&tree); *it != nullptr && row() < 0; ++it) ClickAt(tree, *it);
        if (row() >= 0) ClickAt(list, list.item(row()), twice);
    }
    void ChooseMaterial(const QString& number) {
        WhenShown([=] { Choose(number); });
        ClickButton("BitBtnParts");
    }
    // The model button: the source chooser, then the browser.
    void ChooseModel(const QString& number, bool online = false) {
        WhenShown([=] {
            if (online) In<QRadioButton>(*loadType_, "RadioButtonWeb").setChecked(true);
            else In<QRadioButton>(*loadType_, "RadioButtonLocal").setChecked(true);
            WhenShown([=, this] { Choose(number, true); });
            QTest::mouseClick(&In<QPushButton>(*loadType_, "BitBtnOk"), Qt::LeftButton);
        });
        ClickButton("BitBtnModel");
    }
    QString Text(const char* name) { return Find<QWidget>(name).property("text").toString(); }

    std::unique_ptr<TDataModule_Manager> dm_;
    std::unique_ptr<TFormSelParts> browser_;
    std::unique_ptr<TFormLoadType> loadType_;
};

TEST_F(ProductBrowser, ChoosingAMaterialFillsThePanelAndTheDocument) {
    Find<QCheckBox>("CheckBoxFit").setChecked(true);
    ChooseMaterial("PG-8001");
    EXPECT_EQ(Doc().product().descriptor(),
              "PartsName=象牙白抛光砖&PartsNumber=PG-8001&SalesName=华丽陶瓷&PartsSpecs=800*800&FanSheXiShu=45&PartsPrice=168.00"
              "&PartsUnit=m2");
    EXPECT_EQ(Doc().product().dragKind, DragKind::Material);
    EXPECT_FALSE(Doc().product().picture.isNull());
    EXPECT_EQ(Text("LabelName") + Text("LabelNumber") + Text("LabelPrice") + Text("LabelFact"),
              QStringLiteral("名称：象牙白抛光砖编号：PG-8001价格：168.00品牌：华丽陶瓷"));
    EXPECT_EQ(Text("EditPartsWidth") + "x" + Text("EditPartsHeight"), "800x800");
    EXPECT_FALSE(Find<QCheckBox>("CheckBoxFit").isChecked());
    EXPECT_EQ(Find<QSlider>("TrackBarReflect").value(), 45);
    EXPECT_EQ(Text("EditReflect"), "45");
    EXPECT_EQ(Find<HintText>("LabelHelp").text(), QStringLiteral("你可以拖拽产品图片到场景了"));

    // A reflection that is no number puts the slider at 0; the descriptor
    // takes it as it stands, "&" and "=" in the values included.
    ASSERT_TRUE(dm_->ExecSql("update TableMatType set FanSheXiShu='4x' where MatTypeID=1").ok());
    ASSERT_TRUE(dm_->ExecSql("update TableParts set PartsName='a&b=c',PartsPerBox=6,PartsUnit='m2' "
                             "where PartsNumber='PG-8002'").ok());
    ChooseMaterial("PG-8002");
    EXPECT_EQ(Find<QSlider>("TrackBarReflect").value(), 0);
    EXPECT_EQ(Doc().product().descriptor(), "PartsName=a&b=c&PartsNumber=PG-8002&SalesName=华丽陶瓷&PartsSpecs=800*800"
                                          "&FanSheXiShu=4x&PartsPrice=158.00&PartsPerBox=6&PartsUnit=m2");
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();
}

// "对比": three materials put aside in the browser show side by side over the work area, each cell the
// room laid with it; a click on the second lays it at full size as one step, as its cell showed.
TEST_F(ProductBrowser, ComparedMaterialsShowSideBySideAndAClickLaysOne) {
    auto& regions = Find<QListWidget>("ListBoxPoly");
    ClickAt(regions, regions.findItems(QStringLiteral("地面"), Qt::MatchContains).value(0));
    const std::vector<int> floorSelected = Doc().selection().selected;
    ASSERT_FALSE(floorSelected.empty());
    const int steps = Doc().history().count();
    WhenShown([=] {
        for (const char* number : {"PG-8001", "FG-6001", "FG-6001", "DL-8001"}) {
            Pick(QString::fromLatin1(number));
            QTest::mouseClick(&In<QPushButton>(*browser_, "BitBtnCompareAdd"), Qt::LeftButton);
        }
        QTest::mouseClick(&In<QPushButton>(*browser_, "BitBtnCompare"), Qt::LeftButton);
    });
    ClickButton("BitBtnCompareParts");
    EXPECT_EQ(prompts_.texts, QStringList{QStringLiteral("该产品已加入对比。")});  // the second FG-6001
    auto& grid = Find<ComparisonView>("PanelCompare");
    ASSERT_TRUE(grid.isVisible());
    const QImage shown = grid.grab().toImage();
    auto floor = [&](int cell) {  // the red less the blue over the middle of the cell's floor
        const QRect c = grid.shownCell(cell);
        int sum = 0, n = 0;
        for (int y = c.top() + c.height() * 6 / 10; y < c.top() + c.height() * 7 / 10; ++y)
            for (int x = c.left() + c.width() * 4 / 10; x < c.left() + c.width() * 6 / 10; ++x, ++n)
                sum += qRed(shown.pixel(x, y)) - qBlue(shown.pixel(x, y));
        return sum / std::max(n, 1);
    };
    EXPECT_GT(floor(1), floor(0) + 25);  // the red rustic tile's floor
    EXPECT_GT(floor(1), floor(2) + 25);
    EXPECT_TRUE(grid.shownCell(3).isEmpty());                           // three: a 2 x 2 grid with one cell empty
    EXPECT_EQ(Doc().history().count(), steps);                         // nothing laid yet

    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.shownCell(1).center());
    WaitUntilIdle();
    EXPECT_FALSE(grid.isVisible());
    EXPECT_EQ(Doc().product().product.number(), "FG-6001");
    EXPECT_EQ(Doc().selection().selected, floorSelected);  // the click on the grid never reached the scene
    EXPECT_EQ(Doc().history().count(), steps + 1);
    EXPECT_EQ(Text("LabelNumber"), QStringLiteral("编号：FG-6001"));
}

TEST_F(ProductBrowser, ModelButtonAsksTheSourceAndNeedsTheModelFile) {
    ChooseModel("SF-001");
    EXPECT_EQ(Doc().product().descriptor(),
              "PartsName=布艺三人沙发&PartsNumber=SF-001&SalesName=美家家具&PartsSpecs=2100*900*850&PSTypeMemo=沙发"
              "&PartsPrice=4800.00");
    EXPECT_EQ(Doc().product().dragKind, DragKind::Model);
    EXPECT_FALSE(Doc().product().picture.isNull());
    EXPECT_EQ(Text("EditPartsWidth") + "x" + Text("EditPartsHeight"), "2100x900");
    EXPECT_FALSE(Find<QWidget>("BitBtnApply").isEnabled());
    EXPECT_FALSE(Find<QWidget>("SpeedButtonEffect").isEnabled());
    EXPECT_EQ(browser_->mode(), TFormSelParts::ChooseModel);

    // Without its preview picture the model file's own preview shows.
    fs::remove(ws_.path() / "product/xjpg/MM-002.jpg");
    ChooseModel("MM-002");
    EXPECT_EQ(Text("LabelNumber"), QStringLiteral("编号：MM-002"));
    EXPECT_FALSE(Doc().product().picture.isNull());

    const std::string before = Doc().product().descriptor();
    fs::remove(ws_.path() / "product/c2d/SF-003.c2d");
    ChooseModel("SF-003");
    ChooseModel("SF-003", true);
    EXPECT_EQ(prompts_.texts, (QStringList{QStringLiteral("二维模型不存在。"),
                                           QStringLiteral("未获得正确产品信息，请咨询客服。")}));
    EXPECT_EQ(Doc().product().descriptor(), before);

    // A material again may be tiled and given effects.
    ChooseMaterial("PG-8002");
    EXPECT_EQ(Doc().product().dragKind, DragKind::Material);
    EXPECT_TRUE(Find<QWidget>("BitBtnApply").isEnabled());
    EXPECT_TRUE(Find<QWidget>("SpeedButtonEffect").isEnabled());
}

TEST_F(ProductBrowser, BrowserFollowsItsModeAndRefusesWhatCannotBeChosen) {
    const TFormSelParts& b = *browser_;
    EXPECT_EQ(b.windowTitle(), QStringLiteral("选择家居产品"));
    for (const char* name : {"TreeViewParts", "ListView1", "LabelSubName", "EditPartsName", "EditPartsNumber",
                             "EditPartsSpecs", "EditPartsPrice", "ComboBoxSales", "ComboBoxMatType", "ImageParts",
                             "BitBtnSelect", "BitBtnAddParts", "ButtonUpdate"})
        EXPECT_NE(b.findChild<QWidget*>(name), nullptr) << name;
    fs::remove(ws_.path() / "product/jpg/PG-8002.jpg");
    fs::remove(ws_.path() / "product/maps/PG-8002.jpg");
    ASSERT_TRUE(dm_->ExecSql("insert into TablePartsSubType values(999,'空次类','',2,-1,1)").ok());

    WhenShown([&] {
        auto& tree = In<QTreeWidget>(b, "TreeViewParts");
        for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it)
            if ((*it)->childCount() > 0) EXPECT_TRUE((*it)->isExpanded()) << (*it)->text(0).toStdString();
        EXPECT_EQ(tree.currentItem()->text(0), QStringLiteral("抛光砖"));
        EXPECT_EQ(In<QLabel>(b, "LabelSubName").text(), QStringLiteral("当前类别：抛光砖"));
        EXPECT_TRUE(browser_->WaitForThumbnails(5000));
        auto& list = In<QListWidget>(b, "ListView1");
        ASSERT_EQ(list.count(), 7);
        EXPECT_EQ(list.item(0)->text(), QStringLiteral("大理石纹抛光砖"));  // newest first
        EXPECT_EQ(list.item(0)->icon().pixmap(80, 80).size(), QSize(80, 80));
        EXPECT_EQ(In<QLineEdit>(b, "EditPartsNumber").text(), "PG-8007");
        EXPECT_EQ(In<QLineEdit>(b, "EditPartsPrice").text(), "198.00");
        EXPECT_EQ(In<QComboBox>(b, "ComboBoxSales").currentText(), QStringLiteral("华丽陶瓷"));
        EXPECT_TRUE(In<QLineEdit>(b, "EditPartsNumber").isReadOnly());
        EXPECT_FALSE(In<QComboBox>(b, "ComboBoxMatType").isEnabled());
        EXPECT_FALSE(In<QWidget>(b, "BitBtnAddParts").isVisible());
        EXPECT_EQ(list.toolTip(), QStringLiteral("双击将产品加入场景"));
        const QRect picture = list.visualItemRect(list.item(1)).adjusted(24, 14, -24, -40);  // inside the thumbnail
        const QImage unselected = list.viewport()->grab().toImage();
        ClickAt(list, list.item(1));  // selected, it is framed, not tinted
        EXPECT_EQ(list.viewport()->grab().toImage().copy(picture), unselected.copy(picture));
        Choose("PG-8002");  // no picture of any kind
        browser_->FillProductList(999, &list);
        EXPECT_EQ(list.count(), 0);
        EXPECT_TRUE(In<QLineEdit>(b, "EditPartsName").text().isEmpty());
        EXPECT_TRUE(In<QLabel>(b, "ImageParts").pixmap().isNull());
        browser_->BitBtnSelectClick();
        browser_->reject();
    });
    EXPECT_FALSE(browser_->ShowInMode(TFormSelParts::ChooseMaterial));
    EXPECT_EQ(prompts_.texts, (QStringList{QStringLiteral("没有产品图片。"), QStringLiteral("请选择产品。")}));

    // Maintenance: adding and updating instead of choosing; all kinds in the tree.
    WhenShown([&] {
        EXPECT_TRUE(In<QWidget>(b, "BitBtnAddParts").isVisible());
        EXPECT_TRUE(In<QWidget>(b, "ButtonUpdate").isVisible());
        EXPECT_FALSE(In<QWidget>(b, "BitBtnSelect").isVisible());
        EXPECT_TRUE(In<QComboBox>(b, "ComboBoxSales").isEnabled());
        EXPECT_EQ(In<QTreeWidget>(b, "TreeViewParts").topLevelItemCount(), 8);
        for (const char* password : {"wrong", "admin"}) {  // "更新信息" asks for the administrator
            QTimer::singleShot(0, [&, password] {
                QWidget& login = *QApplication::activeModalWidget();
                In<QLineEdit>(login, "EditUserName").setText("superuser");
                In<QLineEdit>(login, "EditUserPW").setText(password);
                for (const char* button : {"BitBtnOk", "BitBtnClose"})
                    if (login.isVisible()) QTest::mouseClick(&In<QPushButton>(login, button), Qt::LeftButton);
            });
            In<QLineEdit>(b, "EditPartsPrice").setText("77");
            QTest::mouseClick(&In<QPushButton>(b, "ButtonUpdate"), Qt::LeftButton);
            EXPECT_EQ((*FindProductByNumber(*dm_, "PG-8007"))->PartsPrice, *password == 'a' ? 77 : 198);
        }
        prompts_.openNames = {ws_.qpath() + "/product/jpg/PG-8001.jpg"};  // added: the typed size and price stay
        QTest::mouseClick(&In<QPushButton>(b, "BitBtnAddParts"), Qt::LeftButton);
        EXPECT_EQ(In<QLineEdit>(b, "EditPartsSpecs").text() + In<QLineEdit>(b, "EditPartsPrice").text(), "800*80077.00");
        browser_->reject();
    });
    browser_->ShowInMode(TFormSelParts::Maintenance);
}

// "搜索" as a person types it: the results replace the list once the typing
// pauses, a click on a found thumbnail shows that product; a click on a
// parent category lists all below it under its own heading, page by page.
TEST_F(ProductBrowser, SearchBoxFindsAsYouTypeAndParentsListAllBelow) {
    ASSERT_TRUE(dm_->connection().executeScript(
        "insert into TablePartsSubType values(999,'批量','',2,-1,1);"
        "with recursive n(i) as (select 1 union all select i+1 from n where i<250) "
        "insert into TableParts(PartsID,PartsName,PartsNumber,PSTypeID) select 1000+i,'批'||i,'PL-'||i,999 from n").ok());
    WhenShown([&] {
        auto& list = In<QListWidget>(*browser_, "ListView1");
        auto& tree = In<QTreeWidget>(*browser_, "TreeViewParts");
        auto& heading = In<QLabel>(*browser_, "LabelSubName");
        auto numbers = [&] {
            QStringList shown;
            for (int i = 0; i < list.count(); ++i) shown << list.item(i)->data(Qt::UserRole + 2).toString();
            return shown;
        };
        auto& search = In<QLineEdit>(*browser_, "EditSearch");
        QTest::mouseClick(&search, Qt::LeftButton);
        QTest::keyClicks(&search, "fg-600");
        QTRY_COMPARE(heading.text(), QStringLiteral("搜索结果：fg-600"));
        EXPECT_EQ(numbers(), (QStringList{"FG-6005", "FG-6003", "FG-6002", "FG-6001"}));
        EXPECT_TRUE(browser_->WaitForThumbnails(5000));
        ClickAt(list, list.item(1));
        EXPECT_EQ(In<QLineEdit>(*browser_, "EditPartsNumber").text(), "FG-6003");
        EXPECT_EQ(In<QLineEdit>(*browser_, "EditPartsName").text(), QStringLiteral("青石灰仿古砖"));
        EXPECT_FALSE(In<QLabel>(*browser_, "ImageParts").pixmap().isNull());
        EXPECT_EQ(search.text(), "fg-600");  // the box keeps what was typed

        auto node = [&](const QString& name) { return tree.findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0); };
        ClickAt(tree, node(QStringLiteral("地砖")));  // 抛光砖 and 仿古砖 below it
        EXPECT_EQ(heading.text(), QStringLiteral("当前类别：地砖"));
        EXPECT_TRUE(search.text().isEmpty());
        EXPECT_EQ(list.count(), 12);
        EXPECT_EQ(numbers().first(), "PG-8007");
        ClickAt(tree, node(QStringLiteral("瓷砖")));
        EXPECT_EQ(heading.text(), QStringLiteral("当前类别：瓷砖"));
        EXPECT_EQ(list.count(), 200);  // the first page; the end of the list brings the rest
        EXPECT_EQ(In<QLineEdit>(*browser_, "EditPartsNumber").text(), "PL-250");
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_End);
        QTRY_COMPARE(list.count(), 250 + 18);
        EXPECT_EQ(numbers().last(), "PG-8001");  // the oldest
        EXPECT_TRUE(browser_->WaitForThumbnails(5000));
        browser_->reject();
    });
    browser_->ShowInMode(TFormSelParts::ChooseMaterial);
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();
}

// The login window: refusals keep it open; the first administrator login of
// a database without that row asks for the password twice before granting.
TEST_F(ProductBrowser, LoginWindowChoosesTheFirstAdministratorPassword) {
    ASSERT_TRUE(dm_->ExecSql("delete from TableSuperUser").ok());
    TFormSuperLogin login(*dm_, prompts_);
    login.ClearFields();
    auto type = [&](const char* name, const char* text) { In<QLineEdit>(login, name).setText(text); };
    login.BitBtnOkClick();
    type("EditUserName", "SuperUser");
    type("EditUserPW", "wrong");
    login.BitBtnOkClick();
    type("EditUserPW", "");
    login.BitBtnOkClick();
    EXPECT_TRUE(login.choosingPassword());
    EXPECT_FALSE(HasMaintenanceRights(ProgramUser()));
    type("EditNewPW", "abc");
    type("EditNewPW2", "abd");
    login.BitBtnOkClick();
    type("EditNewPW2", "abc");
    login.BitBtnOkClick();
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_TRUE(HasMaintenanceRights(ProgramUser()));
    EXPECT_EQ(prompts_.texts, (QStringList{QStringLiteral("用户名不得为空，请重新输入。"),
                                           QStringLiteral("用户名或密码错误，请重新输入。"),
                                           QStringLiteral("两次输入的密码不一致，请重新输入。")}));

    // Without rights the login is shown; cancelled, the operation is refused.
    ProgramUser() = CurrentUser{};
    prompts_.texts.clear();
    WhenShown([] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(CheckRights(main_.get(), *dm_, prompts_, "refused"));
    EXPECT_EQ(prompts_.texts, QStringList{"refused"});
}

}  // namespace
}  // namespace v2d
