#include <QDrag>
#include <QTimer>
#include "app/uformselparts.h"
#include "tests/app/app_test_support.h"
#include "tools/uformmatedit.h"

namespace v2d::test {
// Runs `act` in the modal window of that name once it is up; after five
// seconds without it the test fails and whatever modal window is up closes.
void InModal(const QString& name, std::function<void(QWidget&)> act, int triesLeft = 500) {
    QTimer::singleShot(10, [=] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && m->objectName() == name) return act(*m);
        if (triesLeft > 0) return InModal(name, act, triesLeft - 1);
        ADD_FAILURE() << "no window " << name.toStdString();
        if (m) m->close();
    });
}
QString Text(QWidget& w, const char* name, const char* property) { return Child<QWidget>(w, name).property(property).toString(); }

class MaterialEditorWindow : public WindowTest {};
TEST_F(MaterialEditorWindow, PanelPictureClickEditsDragDoesNotAndFilingKeepsTheSource) {
    OpenWindow(true);
    QWidget& picture = Find<QWidget>("ImageParts");
    UseProduct(Checker(QColor(200, 10, 10), QColor(0, 0, 200)), "PartsNumber=DL-8005");
    Doc().Select(0);
    prompts_.colours = {QColor(0, 255, 0)};
    InModal("FormMatedit", [](QWidget& editor) {  // the checker's red, then OK
        for (const char* name : {"ImageMat", "SpeedButtonOK"}) QTest::mouseClick(&Child<QWidget>(editor, name), Qt::LeftButton);
    });
    QTest::mouseClick(&picture, Qt::LeftButton);
    WaitUntilIdle();  // the laying again runs off the window's thread
    EXPECT_EQ(Doc().product().picture.pixel(5, 5), qRgb(0, 255, 0));
    EXPECT_EQ(Doc().history().count(), 1) << "the selected region is laid again";
    QTest::mousePress(&picture, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(&picture, {12 + QApplication::startDragDistance(), 10});  // offscreen the drag ends at once
    EXPECT_NE(picture.findChild<QDrag*>(), nullptr);
    QTimer::singleShot(0, [] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a drag opened " << m->objectName().toStdString();
            m->close();
        }
    });
    QTest::mouseRelease(&picture, Qt::LeftButton);  // no editor after a drag
    QApplication::processEvents();
    // Reopened on its result the entry is kept; filed, the source's size, dealer and material.
    auto dm = std::move(*TDataModule_Manager::DataModuleCreate(ws_.path()));
    TFormSelParts browser(*dm, prompts_, ws_.qpath());
    main_->setProductWindows(&browser, nullptr), main_->setDataModule(dm.get());
    InModal("FormMatedit", [&](QWidget& editor) {
        EXPECT_EQ(qobject_cast<TFormMatedit*>(&editor)->editor().entries().size(), 1u);
        InModal("FormSelParts", [](QWidget& b) {
            EXPECT_EQ(Text(b, "EditPartsSpecs", "text") + Text(b, "ComboBoxSales", "currentText") +
                          Text(b, "ComboBoxMatType", "currentText"), "800*800石韵石材石材抛光");
            b.close();
        });
        QTest::mouseClick(&Child<QWidget>(editor, "SpeedButtonOK"), Qt::LeftButton);
    });
    ClickButton("SpeedButtonAdd");
}
}  // namespace v2d::test
