// The scheme commands, undo and the window's keys.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>

#include "app/scene_view.h"
#include "app/uformmain.h"
#include "app/widget_helpers.h"

namespace v2d {

bool TFormMain::OpenScheme(const QString& path) {
    if (Status opened = document_.OpenScheme(ToPath(path)); !opened) {
        prompts_->Show(this, FromUtf8(opened.error()));
        return false;
    }
    return true;
}

bool TFormMain::SaveScheme(const QString& path) {
    if (Status written = document_.SaveScheme(ToPath(path)); !written) {
        prompts_->Show(this, FromUtf8(written.error()));
        return false;
    }
    return true;
}

SaveOutcome TFormMain::SpeedButtonSaveFileClick() {
    if (document_.scene().count() == 0) {
        prompts_->Show(this, QStringLiteral("当前没有区域数据。"));
        return SaveOutcome::NoRecords;
    }
    const QString folder = ProgramPath("v2d");
    for (;;) {
        QString chosen = prompts_->SaveFileName(this, folder, QStringLiteral("Vexel2D文件 (*.v2d)"), QStringLiteral("v2d"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".v2d");
        if (QFileInfo::exists(chosen) &&
            prompts_->Ask(this, QStringLiteral("文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        return SaveScheme(chosen) ? SaveOutcome::Saved : SaveOutcome::Failed;
    }
}

void TFormMain::SpeedButtonOpenFileClick() {
    const QString chosen =
        prompts_->OpenFileName(this, ProgramPath("v2d"), QStringLiteral("打开Vexel2D文件(*.v2d)"));
    if (chosen.isEmpty() || !QFileInfo::exists(chosen)) return;
    OpenScheme(chosen);
}

void TFormMain::SpeedButtonUndoClick() { view_->ShowUndone(document_.Undo()); }

bool TFormMain::FormShortCut(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Z && modifiers.testFlag(Qt::ControlModifier)) {
        undoAction_->trigger();
        return true;
    }
    if (key == Qt::Key_R && !modifiers.testFlag(Qt::ControlModifier) && document_.focusedRecord() != nullptr) {
        nextRotationFrameAction_->trigger();
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
    view_->ShowNudgedModel();
    // Left stops here; the others reach the focused control as well.
    return key == Qt::Key_Left;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QMainWindow::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this || QApplication::activeModalWidget() != nullptr) return false;
    // A key travels from the focused control up to the window; act once, at its first stop.
    QWidget* focus = QApplication::focusWidget();
    const bool firstStop = focus != nullptr && focus->window() == this ? widget == focus : widget == this;
    if (!firstStop) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return FormShortCut(key->key(), key->modifiers());
}

}  // namespace v2d
