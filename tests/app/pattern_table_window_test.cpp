// Every row of the pattern table through each door it has: the command
// line's word into a saved scheme, the descriptor read back from it, and the
// panel's combo choosing and showing it; and a number no row has.
#include <QComboBox>

#include "app/laying_pattern_box.h"
#include "layout/pattern_descriptor.h"
#include "layout/pattern_layout.h"
#include "layout/pattern_table.h"
#include "scene/scheme_file.h"
#include "app_test_support.h"

namespace v2d {
namespace {

TEST(PatternTable, EveryRowRoundTripsThroughTheCommandLineTheDescriptorAndThePanel) {
    test::App();
    test::TempFolder ws;
    ASSERT_EQ(test::RunCli("make-workspace '" + ws.path().string() + "'"), 0);
    test::ScriptedPrompts prompts;
    LayingPatternBox box(prompts, {});
    box.show();
    auto& combo = test::Child<QComboBox>(box, "ComboBoxPattern");
    ASSERT_EQ(combo.count(), static_cast<int>(kPatternCount));
    for (const PatternRow& row : kPatternTable) {
        const std::string word(row.alias.empty() ? row.word : row.alias), saved = (ws.path() / "laid.v2d").string();
        ASSERT_EQ(test::RunCli("render '" + (ws.path() / "start/start.v2d").string() + "' --product '" +
                               (ws.path() / "product/maps/PG-8007.h2d").string() + "' --regions 地面 --pattern " + word +
                               " --joint 2 --save '" + saved + "' -o '" + (ws.path() / "laid.jpg").string() + "'"),
                  0) << word;
        EXPECT_EQ(ParsePatternWord(row.word), row.pattern);
        EXPECT_EQ(ParsePatternWord(row.caption), row.pattern);
        const Result<SchemeFile> scheme = ReadSchemeFile(saved);
        ASSERT_TRUE(scheme) << scheme.error();
        const PatternSettings read = ReadPatternSettings(scheme->scene.at(0)->partsInfo.text());
        EXPECT_EQ(read.pattern, row.pattern) << word;
        box.setSettings(read);  // the panel shows how the floor was laid
        EXPECT_EQ(combo.currentText().toStdString(), row.caption);

        box.setSettings({});  // and a person picks the caption with the keys
        combo.setFocus();
        for (int presses = 0; combo.currentText().toStdString() != row.caption && presses < combo.count(); ++presses)
            QTest::keyClick(&combo, Qt::Key_Down);
        EXPECT_EQ(box.settings().pattern, row.pattern);
        EXPECT_EQ(ReadPatternSettings(WithPatternSettings("PartsName=砖", box.settings(), {300, 300})), box.settings());
    }
    // A number beyond the table (a scheme of a build that knows more) is
    // kept as read, shown as no item, written back as it was and not laid.
    const std::string newer = "PartsName=砖&LayPattern=" + std::to_string(kPatternCount) + "&JointWidth=2";
    const PatternSettings unknown = ReadPatternSettings(newer);
    EXPECT_EQ(PatternRowOf(unknown.pattern), nullptr);
    EXPECT_EQ(ReadPatternSettings(WithPatternSettings("PartsName=砖", unknown, {})), unknown);
    EXPECT_EQ(LayPattern(unknown, 300, 300, 900, 900).error(), kMsgUnknownPattern);
    box.setSettings(unknown);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(box.settings().pattern, unknown.pattern);
}

}  // namespace
}  // namespace v2d
