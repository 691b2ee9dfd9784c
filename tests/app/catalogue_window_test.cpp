// The material tools and catalogue upkeep in the windows: the effect window
// re-tiles through the document, the material editor recolours and files
// its result through the browser in mode 6, and the browser's maintenance
// handlers reach the database behind the login. The rules themselves are
// the core's tests; here each control reaches its operation.
#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <functional>

#include "app/uformloadtype.h"
#include "app/uformselparts.h"
#include "app/uformsuperlogin.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/category_maintenance.h"
#include "library/product_maintenance.h"
#include "library/super_login.h"
#include "tools/uformmatedit.h"
#include "app_test_support.h"

namespace v2d {
namespace {

class CatalogueWindows : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(true);
        dm_ = std::move(*TDataModule_Manager::DataModuleCreate(ws_.path()));
        browser_ = std::make_unique<TFormSelParts>(*dm_, prompts_, ws_.qpath());
        loadType_ = std::make_unique<TFormLoadType>();
        main_->setProductWindows(browser_.get(), loadType_.get());
        main_->setDataModule(dm_.get());
        ProgramUser() = CurrentUser{};
    }
    void TearDown() override {
        main_.reset();
        browser_.reset();
        ProgramUser() = CurrentUser{};
    }
    template <class T>
    T& In(const QObject& window, const char* name) { return test::Child<T>(window, name); }
    void WhenShown(std::function<void()> act) { QTimer::singleShot(0, main_.get(), std::move(act)); }
    QTreeWidgetItem* Node(const QString& name) {
        auto& tree = In<QTreeWidget>(*browser_, "TreeViewParts");
        for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it)
            if ((*it)->text(0) == name) return *it;
        return nullptr;
    }
    // Runs the steps inside the browser shown for maintenance.
    void InMaintenance(std::function<void()> steps) {
        WhenShown([this, steps] {
            steps();
            browser_->reject();
        });
        browser_->ShowInMode(TFormSelParts::Maintenance);
    }
    int ListCount() { return In<QListWidget>(*browser_, "ListView1").count(); }

    std::unique_ptr<TDataModule_Manager> dm_;
    std::unique_ptr<TFormSelParts> browser_;
    std::unique_ptr<TFormLoadType> loadType_;
};

TEST_F(CatalogueWindows, EffectWindowStartsAfreshAndTilesTheSelection) {
    Doc().Select(0);
    const int before = Doc().history().count();
    WhenShown([this] {
        auto* effect = QApplication::activeModalWidget();
        ASSERT_NE(effect, nullptr);
        EXPECT_TRUE(Doc().effectSettings().shown);
        EXPECT_EQ(Doc().effectSettings().bump, ReliefChoice::NotChosen);
        In<QRadioButton>(*effect, "RadioGroupBumpItem1").click();  // "凸起"
        EXPECT_EQ(Doc().effectSettings().bump, ReliefChoice::Raised);
        effect->close();
    });
    ClickButton("SpeedButtonEffect");
    EXPECT_EQ(Doc().history().count(), before + 1);
    EXPECT_FALSE(Doc().effectSettings().shown) << "closed, the window's settings no longer count";
}

