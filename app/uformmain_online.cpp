// The main window's online commands: templates from the web service and
// the threaded download behind them.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "app/product_panel_widget.h"
#include "app/uformmain.h"
#include "widgets/widget_helpers.h"
#include "online/download_name.h"
#include "online/http_get_thread.h"
#include "web/uformwebtemp.h"

namespace v2d {

void TFormMain::setOnlineWindows(TFormWebTemp* templates, TFormProductIE* products, bool materialsOnline,
                                 const QString& productCatalogue, const QString& modelCatalogue) {
    webTemp_ = templates;
    if (webTemp_ != nullptr) connect(webTemp_, &TFormWebTemp::helpTextReady, this, &TFormMain::ShowHelpText);
    productPanel_->setOnlineWindow(products, materialsOnline, productCatalogue, modelCatalogue);
    connect(productPanel_, &ProductPanelWidget::downloadProgress, this, [this](int percent) {
        LabelPro->setText(QStringLiteral("下载进度"));
        ProgressBar1->setValue(percent);
        LabelPro->repaint();
        ProgressBar1->repaint();
    });
    if (auto* button = findChild<QToolButton*>(QStringLiteral("SpeedButtonWebTemp")))
        connect(button, &QToolButton::clicked, this, &TFormMain::SpeedButtonWebTempClick, Qt::UniqueConnection);
}

void TFormMain::SpeedButtonWebTempClick() {
    if (webTemp_ == nullptr || webTemp_->exec() != QDialog::Accepted) return;
    const QString folder = ProgramPath("temple/web");
    QDir().mkpath(folder);
    const Result<std::filesystem::path> local =
        LocalPathIn(ToPath(folder), webTemp_->chosenAddress().toStdString());
    if (!local) {
        prompts_->Show(this, QString::fromUtf8(local.error()));
        return;
    }
    const QString path = FromPath(*local);
    auto open = [this, path] {
        if (!ConfirmReplaceScene()) return;
        OpenScheme(path, SchemeOrigin::Template);
        ProgressBar1->repaint();
        ShowHelpText(QString::fromUtf8(kTemplateHelpText));
    };
    if (QFileInfo::exists(path)) {
        open();
        return;
    }
    ShowHelpText(QStringLiteral("开始下载网上装修模板......"));
    repaint();
    // Chosen again while it is still on its way: that download opens it.
    for (const auto& running : downloads_)
        if (running->targetFile() == path) return;
    // Opened when it arrives: nobody wants to pick it a second time.
    StartDownload(webTemp_->chosenAddress(), path, open);
}

void TFormMain::StartDownload(const QString& url, const QString& target, std::function<void()> completed) {
    QDir::setCurrent(programFolder_);
    auto worker = std::make_unique<THttpGetThread>(url, target);
    THttpGetThread* raw = worker.get();
    raw->options.maxBytes = ReadMaxDownloadBytes(ToPath(programFolder_));
    connect(raw, &THttpGetThread::OnProgress, this, [this](qint64 received, qint64 total) {
        if (const std::optional<int> percent = ProgressPercent(received, total)) ProgressBar1->setValue(*percent);
    });
    connect(raw, &THttpGetThread::OnError, this, [this] {
        downloadFailed_ = true;
        ProgressBar1->setValue(0);
        prompts_->Show(this, QString::fromUtf8(kMsgDownloadFailed));
    });
    connect(raw, &THttpGetThread::OnComplete, this, [completed = std::move(completed)] {
        if (completed) completed();
    });
    connect(raw, &THttpGetThread::finished, this, [this, raw] {
        for (auto it = downloads_.begin(); it != downloads_.end(); ++it) {
            if (it->get() != raw) continue;
            it->release()->deleteLater();  // joins a worker that has already ended
            downloads_.erase(it);
            return;
        }
    });
    downloadFailed_ = false;
    downloads_.push_back(std::move(worker));
    raw->Start();
}

}  // namespace v2d
