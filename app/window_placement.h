#pragma once
// A window's place as the user left it, kept in the workspace's vexel2d.ini.
#include <QString>

class QWidget;

namespace v2d {

// Inside the screen it opens on; maximised on the first start. Before showing.
void RestoreWindowPlacement(QWidget& window, const QString& workspace);
void SaveWindowPlacement(const QWidget& window, const QString& workspace);

}  // namespace v2d
