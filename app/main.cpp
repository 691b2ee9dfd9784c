// vexel2d: the home-decoration visualiser.
#include <QApplication>

#include "app/application.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return v2d::RunVexel2D(app, v2d::StartupOptions{});
}
