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
#include "app/window_job.h"
#include "app/window_placement.h"
#include "widgets/interface_language.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"
#include "library/data_module.h"
#include "library/product_queries.h"
#include "scene/scheme_file.h"

namespace v2d {

namespace {
constexpr const char* kMsgStartFileMissing = QT_TRANSLATE_NOOP("Messages", "文件不存在：%1");
}  // namespace

void TFormMain::FormCreate() {
    QApplication::setApplicationDisplayName(ShownText(kApplicationTitle));
    setWindowTitle(ShownText(kApplicationTitle));

    // Every missing piece is reported; the program ends once they are all shown.
    const QString libraryFolder = setup_.libraryFolder.isEmpty() ? programFolder_ : setup_.libraryFolder;
    for (const std::string& message : imageLibrary_.Load(libraryFolder.toStdString())) {
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

// A scheme named at start opens instead of the start scheme, as "打开方案"
// opens one; one that does not read leaves the start scheme after its
// message. A model file is placed free in the middle of the start scheme,
// one step that undo takes back. The template browser greets a plain start
// only, not a file the user asked for.
void TFormMain::FormShow() {
    strip_->StartBanner(setup_.advertisementUrl);
    const QString& named = setup_.startFile;
    const bool model = QFileInfo(named).suffix().compare(QStringLiteral("c2d"), Qt::CaseInsensitive) == 0;
    const bool opened = !named.isEmpty() && !model && OpenScheme(named);
    if (!opened && QFileInfo::exists(ProgramPath("start/start.v2d")))
        OpenScheme(ProgramPath("start/start.v2d"), SchemeOrigin::Template, ShownText(kStartSchemeName));
    if (model) {
        const QSize picture = document_.displayed().size();
        ModelDrop drop;
        drop.modelFile = ToPath(named);
        drop.point = V2d_Point{picture.width() / 2, picture.height() / 2};
        if (!QFileInfo(named).isFile())
            prompts_->Show(this, QCoreApplication::translate("Messages", kMsgStartFileMissing).arg(named));
        else if (const Outcome placed = document_.DropModel(drop); placed.refused())
            prompts_->Show(this, FromUtf8(placed.error()));
    }
    view_->HideHelp();  // nothing to show until a hint is made visible
    MergeUpdates(!opened && !model);
}

// The merge runs on the pool while the window holds its input (the database
// is the merge's meanwhile); "取消" and Esc leave the files not reached for
// the next start.
void TFormMain::MergeUpdates(bool greet) {
    auto finish = [this, greet] {
        // After the merge's messages, so the template browser never hides one.
        if (greet) TimerShowWeb->start();
    };
    if (dataModule_ == nullptr) return finish();
    auto report = std::make_shared<UpdateFolderReport>();
    TDataModule_Manager& module = *dataModule_;
    (void)job_->Start(
        [&module, report](const Progress& progress, const CancelToken& cancel) {
            *report = MergeUpdateFolder(module, SchemeReads, cancel, progress);
        },
        [this, report, finish](bool) {
            for (const std::string& error : report->errors) prompts_->Show(this, FromUtf8(error));
            ShowNewestMaterial();
            finish();
        });
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
    job_->Stop();
    SaveWindowPlacement(*this, programFolder_);
    event->accept();
}

}  // namespace v2d
