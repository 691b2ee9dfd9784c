// The interface speaks Chinese as written until the system's language is
// English; then the windows, their messages and the core's messages the
// prompts show come in English.
#include <QLocale>
#include <QToolButton>

#include "app_test_support.h"
#include "widgets/interface_language.h"

namespace v2d {
namespace {

class Language : public test::WindowTest {};

TEST_F(Language, AnEnglishSystemGetsEnglishCaptionsAndMessages) {
    OpenWindow(false);
    EXPECT_FALSE(InstallInterfaceTranslation(test::App(), QLocale(QLocale::Chinese, QLocale::China)));
    EXPECT_EQ(Find<QToolButton>("SpeedButtonOpenFile").text().toStdString(), "打开方案");
    main_.reset();

    ASSERT_TRUE(InstallInterfaceTranslation(test::App(), QLocale(QLocale::English, QLocale::UnitedStates)));
    OpenWindow(false);
    EXPECT_EQ(Find<QToolButton>("SpeedButtonOpenFile").text().toStdString(), "Open scheme");
    ClickButton("SpeedButtonSaveFile");  // nothing to save yet: asked, as the box shows it
    ASSERT_FALSE(prompts_.texts.isEmpty());
    EXPECT_EQ(ShownText(prompts_.texts.back()).toStdString(), "The scheme has no regions. Save it anyway?");
    // The core's messages: whole, and a pattern around what it carries.
    EXPECT_EQ(ShownText("请先选中一个区域。").toStdString(), "Please select a region first.");
    EXPECT_EQ(ShownText("第 3 行：价格“x1”不是数字。").toStdString(), "Line 3: Price \"x1\" is not a number.");
    EXPECT_EQ(ShownText("读取照片失败：/tmp/房间.jpg").toStdString(), "Could not read the photo: /tmp/房间.jpg");
}

}  // namespace
}  // namespace v2d
