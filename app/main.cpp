// vexel2d: the home-decoration visualiser.
//   vexel2d [--workspace DIR] [FILE.v2d | FILE.c2d]
#include <QApplication>

#include "app/application.h"
#include "base/process_setup.h"
#include "widgets/interface_language.h"
#include "widgets/page_browser.h"
#include "widgets/user_prompts.h"

int main(int argc, char** argv) {
    v2d::SetUpProcess();
    v2d::PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    // The language first: the first start's note and its messages speak it too.
    v2d::InstallInterfaceTranslation(app);
    const auto options = v2d::StartupFromArguments(QCoreApplication::arguments());
    if (!options) {
        v2d::WidgetPrompts().Show(nullptr, QString::fromStdString(options.error()));  // shown translated
        return 1;
    }
    return v2d::RunVexel2D(app, *options);
}
