// v2dtool: the outline tool. Started with a scheme (the main program hands
// over temp/temp.v2d) or a room photo, it outlines regions and saves a
// scheme the main program opens.
//   v2dtool [--workspace DIR] [FILE.v2d | PHOTO]
// Its dialogs start in the workspace: the one named, the one it is started
// in, or the program's own (portable or the user's).
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include <filesystem>

#include "base/process_setup.h"
#include "base/program_information.h"
#include "base/workspace_location.h"
#include "v2dtool/outline_window.h"
#include "widgets/interface_language.h"

namespace {

constexpr const char* kUsage =
    "usage: v2dtool [--workspace DIR] [FILE.v2d | PHOTO]\n"
    "\n"
    "The outline tool: outline the floors, walls and surfaces of a room photo and save them as a scheme.\n"
    "\n"
    "  --workspace DIR  the folder its dialogs start in (default: the current folder when it holds DB/,\n"
    "                   else the program's folder when it holds DB/, else $XDG_DATA_HOME/vexel2d)\n"
    "  FILE.v2d         open this scheme\n"
    "  PHOTO            start a new scheme from this photo (JPEG, PNG, BMP or HEIC), turned upright\n"
    "                   as its camera recorded\n"
    "  -h, --help       print this text and exit\n"
    "  --version        print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is asked for.
    if (const auto asked = v2d::RequestedInformation({argv + 1, argv + argc}); asked != v2d::InformationRequest::None)
        return v2d::PrintInformation(asked, "v2dtool", kUsage);
    v2d::SetUpProcess();
    QApplication app(argc, argv);
    std::vector<std::string> arguments;
    for (const QString& a : app.arguments().mid(1)) arguments.push_back(a.toStdString());
    const auto taken = v2d::TakeWorkspaceArgument(arguments);
    if (!taken) {
        QMessageBox::information(nullptr, QCoreApplication::translate("Messages", "操作提示："),
                                 v2d::ShownText(taken.error()));
        return 2;
    }
    QString file;
    for (const std::string& a : taken->rest)
        if (!a.empty() && a[0] != '-') file = QFileInfo(QString::fromStdString(a)).absoluteFilePath();
    std::error_code error;
    const v2d::WorkspaceChoice workspace = v2d::ChooseWorkspace(
        {taken->folder, std::filesystem::current_path(error), v2d::ExecutableFolder(), v2d::UserDataHome()});
    QDir::setCurrent(QString::fromStdString(workspace.folder.string()));

    v2d::tool::TFormV2dTool window;
    window.show();
    if (!file.isEmpty()) window.OpenFile(file);
    return app.exec();
}