TEST_F(CatalogueWindows, EffectWindowLightChoiceIsOneStepTheSceneShowsAndUndoTakesBack) {
    Doc().Select(0);
    UseProduct(test::Checker(Qt::white, Qt::lightGray), "PartsName=砖&PartsSpecs=600*600");
    ClickButton("BitBtnApply");
    ASSERT_FALSE(Record(0).picture.isNull());
    const QImage before = Shown();
    const int steps = Doc().history().count();
    QImage changed;
    WhenShown([&] {
        auto* effect = QApplication::activeModalWidget();
        ASSERT_NE(effect, nullptr);
        auto& photo = In<QRadioButton>(*effect, "RadioGroupLightItem0");
        auto& room = In<QRadioButton>(*effect, "RadioGroupLightItem1");
        EXPECT_TRUE(photo.isChecked()) << "a scheme made before keeps the photo's light";
        QTest::mouseClick(&room, Qt::LeftButton, {}, QPoint(8, room.height() / 2));  // "去除原有纹理"
        EXPECT_TRUE(room.isChecked());
        changed = Shown();
        effect->close();
    });
    ClickButton("SpeedButtonEffect");
    EXPECT_EQ(Record(0).partsInfo.lightMode(), LightMode::Room);
    EXPECT_EQ(Doc().history().count(), steps + 1);
    ASSERT_EQ(changed.size(), before.size());
    EXPECT_NE(changed, before) << "the region is toned with the room's light at once";
    Key(Qt::Key_Z, Qt::ControlModifier);
    WaitUntilIdle();
    EXPECT_EQ(Record(0).partsInfo.lightMode(), LightMode::Photo);
    EXPECT_EQ(Shown(), before);
}

TEST_F(CatalogueWindows, EditorRecoloursAndFilesItsResultAsANewProduct) {
    Doc().Select(0);
    prompts_.colours = {QColor(Qt::red)};
    WhenShown([this] {
        auto* editor = qobject_cast<TFormMatedit*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->ImageMatMouseDown({1, 1});  // the margin beside a wide picture, or the corner
        editor->ImageMatMouseDown({editor->editedPictureSize().width() / 2, editor->editedPictureSize().height() / 2});
        ASSERT_EQ(editor->editor().entries().size(), 1u);
        EXPECT_EQ(editor->editor().entries()[0].colour, 0x000000FFu);
        WhenShown([this] {
            EXPECT_EQ(In<QLineEdit>(*browser_, "EditPartsName").text(), QStringLiteral("新材料"));
            In<QTreeWidget>(*browser_, "TreeViewParts").setCurrentItem(Node(QStringLiteral("墙砖")));
            browser_->BitBtnAddPartsClick();
        });
        In<QToolButton>(*editor, "SpeedButtonOK").click();
    });
    ClickButton("SpeedButtonAdd");
    ASSERT_FALSE(prompts_.texts.isEmpty());
    EXPECT_EQ(prompts_.texts.back(), QStringLiteral("1 个产品添加完毕！"));
    EXPECT_TRUE(Doc().product().descriptor().find("PartsName=新材料") != std::string::npos) << Doc().product().descriptor();
    EXPECT_GE(Doc().history().count(), 1) << "the selection is laid again with the new product";
}

