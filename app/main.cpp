// vexel2d: the home-decoration visualiser.
#include <QApplication>

#include "app/application.h"
#include "widgets/page_browser.h"
#include "base/process_setup.h"

int main(int argc, char** argv) {
    v2d::SetUpProcess();
    v2d::PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    return v2d::RunVexel2D(app, v2d::StartupOptions{});
}
