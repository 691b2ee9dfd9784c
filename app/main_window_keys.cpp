#include "app/main_window_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

#include "app/scene_view.h"
#include "document/scene_document.h"

namespace v2d {

MainWindowKeys::MainWindowKeys(QWidget& window, SceneDocument& document, SceneView& view, const MainActions& actions)
    : QObject(&window), window_(window), document_(document), view_(view), actions_(actions) {
    qApp->installEventFilter(this);
}

MainWindowKeys::~MainWindowKeys() {
    if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool MainWindowKeys::FormShortCut(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::ControlModifier) &&
        (key == Qt::Key_Y || (key == Qt::Key_Z && modifiers.testFlag(Qt::ShiftModifier)))) {
        actions_.redo->trigger();
        return true;
    }
    if (key == Qt::Key_Z && modifiers.testFlag(Qt::ControlModifier)) {
        actions_.undo->trigger();
        return true;
    }
    if (key == Qt::Key_R && !modifiers.testFlag(Qt::ControlModifier) && document_.focusedRecord() != nullptr) {
        actions_.nextRotationFrame->trigger();
        return true;
    }
    int dx = 0, dy = 0;
    switch (key) {
        case Qt::Key_Left: dx = -1; break;
        case Qt::Key_Right: dx = 1; break;
        case Qt::Key_Up: dy = -1; break;
        case Qt::Key_Down: dy = 1; break;
        default: return false;
    }
    if (!document_.NudgeFocusedModel(dx, dy)) return false;
    view_.ShowNudgedModel();
    // Left stops here; the others reach the focused control as well.
    return key == Qt::Key_Left;
}

bool MainWindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != &window_ || QApplication::activeModalWidget() != nullptr) return false;
    // A key travels from the focused control up to the window; act once, at its first stop.
    QWidget* focus = QApplication::focusWidget();
    const bool firstStop = focus != nullptr && focus->window() == &window_ ? widget == focus : widget == &window_;
    if (!firstStop) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return FormShortCut(key->key(), key->modifiers());
}

}  // namespace v2d
