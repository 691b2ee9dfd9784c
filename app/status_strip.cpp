#include "app/status_strip.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QToolButton>
#include <QUrl>

#include "app/main_window_commands.h"
#include "app/scene_view.h"
#include "app/uformmain.h"
#include "render/tiling.h"
#include "widgets/interface_language.h"
#include "widgets/page_browser.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
constexpr int kNoteWidth = 520;  // pixels; the banner keeps the rest
}  // namespace

StatusStrip::StatusStrip(SceneView& view, QAction* undoAction, QAction* redoAction, QString programFolder,
                         QWidget* parent)
    : QFrame(parent), programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("PanelBottom"));
    setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    LabelPro = Named(new QLabel(ShownText(kProgressCaption), this), QStringLiteral("LabelPro"));
    ProgressBar1 = Named(new QProgressBar(this), QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFixedWidth(180);
    SpeedButtonCancel = MakeButton(QStringLiteral("SpeedButtonCancel"), tr("取消"), this);
    SpeedButtonCancel->setToolTip(tr("停止正在进行的操作 (Esc)"));
    // Its room stays while it is hidden, so the buttons beside it never move
    // under a click meant for it as the operation ends.
    QSizePolicy keepRoom = SpeedButtonCancel->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    SpeedButtonCancel->setSizePolicy(keepRoom);
    SpeedButtonCancel->hide();
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setContext(Qt::WindowShortcut);
    escape_->setEnabled(false);
    QToolButton* undo = MakeButton(QStringLiteral("SpeedButtonUndo"), tr("撤销"), this);
    QToolButton* redo = MakeButton(QStringLiteral("SpeedButtonRedo"), tr("重做"), this);
    QToolButton* tutorial = MakeButton(QStringLiteral("SpeedButtonVedio"), tr("视频教学"), this);
    LabelStatus = Named(new QLabel(this), QStringLiteral("LabelStatus"));
    LabelStatus->setTextFormat(Qt::PlainText);
    LabelStatus->setMaximumWidth(kNoteWidth);
    CppWebBrowserAd = new TCppWebBrowser(QStringLiteral("CppWebBrowserAd"), this);
    CppWebBrowserAd->setFixedHeight(34);
    CppWebBrowserAd->HideScrollBars();
    row->addWidget(LabelPro);
    row->addWidget(ProgressBar1);
    row->addWidget(SpeedButtonCancel);
    row->addWidget(undo);
    row->addWidget(redo);
    row->addWidget(tutorial);
    row->addWidget(LabelStatus);
    row->addWidget(CppWebBrowserAd, 1);
    view.AddBeforeAfterTo(*row);
    view.AddZoomBoxTo(*row);
    auto cancel = [this] {
        if (cancel_) cancel_();
    };
    connect(SpeedButtonCancel, &QToolButton::clicked, this, cancel);
    connect(escape_, &QShortcut::activated, this, cancel);
    connect(undo, &QToolButton::clicked, undoAction, &QAction::trigger);
    connect(redo, &QToolButton::clicked, redoAction, &QAction::trigger);
    FollowEnabling(undo, undoAction);
    FollowEnabling(redo, redoAction);
    connect(tutorial, &QToolButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromUtf8(kTutorialUrl))); });
    connect(CppWebBrowserAd, &TCppWebBrowser::navigateError, this, [this] { BannerFailed(); });
    connect(CppWebBrowserAd, &TCppWebBrowser::navigateComplete, this, [this] { BannerDone(); });
}

void StatusStrip::ResetCaption() { LabelPro->setText(ShownText(kProgressCaption)); }

void StatusStrip::ShowRenderProgress(int percent) {
    if (percent == ProgressBar1->value()) return;
    ProgressBar1->setValue(percent);
    ProgressBar1->repaint();
}

void StatusStrip::ShowDownloadProgress(int percent) {
    LabelPro->setText(tr("下载进度"));
    ProgressBar1->setValue(percent);
    LabelPro->repaint();
    ProgressBar1->repaint();
}

void StatusStrip::SetProgress(int percent) { ProgressBar1->setValue(percent); }

void StatusStrip::RepaintProgress() { ProgressBar1->repaint(); }

void StatusStrip::RepaintCaption() { LabelPro->repaint(); }

void StatusStrip::BeginCancellable(std::function<void()> cancel) {
    cancel_ = std::move(cancel);
    SpeedButtonCancel->show();
    escape_->setEnabled(true);
}

void StatusStrip::EndCancellable() {
    cancel_ = nullptr;
    SpeedButtonCancel->hide();
    escape_->setEnabled(false);
}

QWidget* StatusStrip::cancelButton() const { return SpeedButtonCancel; }

void StatusStrip::ShowNote(const QString& text) {
    LabelStatus->setText(LabelStatus->fontMetrics().elidedText(text, Qt::ElideMiddle, kNoteWidth));
    LabelStatus->setToolTip(text);
}

void StatusStrip::StartBanner(const QString& url) { NavigatePost(*CppWebBrowserAd, url, QString()); }

void StatusStrip::BannerFailed() { CppWebBrowserAd->Tag = -1; }

void StatusStrip::BannerDone() {
    if (CppWebBrowserAd->Tag != -1) return;
    const QString page = programFolder_ + QStringLiteral("/say/ssno.htm");
    // One fallback per run: a local page that fails to show must not start
    // an endless round of error, completion and fallback.
    if (!QFileInfo::exists(page) || bannerFallbackUsed_) return;
    bannerFallbackUsed_ = true;
    CppWebBrowserAd->Tag = 0;
    NavigatePost(*CppWebBrowserAd, QUrl::fromLocalFile(QDir::cleanPath(page)).toString(), QString());
}

}  // namespace v2d
