// Creation, first showing and closing of the main window.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "app/main_window_keys.h"
#include "app/product_panel_widget.h"
#include "app/scene_view.h"
#include "app/status_strip.h"
#include "app/uformmain.h"
#include "base/workspace_settings.h"
#include "app/window_placement.h"
#include "widgets/interface_language.h"
#include "widgets/widget_helpers.h"
#include "base/workspace_settings.h"
#include "base/process_setup.h"
#include "library/data_module.h"
#include "library/product_queries.h"

namespace v2d {

void TFormMain::FormCreate() {
    QApplication::setApplicationDisplayName(ShownText(kApplicationTitle));
    setWindowTitle(ShownText(kApplicationTitle));

    // Every missing piece is reported; the program ends once they are all shown.
    for (const std::string& message : imageLibrary_.Load(programFolder_.toStdString())) {
        prompts_->Show(this, FromUtf8(message));
        terminateRequested_ = true;
    }
    if (!QFileInfo::exists(ProgramPath("temp"))) QDir().mkpath(ProgramPath("temp"));
    document_.SetHistoryBudget(static_cast<size_t>(ReadHistoryBudgetBytes(ToPath(programFolder_))));
    keys_ = new MainWindowKeys(*this, document_, *view_, actions_);
}

void TFormMain::RestorePlacement() { RestoreWindowPlacement(*this, programFolder_); }

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TFormMain::FormShow() {
    strip_->StartBanner(setup_.advertisementUrl);
    if (QFileInfo::exists(ProgramPath("start/start.v2d")))
        OpenScheme(ProgramPath("start/start.v2d"), SchemeOrigin::Template, ShownText(kStartSchemeName));
    TimerShowWeb->start();
    view_->HideHelp();  // nothing to show until a hint is made visible
    if (dataModule_ != nullptr) {
        const UpdateFolderReport report = MergeUpdateFolder(*dataModule_);
        for (const std::string& error : report.errors) prompts_->Show(this, FromUtf8(error));
        ShowNewestMaterial();
    }
}

void TFormMain::ShowNewestMaterial() {
    auto newest = ReadNewestMaterialProduct(*dataModule_);
    if (!newest) {
        prompts_->Show(this, FromUtf8(newest.error()));
        return;
    }
    if (newest->has_value()) productPanel_->LoadProduct(**newest);
}

// A changed scene goes straight to the save question, which can cancel too;
// an unchanged one is asked once whether to quit.
void TFormMain::N2Click() {
    if (HasUnsavedWork() || prompts_->Ask(this, QString::fromUtf8(kAskExit)) == PromptAnswer::Yes) close();
}

bool TFormMain::FormCloseQuery() {
    if (!HasUnsavedWork()) return true;
    switch (prompts_->Ask(this, QString::fromUtf8(kAskSaveBeforeExit), PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            // Only a written scheme lets the window close: a cancelled dialog or
            // a failed write would otherwise lose the scene.
            return SpeedButtonSaveFileClick() == SaveOutcome::Saved;
        case PromptAnswer::No: return true;
        default: return false;
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    SaveWindowPlacement(*this, programFolder_);
    event->accept();
}

}  // namespace v2d
