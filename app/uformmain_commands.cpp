// The scheme commands, the recent schemes and help.
#include <QDir>
#include <QFileInfo>

#include "app/key_table.h"
#include "app/recent_schemes_menu.h"
#include "app/uformmain.h"
#include "app/uformselparts.h"
#include "app/window_job.h"
#include "widgets/interface_language.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"

namespace v2d {

namespace {
constexpr const char* kMsgRecentGone = QT_TRANSLATE_NOOP("Messages", "方案文件已不存在，已从最近打开的方案中删除：\n");
}  // namespace

bool TFormMain::OpenScheme(const QString& path, SchemeOrigin origin, const QString& name) {
    job_->Stop();  // a laying under way reads the scene about to go
    if (Outcome opened = document_.OpenScheme(ToPath(path)); opened.refused()) {
        prompts_->Show(this, FromUtf8(opened.error()));
        return false;
    }
    if (origin == SchemeOrigin::File) {
        SetSchemeIdentity(path, QFileInfo(path).completeBaseName());
        recent_->Remember(path);
    } else {
        SetSchemeIdentity(QString(), name.isEmpty() ? QFileInfo(path).completeBaseName() : name);
    }
    return true;
}

bool TFormMain::SaveScheme(const QString& path) {
    if (Outcome written = document_.SaveScheme(ToPath(path)); written.refused()) {
        prompts_->Show(this, FromUtf8(written.error()));
        return false;
    }
    document_.SetSaved();
    SetSchemeIdentity(path, QFileInfo(path).completeBaseName());
    recent_->Remember(path);
    return true;
}

void TFormMain::SetSchemeIdentity(const QString& path, const QString& name) {
    schemePath_ = path;
    schemeName_ = name;
    UpdateTitle();
}

void TFormMain::UpdateTitle() {
    const QString name = schemeName_.isEmpty() ? tr("未命名方案") : schemeName_;
    setWindowTitle(name + QStringLiteral("[*] - ") + ShownText(kApplicationTitle));
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
    if (document_.scene().count() == 0 &&
        prompts_->Ask(this, QString::fromUtf8(kAskSaveWithoutRegions)) != PromptAnswer::Yes)
        return SaveOutcome::NoRecords;
    // The dialog starts on the scheme's own file when it has one.
    const QString start = schemePath_.isEmpty() ? ProgramPath("v2d") : schemePath_;
    for (;;) {
        QString chosen = prompts_->SaveFileName(this, start, tr("Vexel2D文件 (*.v2d)"), QStringLiteral("v2d"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".v2d");
        if (QFileInfo::exists(chosen) &&
            prompts_->Ask(this, tr("文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        return SaveScheme(chosen) ? SaveOutcome::Saved : SaveOutcome::Failed;
    }
}

void TFormMain::SpeedButtonOpenFileClick() {
    if (!ConfirmReplaceScene()) return;
    const QString chosen =
        prompts_->OpenFileName(this, ProgramPath("v2d"), tr("打开Vexel2D文件(*.v2d)"));
    if (chosen.isEmpty() || !QFileInfo::exists(chosen)) return;
    OpenScheme(chosen);
}

void TFormMain::OpenRecentScheme(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        recent_->Forget(path);
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

void TFormMain::HelpClick() { prompts_->Show(this, MainWindowHelpText()); }

QStringList TFormMain::recentSchemes() const { return recent_->schemes(); }

}  // namespace v2d
