// The model menu, the shadow dialog, the region list's drag and menu, and
// "编辑模板" wired in the main window.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>

#include <fstream>

#include "app/model_menu.h"
#include "app/region_list_widget.h"
#include "app/scene_view.h"
#include "app/template_tool_launch.h"
#include "app/uformshadow.h"
#include "scene/scheme_file.h"
#include "tests/app/app_test_support.h"

namespace v2d {
namespace {

class ModelMenuWindow : public test::WindowTest {
protected:
    int DropSofa() {
        ModelDrop drop;
        drop.modelFile = ws_.path() / "product/c2d/SF-001.c2d";
        drop.point = {800, 900};
        return *Doc().DropModel(drop);
    }
    QAction& Item(const char* name) { return Find<QAction>(name); }
};

TEST_F(ModelMenuWindow, TheMenuFitsACutoutItsFramesTurnAndDeletionAsksAndIsUndone) {
    OpenWindow(true);
    const int count = Doc().scene().count();
    const int sofa = DropSofa();
    ASSERT_GE(sofa, 0);
    emit Find<QMenu>("PopupMenuModel").aboutToShow();
    EXPECT_FALSE(Item("NMirrorX").isEnabled());
    EXPECT_TRUE(Item("NFrameNext").isEnabled());
    Item("NFrameNext").trigger();
    EXPECT_EQ(Doc().scene().FrameSetOf(&Record(sofa))->current, 1);
    Find<SceneView>("PanelView").rotationFrameClicked(-1);  // node7 turns back
    EXPECT_EQ(Doc().scene().FrameSetOf(&Record(sofa))->current, 0);

    prompts_.answers = {PromptAnswer::No, PromptAnswer::Yes};
    Item("NDeleteModel").trigger();
    EXPECT_EQ(Doc().scene().count(), count + 1);
    Item("NDeleteModel").trigger();
    EXPECT_EQ(Doc().scene().count(), count);
    EXPECT_EQ(prompts_.texts.back(), QString::fromUtf8(kAskDeleteSelection));
    Find<QAction>("ActionUndo").trigger();
    EXPECT_EQ(Doc().scene().count(), count + 1);
    EXPECT_NE(Doc().scene().FrameSetOf(Doc().scene().at(sofa)), nullptr);
}

TEST_F(ModelMenuWindow, UncheckingCastShadowDisablesTheGroupAndSwitchesTheShadowOff) {
    OpenWindow(true);
    const int sofa = DropSofa();
    ASSERT_GE(sofa, 0);
    auto& dialog = Find<TFormShadow>("TFormShadow");
    dialog.FormShow();
    auto& cast = test::Child<QCheckBox>(dialog, "CheckBoxCastShadow");
    ASSERT_TRUE(cast.isChecked());
    QTest::mouseClick(&cast, Qt::LeftButton);
    EXPECT_FALSE(test::Child<QGroupBox>(dialog, "GroupBoxShadow").isEnabled());
    EXPECT_EQ(Record(sofa).castShadow, 0);
    auto& x = test::Child<QLineEdit>(dialog, "EditXpos");
    x.setText("abc");
    dialog.EditXposExit(&x);
    EXPECT_TRUE(prompts_.texts.back().contains("abc"));
    EXPECT_EQ(Record(sofa).shadowX, 5);
}

TEST_F(ModelMenuWindow, ListDragsReorderAndTheEdgeLineMenuKeepsTheSelectedItems) {
    OpenWindow(true);
    auto& list = Find<RegionListWidget>("GroupBoxPoly");
    const std::string first = Record(0).name;
    Doc().Select(0);
    list.ListBoxPolyDragDrop(Doc().scene().count() - 1);
    EXPECT_EQ(Record(Doc().scene().count() - 1).name, first);
    EXPECT_EQ(Find<QListWidget>("ListBoxPoly").item(Doc().scene().count() - 1)->text(), QString::fromStdString(first));
    list.N1Click();
    EXPECT_EQ(Doc().focusedRecord(), nullptr);
    EXPECT_EQ(ListSelection(), std::vector<int>{Doc().scene().count() - 1});
}

TEST_F(ModelMenuWindow, EditTemplateWritesTheEmptySceneBeforeStartingTheToolOrSaysItIsMissing) {
    OpenWindow(false);
    const std::filesystem::path handOver = ws_.path() / kHandOverFile;
    // Beside the test program there is no tool either.
    if (TemplateToolPath(ws_.qpath()).isEmpty()) {
        EXPECT_FALSE(NEditPolyClick(main_.get(), Doc(), prompts_, ws_.qpath()));
        EXPECT_EQ(prompts_.texts.back(), QString::fromUtf8(kMsgTemplateToolMissing));
        EXPECT_FALSE(std::filesystem::exists(handOver));
    }
    const std::filesystem::path tool = ws_.path() / kTemplateToolName;
    { std::ofstream(tool) << "#!/bin/sh\n"; }
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    QStringList started;
    ASSERT_TRUE(NEditPolyClick(main_.get(), Doc(), prompts_, ws_.qpath(),
                               [&](const QString& program, const QStringList& args, const QString&) {
                                   started << program << args;
                                   return true;
                               }));
    ASSERT_EQ(started.size(), 2);
    EXPECT_EQ(started[1].toStdString(), handOver.string());
    Result<SchemeFile> written = ReadSchemeFile(handOver);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(written->scene.count(), 0);
}

}  // namespace
}  // namespace v2d
