// The material editor reached from the main window: a click on the panel
// picture opens it (a drag does not), OK lays the selection again with the
// edited picture, and a product filed from it keeps its source's details.
#include <QComboBox>
#include <QDrag>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/uformloadtype.h"
#include "app/uformselparts.h"
#include "library/data_module.h"
#include "tests/app/app_test_support.h"
#include "tools/uformmatedit.h"

namespace v2d {
namespace {

class MaterialEditorWindow : public test::WindowTest {
protected:
    void SetUp() override { OpenWindow(true); }
    QWidget& Picture() { return Find<QWidget>("ImageParts"); }
    // Runs `act` in the editor once it is up; the editor must come.
    void InEditor(std::function<void(TFormMatedit&)> act) {
        QTimer::singleShot(0, main_.get(), [act] {
            auto* editor = qobject_cast<TFormMatedit*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            act(*editor);
            if (editor->isVisible()) editor->reject();
        });
    }
    static void Click(QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center()); }
};

TEST_F(MaterialEditorWindow, ClickOnThePanelPictureEditsItAndLaysTheSelectionAgain) {
    UseProduct(test::Checker(QColor(200, 10, 10), QColor(0, 0, 200)), "PartsName=砖&PartsNumber=X");
    Doc().Select(0);
    const size_t undo = Doc().undoList().size();
    prompts_.colours = {QColor(0, 255, 0)};
    InEditor([](TFormMatedit& editor) {
        Click(test::Child<QWidget>(editor, "ImageMat"));  // the middle of a 2 x 2 checker: the red key
        Click(test::Child<QWidget>(editor, "SpeedButtonOK"));
    });
    Click(Picture());
    EXPECT_EQ(Doc().product().picture.pixel(5, 5), qRgb(0, 255, 0));
    EXPECT_EQ(Doc().product().picture.pixel(50, 5), qRgb(0, 0, 200));
    EXPECT_EQ(Doc().undoList().size(), undo + 1) << "the selected region is laid again";

    // Opened again on its own result, the entry is still there; without
    // entries the colour cards ask for an area first.
    InEditor([this](TFormMatedit& editor) {
        EXPECT_EQ(editor.editor().entries().size(), 1u);
        Click(test::Child<QWidget>(editor, "SButtonReset"));
        Click(test::Child<QWidget>(editor, "SButtonColor"));
        EXPECT_EQ(prompts_.texts.count(QStringLiteral("请先在左面效果图上点选操作区域。")), 1);
    });
    Click(Picture());

    // A press moved past the drag distance drags the product (offscreen the
    // drag ends at once); the release opens no editor.
    const QPoint moved(12 + QApplication::startDragDistance(), 10);
    QTest::mousePress(&Picture(), Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(&Picture(), moved);
    EXPECT_NE(Picture().findChild<QDrag*>(), nullptr);
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        EXPECT_EQ(modal, nullptr);
        if (modal != nullptr) modal->close();
    });
    QTest::mouseRelease(&Picture(), Qt::LeftButton, {}, moved);
    QTest::qWait(20);
}

TEST_F(MaterialEditorWindow, ToleranceFromTheMapAndAFiledProductKeepsItsSourcesDetails) {
    auto dm = std::move(*TDataModule_Manager::DataModuleCreate(ws_.path()));
    TFormSelParts browser(*dm, prompts_, ws_.qpath());
    TFormLoadType loadType;
    main_->setProductWindows(&browser, &loadType);
    main_->setDataModule(dm.get());
    const ProductRow source = ReadAllProducts(*dm, ProductKind::Material)->front();  // not the first dealer
    UseProduct(test::Checker(Qt::red, Qt::blue), ("PartsNumber=" + source.PartsNumber).c_str());
    CurrentProduct product = Doc().product();
    product.mapTolerance = 77;
    Doc().SetProduct(product);
    InEditor([](TFormMatedit& editor) { EXPECT_EQ(test::Child<QLineEdit>(editor, "EditTolerance").text(), "77"); });
    ClickButton("BitBtnBzq");

    InEditor([&](TFormMatedit& editor) {
        std::function<void()> check = [&] {
            if (!browser.isVisible()) return QTimer::singleShot(10, &browser, check);
            EXPECT_EQ(test::Child<QLineEdit>(browser, "EditPartsSpecs").text().toStdString(), source.PartsSpecs);
            EXPECT_EQ(test::Child<QComboBox>(browser, "ComboBoxSales").currentData().toLongLong(), source.SalesID);
            EXPECT_EQ(test::Child<QComboBox>(browser, "ComboBoxMatType").currentData().toLongLong(), source.MatTypeID);
            browser.reject();
        };
        QTimer::singleShot(0, &browser, check);
        Click(test::Child<QWidget>(editor, "SpeedButtonOK"));
    });
    ClickButton("SpeedButtonAdd");
}

}  // namespace
}  // namespace v2d
