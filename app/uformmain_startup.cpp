// Creation, first showing and closing of the main window.
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "widgets/page_browser.h"
#include "app/product_panel_widget.h"
#include "app/scene_view.h"
#include "app/uformmain.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"
#include "base/workspace_settings.h"
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
    for (const std::string& path : ReadRecentSchemes(ToPath(programFolder_))) recentSchemes_ << QString::fromStdString(path);
    document_.SetHistoryBudget(static_cast<size_t>(ReadHistoryBudgetBytes(ToPath(programFolder_))));
    FillRecentMenu();
    qApp->installEventFilter(this);
}

namespace {
constexpr const char* kGeometryKey = "WindowGeometry";    // x,y,width,height of the normal window
constexpr const char* kMaximisedKey = "WindowMaximized";  // 1 or 0

std::optional<QRect> ParseRect(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const QStringList parts = QString::fromStdString(*text).split(',');
    if (parts.size() != 4) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}
}  // namespace

void TFormMain::RestorePlacement() {
    const std::filesystem::path workspace = ToPath(programFolder_);
    const std::optional<QRect> saved = ParseRect(ReadSetting(workspace, kGeometryKey));
    QScreen* screen = saved ? QGuiApplication::screenAt(saved->center()) : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    const bool maximised = !saved || ReadSetting(workspace, kMaximisedKey) != "0";
    if (saved) {
        // Inside the screen it opens on, however the screens changed since.
        QRect normal(saved->topLeft(), saved->size().boundedTo(room.size()));
        normal.moveLeft(std::clamp(normal.left(), room.left(), room.right() + 1 - normal.width()));
        normal.moveTop(std::clamp(normal.top(), room.top(), room.bottom() + 1 - normal.height()));
        setGeometry(normal);
    }
    // Without a window manager nothing would maximise it: it takes the room itself.
    if (maximised) {
        setGeometry(room);
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void TFormMain::SavePlacement() const {
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    if (!normal.isValid()) return;
    (void)WriteSettings(ToPath(programFolder_),
                        {{kGeometryKey, QStringLiteral("%1,%2,%3,%4")
                                            .arg(normal.x()).arg(normal.y()).arg(normal.width()).arg(normal.height())
                                            .toStdString()},
                         {kMaximisedKey, isMaximized() ? "1" : "0"}});
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TFormMain::FormShow() {
    NavigatePost(*CppWebBrowserAd, setup_.advertisementUrl, QString());
    if (QFileInfo::exists(ProgramPath("start/start.v2d")))
        OpenScheme(ProgramPath("start/start.v2d"), SchemeOrigin::Template, QString::fromUtf8(kStartSchemeName));
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
    SavePlacement();
    event->accept();
}

}  // namespace v2d
