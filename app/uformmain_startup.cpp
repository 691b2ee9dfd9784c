// Creation, first showing and closing of the main window.
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include "app/page_browser.h"
#include "app/product_panel_widget.h"
#include "app/scene_view.h"
#include "app/uformmain.h"
#include "app/widget_helpers.h"
#include "base/process_setup.h"
#include "library/data_module.h"
#include "library/product_queries.h"

namespace v2d {

void TFormMain::FormCreate() {
    QApplication::setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));

    // Every missing piece is reported; the program ends once they are all shown.
    for (const std::string& message : imageLibrary_.Load(programFolder_.toStdString())) {
        prompts_->Show(this, FromUtf8(message));
        terminateRequested_ = true;
    }
    if (!QFileInfo::exists(ProgramPath("temp"))) QDir().mkpath(ProgramPath("temp"));
    qApp->installEventFilter(this);
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TFormMain::FormShow() {
    NavigatePost(*CppWebBrowserAd, setup_.advertisementUrl, QString());
    if (QFileInfo::exists(ProgramPath("start/start.v2d"))) OpenScheme(ProgramPath("start/start.v2d"));
    TimerShowWeb->start();
    view_->HideHelp();  // nothing to show until a hint is made visible
    if (dataModule_ != nullptr) {
        MergeUpdateDatabases();
        ShowNewestMaterial();
    }
}

void TFormMain::MergeUpdateDatabases() {
    const UpdateFolderReport report = MergeUpdateFolder(*dataModule_);
    for (const std::string& error : report.errors) prompts_->Show(this, FromUtf8(error));
}

void TFormMain::ShowNewestMaterial() {
    auto newest = ReadNewestMaterialProduct(*dataModule_);
    if (!newest) {
        prompts_->Show(this, FromUtf8(newest.error()));
        return;
    }
    if (newest->has_value()) productPanel_->LoadProduct(**newest);
}

void TFormMain::CppWebBrowserAdNavigateError() { CppWebBrowserAd->Tag = -1; }

void TFormMain::CppWebBrowserAdNavigateComplete() {
    if (CppWebBrowserAd->Tag != -1) return;
    const QString page = ProgramPath("say/ssno.htm");
    // One fallback per run: a local page that fails to show must not start
    // an endless round of error, completion and fallback.
    if (!QFileInfo::exists(page) || bannerFallbackUsed_) return;
    bannerFallbackUsed_ = true;
    CppWebBrowserAd->Tag = 0;
    NavigatePost(*CppWebBrowserAd, QUrl::fromLocalFile(QDir::cleanPath(page)).toString(), QString());
}

void TFormMain::SpeedButtonVedioClick() { QDesktopServices::openUrl(QUrl(QString::fromUtf8(kTutorialUrl))); }

void TFormMain::N2Click() {
    if (prompts_->Ask(this, QStringLiteral("是否退出软件?")) == PromptAnswer::Yes) close();
}

bool TFormMain::FormCloseQuery() {
    if (document_.scene().count() == 0) return true;
    switch (prompts_->Ask(this, QStringLiteral("退出软件前你要保存方案吗 ?"), PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            // Only a written scheme lets the window close: a cancelled dialog or
            // a failed write would otherwise lose the scene.
            return SpeedButtonSaveFileClick() == SaveOutcome::Saved;
        case PromptAnswer::No: return true;
        default: return false;
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

}  // namespace v2d
