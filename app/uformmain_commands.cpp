// The scheme commands, the recent schemes, undo and the window's keys.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

#include "app/scene_view.h"
#include "app/uformmain.h"
#include "app/uformselparts.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"
#include "base/workspace_settings.h"

namespace v2d {

namespace {
constexpr const char* kMsgRecentGone = "方案文件已不存在，已从最近打开的方案中删除：\n";
constexpr const char* kHelpText =
    "A.请选择装饰部位列表框中的装饰部位！B.或则在场景中选择要装饰的部位!\n\n"
    "选择材料后点击“开始铺贴”；在区域中拖出矩形只铺贴矩形部分。\n"
    "右键点击场景：编辑模板、保存为模板、打开和保存方案、产品维护。\n\n"
    "Ctrl+O 打开方案    Ctrl+S 保存方案    Ctrl+Shift+S 方案另存为\n"
    "Ctrl+P 保存效果图    Ctrl+Z 撤销    Delete 删除选中的模型\n"
    "R 模型的下一个角度    方向键 移动选中的模型一个像素";
}  // namespace

bool TFormMain::OpenScheme(const QString& path, SchemeOrigin origin, const QString& name) {
    if (Status opened = document_.OpenScheme(ToPath(path)); !opened) {
        prompts_->Show(this, FromUtf8(opened.error()));
        return false;
    }
    if (origin == SchemeOrigin::File) {
        SetSchemeIdentity(path, QFileInfo(path).completeBaseName());
        RememberScheme(path);
    } else {
        SetSchemeIdentity(QString(), name.isEmpty() ? QFileInfo(path).completeBaseName() : name);
    }
    return true;
}

bool TFormMain::SaveScheme(const QString& path) {
    if (Status written = document_.SaveScheme(ToPath(path)); !written) {
        prompts_->Show(this, FromUtf8(written.error()));
        return false;
    }
    document_.SetSaved();
    SetSchemeIdentity(path, QFileInfo(path).completeBaseName());
    RememberScheme(path);
    return true;
}

void TFormMain::SetSchemeIdentity(const QString& path, const QString& name) {
    schemePath_ = path;
    schemeName_ = name;
    UpdateTitle();
}

void TFormMain::UpdateTitle() {
    const QString name = schemeName_.isEmpty() ? QStringLiteral("未命名方案") : schemeName_;
    setWindowTitle(name + QStringLiteral("[*] - ") + QString::fromUtf8(kApplicationTitle));
    setWindowModified(document_.isModified());
}

bool TFormMain::ConfirmReplaceScene() {
    if (!HasUnsavedWork()) return true;
    switch (prompts_->Ask(this, QString::fromUtf8(kAskSaveBeforeOpen), PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes: return SpeedButtonSaveFileClick() == SaveOutcome::Saved;
        case PromptAnswer::No: return true;
        default: return false;
    }
}

SaveOutcome TFormMain::SpeedButtonSaveFileClick() {
    if (schemePath_.isEmpty() || document_.scene().count() == 0) return SaveSchemeAsClick();
    return SaveScheme(schemePath_) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

SaveOutcome TFormMain::SaveSchemeAsClick() {
    if (document_.scene().count() == 0) {
        prompts_->Show(this, QStringLiteral("当前没有区域数据。"));
        return SaveOutcome::NoRecords;
    }
    // The dialog starts on the scheme's own file when it has one.
    const QString start = schemePath_.isEmpty() ? ProgramPath("v2d") : schemePath_;
    for (;;) {
        QString chosen = prompts_->SaveFileName(this, start, QStringLiteral("Vexel2D文件 (*.v2d)"), QStringLiteral("v2d"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".v2d");
        if (QFileInfo::exists(chosen) &&
            prompts_->Ask(this, QStringLiteral("文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        return SaveScheme(chosen) ? SaveOutcome::Saved : SaveOutcome::Failed;
    }
}

void TFormMain::SpeedButtonOpenFileClick() {
    if (!ConfirmReplaceScene()) return;
    const QString chosen =
        prompts_->OpenFileName(this, ProgramPath("v2d"), QStringLiteral("打开Vexel2D文件(*.v2d)"));
    if (chosen.isEmpty() || !QFileInfo::exists(chosen)) return;
    OpenScheme(chosen);
}

// --- "最近打开的方案" -----------------------------------------------------------

namespace {
std::vector<std::string> ToStrings(const QStringList& texts) {
    std::vector<std::string> strings;
    for (const QString& text : texts) strings.push_back(text.toStdString());
    return strings;
}
}  // namespace

void TFormMain::RememberScheme(const QString& path) {
    StoreRecentSchemes(WithRecentScheme(ToStrings(recentSchemes_), QFileInfo(path).absoluteFilePath().toStdString()));
}

void TFormMain::StoreRecentSchemes(const std::vector<std::string>& schemes) {
    recentSchemes_.clear();
    for (const std::string& known : schemes) recentSchemes_ << QString::fromStdString(known);
    // A list that cannot be kept is no reason to stop the user's work.
    (void)WriteRecentSchemes(ToPath(programFolder_), schemes);
    FillRecentMenu();
}

void TFormMain::FillRecentMenu() {
    recentMenu_->clear();
    for (int i = 0; i < recentSchemes_.size(); ++i) {
        const QString path = recentSchemes_[i];
        QString caption = QDir::toNativeSeparators(path);
        caption.replace('&', QStringLiteral("&&"));
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        item->setObjectName(QStringLiteral("RecentScheme%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentScheme(path); });
    }
    recentMenu_->setEnabled(!recentSchemes_.isEmpty());
}

void TFormMain::OpenRecentScheme(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        QStringList kept = recentSchemes_;
        kept.removeAll(path);
        StoreRecentSchemes(ToStrings(kept));
        prompts_->Show(this, QString::fromUtf8(kMsgRecentGone) + QDir::toNativeSeparators(path));
        return;
    }
    if (ConfirmReplaceScene()) OpenScheme(path);
}

// --- Library and help ------------------------------------------------------------

void TFormMain::ProductMaintenanceClick() {
    if (productBrowser_ == nullptr) return;
    productBrowser_->ShowInMode(TFormSelParts::Maintenance);
}

void TFormMain::HelpClick() { prompts_->Show(this, QString::fromUtf8(kHelpText)); }

bool TFormMain::FormShortCut(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::ControlModifier) &&
        (key == Qt::Key_Y || (key == Qt::Key_Z && modifiers.testFlag(Qt::ShiftModifier)))) {
        redoAction_->trigger();
        return true;
    }
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
