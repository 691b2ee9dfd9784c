#pragma once
// The main window's bottom bar "PanelBottom": the progress caption and bar
// with the cancel button of a cancellable operation, undo and redo, the tutorial button, the note line, the banner and the
// view's zoom box.
// The banner falls back once per run to the workspace's local page.
#include <QFrame>
#include <QString>

#include <functional>

class QAction;
class QLabel;
class QProgressBar;
class QShortcut;
class QToolButton;

namespace v2d {

class SceneView;
class TCppWebBrowser;

class StatusStrip : public QFrame {
    Q_OBJECT
public:
    StatusStrip(SceneView& view, QAction* undo, QAction* redo, QString programFolder, QWidget* parent);

    // "处理进度" again.
    void ResetCaption();
    // Repainting only the bar keeps the window from handling other input or
    // timers in the middle of a render.
    void ShowRenderProgress(int percent);
    void ShowDownloadProgress(int percent);
    void SetProgress(int percent);
    void RepaintProgress();
    void RepaintCaption();
    // A cancellable operation is under way: the cancel button beside the
    // bar ("SpeedButtonCancel", shown until EndCancellable) and the Esc key
    // call `cancel`.
    void BeginCancellable(std::function<void()> cancel);
    void EndCancellable();
    QWidget* cancelButton() const;
    // "LabelStatus": what a command just did ("效果图已保存到 …"), shortened
    // in the middle to its room, whole in its tool tip, until the next note.
    void ShowNote(const QString& text);
    // The banner's page, posted once at the first showing.
    void StartBanner(const QString& url);

private:
    void BannerFailed();
    void BannerDone();

    QString programFolder_;
    QLabel* LabelPro = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QToolButton* SpeedButtonCancel = nullptr;
    QShortcut* escape_ = nullptr;
    std::function<void()> cancel_;
    QLabel* LabelStatus = nullptr;
    TCppWebBrowser* CppWebBrowserAd = nullptr;
    bool bannerFallbackUsed_ = false;
};

}  // namespace v2d
