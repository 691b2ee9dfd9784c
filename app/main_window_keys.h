#pragma once
// The main window's own keys, as the key table names them, seen before any
// control handles them: redo, undo, the next rotation frame of the selected
// model and the arrow keys that nudge it. Installed on the application, it
// acts for one window.
#include <QObject>

#include "app/main_window_commands.h"

class QWidget;

namespace v2d {

class SceneDocument;
class SceneView;

class MainWindowKeys : public QObject {
    Q_OBJECT
public:
    MainWindowKeys(QWidget& window, SceneDocument& document, SceneView& view, const MainActions& actions);
    ~MainWindowKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was consumed.
    bool FormShortCut(int key, Qt::KeyboardModifiers modifiers);

    QWidget& window_;
    SceneDocument& document_;
    SceneView& view_;
    MainActions actions_;
};

}  // namespace v2d
