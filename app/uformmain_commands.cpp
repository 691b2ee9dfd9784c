// The scheme commands, the recent schemes and help.
#include <QDir>
#include <QFileInfo>

#include "app/key_table.h"
#include "app/recent_schemes_menu.h"
#include "app/uformmain.h"
#include "app/uformselparts.h"
#include "app/window_job.h"
#include "document/scene_document.h"
#include "widgets/interface_language.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"

namespace v2d {

namespace {
constexpr const char* kMsgRecentGone = QT_TRANSLATE_NOOP("Messages", "方案文件已不存在，已从最近打开的方案中删除：\n");
}  // namespace

bool TFormMain::OpenScheme(const QString& path, SchemeOrigin origin, const QString& name) {
    job_->Stop();  // a laying under way reads the scene about to go
    // The file is read and decoded on the pool while the window holds its
    // input; the scene it holds is put in place and drawn here.
    const std::filesystem::path file = ToPath(path);
    Result<SchemeFile> read = Error{""};
    bool cancelled = false;
    job_->Run([file, &read](const Progress& progress, const CancelToken&) { read = SceneDocument::ReadScheme(file, progress); },
              [&cancelled](bool stopped) { cancelled = stopped; });
    if (cancelled) return false;  // the open scene stays as it was
    if (Outcome opened = document_.InstallScheme(std::move(read)); opened.refused()) {
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

// The scene is serialised and written on the pool while the window holds
// its input (so the scene stays still); a cancel before the file is replaced
// leaves the old file as it was.
bool TFormMain::SaveScheme(const QString& path) {
    const std::filesystem::path file = ToPath(path);
    Outcome written = Outcome::NothingToDo();
    const auto work = [this, file, &written](const Progress&, const CancelToken& cancel) {
        written = document_.SaveScheme(file, cancel);
    };
    if (!job_->Run(work, nullptr)) work({}, CancelToken());  // beside a laying under way
    if (written.refused()) {
        prompts_->Show(this, FromUtf8(written.error()));
        return false;
    }
    if (!written.done()) return false;  // cancelled: nothing written
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
