// v2dtool: the outline tool. Started with a scheme (the main program hands
// over temp/temp.v2d) or a room photo, it outlines regions and saves a
// scheme the main program opens.
#include <QApplication>

#include "base/process_setup.h"
#include "v2dtool/outline_window.h"

int main(int argc, char** argv) {
    v2d::SetUpProcess();
    QApplication app(argc, argv);
    v2d::tool::TFormV2dTool window;
    window.show();
    const QStringList args = app.arguments();
    if (args.size() > 1) window.OpenFile(args.at(1));
    return app.exec();
}
