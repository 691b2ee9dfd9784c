// vexel2d: the home-decoration visualiser.
//   vexel2d [--workspace DIR] [FILE.v2d | FILE.c2d]
#include <QApplication>

#include "app/application.h"
#include "base/process_setup.h"
#include "base/program_information.h"
#include "widgets/interface_language.h"
#include "widgets/page_browser.h"
#include "widgets/user_prompts.h"

namespace {

constexpr const char* kUsage =
    "usage: vexel2d [--workspace DIR] [FILE.v2d | FILE.c2d]\n"
    "\n"
    "The home-decoration visualiser: lay tiles, floors and wallpaper into a room photo, place furniture,\n"
    "save the picture and the product report.\n"
    "\n"
    "  --workspace DIR  the workspace (products, templates, schemes, settings); made from the demo\n"
    "                   workspace when it does not exist (default: the program's folder when it holds DB/,\n"
    "                   else $XDG_DATA_HOME/vexel2d)\n"
    "  FILE.v2d         open this scheme instead of the start scheme\n"
    "  FILE.c2d         open the start scheme and place this model in its middle\n"
    "  -h, --help       print this text and exit\n"
    "  --version        print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is asked for.
    if (const auto asked = v2d::RequestedInformation({argv + 1, argv + argc}); asked != v2d::InformationRequest::None)
        return v2d::PrintInformation(asked, "vexel2d", kUsage);
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