TEST_F(CatalogueWindows, MaintenanceChangesNeedTheLoginAndReachTheDatabase) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const std::filesystem::path jpeg = ws_.path() / "新砖.jpg";
    ASSERT_TRUE(WriteFileAtomically(jpeg, *EncodeJpeg(picture)));
    InMaintenance([&] {
        auto& tree = In<QTreeWidget>(*browser_, "TreeViewParts");
        tree.setCurrentItem(Node(QStringLiteral("墙砖")));
        const int before = ListCount();
        prompts_.openNames = {QString::fromStdString(jpeg.string())};
        browser_->BitBtnAddPartsClick();
        EXPECT_EQ(ListCount(), before + 1);
        EXPECT_EQ(prompts_.texts.back(), QStringLiteral("1 个产品添加完毕！"));

        // Without rights the login comes; cancelled, the change is refused.
        auto& list = In<QListWidget>(*browser_, "ListView1");
        list.setCurrentRow(0);
        WhenShown([] { QApplication::activeModalWidget()->close(); });
        browser_->ButtonUpdateClick();
        EXPECT_EQ(prompts_.texts.back(), QString::fromUtf8(kMsgNoUpdateRights));

        ProgramUser() = CurrentUser{"superuser", -999, "-999"};
        const QString number = In<QLineEdit>(*browser_, "EditPartsNumber").text();
        In<QLineEdit>(*browser_, "EditPartsName").setText("改名'砖");
        In<QLineEdit>(*browser_, "EditPartsNumber").setText("typed-over");
        browser_->ButtonUpdateClick();
        EXPECT_EQ(prompts_.texts.back(), number + QStringLiteral("更新成功！"));
        EXPECT_EQ(list.item(0)->text(), QStringLiteral("改名'砖"));

        browser_->TreeViewPartsDragDrop(Node(QStringLiteral("瓷砖")));
        EXPECT_EQ(prompts_.texts.back(), QString::fromUtf8(kMsgNotIntoMainCategory));
        prompts_.answers = {PromptAnswer::Yes};
        browser_->TreeViewPartsDragDrop(Node(QStringLiteral("仿古砖")));
        EXPECT_EQ(ListCount(), before);

        tree.setCurrentItem(Node(QStringLiteral("地砖")));
        browser_->NDelStypeClick();
        EXPECT_EQ(prompts_.texts.back(), QString::fromUtf8(kMsgSubCategoryHasChildren));
        browser_->TreeViewPartsEdited(Node(QStringLiteral("地砖")), "");
        EXPECT_EQ(prompts_.texts.back(), QString::fromUtf8(kMsgCategoryNameEmpty));
        EXPECT_NE(Node(QStringLiteral("地砖")), nullptr);
        browser_->NAddMtypeClick();
        EXPECT_EQ(tree.currentItem()->text(0), QString::fromUtf8(kNewMainCategoryName));
        browser_->NDelMtypeClick();
        EXPECT_EQ(Node(QString::fromUtf8(kNewMainCategoryName)), nullptr);

        tree.setCurrentItem(Node(QStringLiteral("仿古砖")));
        const int moved = ListCount();
        list.clearSelection();
        list.setCurrentRow(0);
        prompts_.answers = {PromptAnswer::Yes};
        browser_->N1Click();
        EXPECT_EQ(ListCount(), moved - 1);
    });
}

// A person types the pieces per box, the unit (the wall tiles' 箱, one down: 卷) and the pattern repeat, saves,
// and sees them again in a window opened afresh.
TEST_F(CatalogueWindows, PackingIsTypedSavedAndShownAgain) {
    ProgramUser() = CurrentUser{"superuser", -999, "-999"};
    auto click = [](QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); };
    auto pickFirstWallTile = [&] {
        auto& tree = In<QTreeWidget>(*browser_, "TreeViewParts");
        click(tree.viewport(), tree.visualItemRect(Node(QStringLiteral("墙砖"))).center());
        auto& list = In<QListWidget>(*browser_, "ListView1");
        click(list.viewport(), list.visualItemRect(list.item(0)).center());
    };
    InMaintenance([&] {
        pickFirstWallTile();
        auto& perBox = In<QSpinBox>(*browser_, "SpinPartsPerBox");
        click(&perBox, perBox.rect().center());
        QTest::keyClick(&perBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&perBox, "12");
        In<QComboBox>(*browser_, "ComboPartsUnit").setFocus();
        QTest::keyClick(&In<QComboBox>(*browser_, "ComboPartsUnit"), Qt::Key_Down);
        auto& repeat = In<QSpinBox>(*browser_, "SpinPatternRepeat");
        click(&repeat, repeat.rect().center());
        QTest::keyClick(&repeat, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&repeat, "640");
        click(&In<QWidget>(*browser_, "ButtonUpdate"), {5, 5});
        EXPECT_TRUE(prompts_.texts.back().endsWith(QStringLiteral("更新成功！")));
    });
    browser_ = std::make_unique<TFormSelParts>(*dm_, prompts_, ws_.qpath());
    main_->setProductWindows(browser_.get(), loadType_.get());
    InMaintenance([&] {
        pickFirstWallTile();
        EXPECT_EQ(In<QSpinBox>(*browser_, "SpinPartsPerBox").value(), 12);
        EXPECT_EQ(In<QComboBox>(*browser_, "ComboPartsUnit").currentText(), QStringLiteral("卷"));
        EXPECT_EQ(In<QSpinBox>(*browser_, "SpinPatternRepeat").value(), 640);
    });
}

}  // namespace
}  // namespace v2d
