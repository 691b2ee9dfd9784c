#include "app/online_templates.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "app/status_strip.h"
#include "online/download_name.h"
#include "online/http_download.h"
#include "online/http_get_thread.h"
#include "base/workspace_settings.h"
#include "web/uformwebtemp.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

OnlineTemplates::OnlineTemplates(QWidget& window, UserPrompts& prompts, QString programFolder, StatusStrip& strip,
                                 std::function<bool(const QString&)> openTemplate)
    : window_(window), prompts_(prompts), programFolder_(std::move(programFolder)), strip_(strip),
      openTemplate_(std::move(openTemplate)) {}

OnlineTemplates::~OnlineTemplates() { downloads_.clear(); }  // no partial file stays

void OnlineTemplates::setWindow(TFormWebTemp* templates) {
    webTemp_ = templates;
    if (webTemp_ != nullptr) connect(webTemp_, &TFormWebTemp::helpTextReady, this, &OnlineTemplates::helpTextReady);
}

void OnlineTemplates::Choose() {
    if (webTemp_ == nullptr || webTemp_->exec() != QDialog::Accepted) return;
    const QString folder = programFolder_ + QStringLiteral("/temple/web");
    QDir().mkpath(folder);
    const Result<std::filesystem::path> local =
        LocalPathIn(ToPath(folder), webTemp_->chosenAddress().toStdString());
    if (!local) {
        prompts_.Show(&window_, QString::fromUtf8(local.error()));
        return;
    }
    const QString path = FromPath(*local);
    auto open = [this, path] {
        if (!openTemplate_(path)) return;
        strip_.RepaintProgress();
        emit helpTextReady(QString::fromUtf8(kTemplateHelpText));
    };
    if (QFileInfo::exists(path)) {
        open();
        return;
    }
    emit helpTextReady(tr("开始下载网上装修模板......"));
    window_.repaint();
    // Chosen again while it is still on its way: that download opens it.
    for (const auto& running : downloads_)
        if (running->targetFile() == path) return;
    // Opened when it arrives: nobody wants to pick it a second time.
    StartDownload(webTemp_->chosenAddress(), path, open);
}

void OnlineTemplates::StartDownload(const QString& url, const QString& target, std::function<void()> completed) {
    QDir::setCurrent(programFolder_);
    auto worker = std::make_unique<THttpGetThread>(url, target);
    THttpGetThread* raw = worker.get();
    raw->options.maxBytes = ReadMaxDownloadBytes(ToPath(programFolder_));
    connect(raw, &THttpGetThread::OnProgress, this, [this](qint64 received, qint64 total) {
        if (const std::optional<int> percent = ProgressPercent(received, total)) strip_.SetProgress(*percent);
    });
    connect(raw, &THttpGetThread::OnError, this, [this, raw] {
        strip_.SetProgress(0);
        if (raw->stopped()) return;  // cancelled: no message
        failed_ = true;
        prompts_.Show(&window_, QString::fromUtf8(kMsgDownloadFailed));
    });
    connect(raw, &THttpGetThread::OnComplete, this, [completed = std::move(completed)] {
        if (completed) completed();
    });
    connect(raw, &THttpGetThread::finished, this, [this, raw] {
        for (auto it = downloads_.begin(); it != downloads_.end(); ++it) {
            if (it->get() != raw) continue;
            it->release()->deleteLater();  // joins a worker that has already ended
            downloads_.erase(it);
            if (downloads_.empty()) strip_.EndCancellable();
            return;
        }
    });
    failed_ = false;
    downloads_.push_back(std::move(worker));
    strip_.BeginCancellable([this] { Cancel(); });
    raw->Start();
}

void OnlineTemplates::Cancel() {
    for (const auto& download : downloads_) download->Stop();
}

}  // namespace v2d
