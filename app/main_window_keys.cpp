#include "app/main_window_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

#include "app/key_table.h"
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
    if (IsKeyOf(MainKey::Redo, key, modifiers)) {
        actions_.redo->trigger();
        return true;
    }
    if (IsKeyOf(MainKey::Undo, key, modifiers)) {
        actions_.undo->trigger();
        return true;
    }
    // With or without Shift, as long as Ctrl is not held.
    if (!modifiers.testFlag(Qt::ControlModifier) && IsKeyOf(MainKey::NextRotationFrame, key, Qt::NoModifier) &&
        document_.focusedRecord() != nullptr) {
        actions_.nextRotationFrame->trigger();
        return true;
    }
    // The arrows move whatever modifiers are held.
    if (!IsKeyOf(MainKey::NudgeModel, key, Qt::NoModifier)) return false;
    const int dx = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
    const int dy = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
    if (!document_.NudgeFocusedModel(dx, dy).done()) return false;
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
