#include "app/window_hold.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcutEvent>
#include <QWidget>

namespace v2d {

namespace {

bool IsEscape(QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride: return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        case QEvent::Shortcut: return static_cast<QShortcutEvent*>(event)->key() == QKeySequence(Qt::Key_Escape);
        default: return false;
    }
}

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin: return true;
        default: return false;
    }
}

}  // namespace

WindowHold::WindowHold(QWidget& window, QWidget* cancelButton, QWidget* shownDisabled)
    : window_(window), cancelButton_(cancelButton), shownDisabled_(shownDisabled),
      focus_(QApplication::focusWidget()) {
    qApp->installEventFilter(this);  // ahead of the window's own key handling
    if (shownDisabled_) {
        wasEnabled_ = shownDisabled_->isEnabled();
        shownDisabled_->setEnabled(false);
    }
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

WindowHold::~WindowHold() {
    QApplication::restoreOverrideCursor();
    if (shownDisabled_) shownDisabled_->setEnabled(wasEnabled_);
    if (focus_ && focus_->isEnabled() && focus_->window() == &window_) focus_->setFocus();
    qApp->removeEventFilter(this);
}

bool WindowHold::eventFilter(QObject* watched, QEvent* event) {
    if (!IsInput(event->type()) || IsEscape(event)) return false;
    if (event->type() == QEvent::Shortcut) return true;  // an action's key, wherever it is
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != &window_) return false;
    return !(cancelButton_ && (widget == cancelButton_ || cancelButton_->isAncestorOf(widget)));
}

}  // namespace v2d
