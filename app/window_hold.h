#pragma once
// While work that reads the scene or the database runs off the window's
// thread, the window keeps painting but takes no input that could change
// them: clicks, keys, drops, context menus and shortcuts meant for it are
// dropped, except the cancel button's and Esc; the wheel still scrolls and
// zooms the view. The side panel shows itself disabled and the cursor busy;
// the control that had the focus has it again afterwards. Held for the
// object's lifetime.
#include <QObject>
#include <QPointer>

class QWidget;

namespace v2d {

class WindowHold : public QObject {
public:
    WindowHold(QWidget& window, QWidget* cancelButton, QWidget* shownDisabled);
    ~WindowHold() override;
    WindowHold(const WindowHold&) = delete;
    WindowHold& operator=(const WindowHold&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    QPointer<QWidget> cancelButton_;
    QPointer<QWidget> shownDisabled_;
    QPointer<QWidget> focus_;
    bool wasEnabled_ = true;
};

}  // namespace v2d
