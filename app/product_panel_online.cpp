// The product panel's online paths: a material or a model from the web
// service's catalogue, its picture or model file downloaded into product/
// on the pool unless it is there already; the window stays usable and the
// product is shown when its files have arrived.
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include <utility>

#include "app/product_panel_widget.h"
#include "app/uformselparts.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"
#include "library/product.h"
#include "online/download_name.h"
#include "online/http_download.h"
#include "online/http_get_thread.h"
#include "scene/model_file.h"
#include "web/uformproductie.h"

namespace v2d {

namespace {

constexpr const char* kMsgNoOnlineProduct = QT_TRANSLATE_NOOP("Messages", "未获得正确产品信息，请咨询客服。");
constexpr const char* kMsgDownloading = QT_TRANSLATE_NOOP("Messages", "正在下载产品图片......");
constexpr const char* kMsgPictureFailed = QT_TRANSLATE_NOOP("Messages", "产品图片下载失败，请咨询在线客服。");
constexpr const char* kMsgModelFailed = QT_TRANSLATE_NOOP("Messages", "产品模型下载失败，请咨询在线客服。");

ChosenProduct ProductOf(const Product& product) {
    ChosenProduct chosen;
    chosen.name = QString::fromStdString(product.name());
    chosen.number = QString::fromStdString(product.number());
    chosen.specs = QString::fromStdString(product.specs());
    chosen.price = QString::fromStdString(product.priceText());
    chosen.salesName = QString::fromStdString(product.brand());
    chosen.reflection = QString::fromStdString(product.reflectionText());
    chosen.subTypeMemo = QString::fromStdString(product.categoryMemo());
    return chosen;
}

// The local file for `url` in programFolder/folder, or nothing after the
// message when the address names no usable file.
std::optional<QString> LocalFileFor(UserPrompts& prompts, QWidget* parent, const QString& folder,
                                    const QString& url) {
    QDir().mkpath(folder);
    const Result<std::filesystem::path> local = LocalPathIn(ToPath(folder), url.toStdString());
    if (!local) {
        prompts.Show(parent, QString::fromUtf8(local.error()));
        return std::nullopt;
    }
    return FromPath(*local);
}

}  // namespace

void ProductPanelWidget::CancelDownload() {
    if (download_) download_->Stop();
}

void ProductPanelWidget::FetchProductFiles(std::vector<ProductFile> files, std::function<void()> arrived) {
    std::erase_if(files, [](const ProductFile& file) { return QFileInfo::exists(file.target); });
    if (download_) {
        delete std::exchange(download_, nullptr);  // stops and joins it
        emit downloadEnded();
    }
    if (files.empty()) {
        arrived();
        return;
    }
    emit helpTextReady(QString::fromUtf8(kMsgDownloading));
    const ProductFile file = files.front();
    download_ = new THttpGetThread(file.url, file.target, this);
    download_->maximumAttempts = 1;
    download_->options.maxBytes = ReadMaxDownloadBytes(ToPath(programFolder_));
    connect(download_, &THttpGetThread::OnProgress, this, [this, shown = -1](qint64 received, qint64 total) mutable {
        const std::optional<int> percent = ProgressPercent(received, total);
        if (percent && *percent != shown) emit downloadProgress(shown = *percent);
    });
    const int number = ++downloadNumber_;
    connect(download_, &THttpGetThread::finished, this,
            [this, number, files = std::move(files), arrived = std::move(arrived)]() mutable {
                if (number != downloadNumber_ || !download_) return;  // replaced meanwhile
                const bool done = download_->done(), stopped = download_->stopped();
                std::exchange(download_, nullptr)->deleteLater();  // its worker has ended
                emit downloadEnded();
                if (!done) {
                    // One message names what failed; the download's own reason says no more.
                    emit downloadProgress(0);
                    if (!stopped) prompts_.Show(window(), QString::fromUtf8(files.front().failure));
                    return;
                }
                files.erase(files.begin());
                FetchProductFiles(std::move(files), std::move(arrived));
            });
    emit downloadStarted();
    download_->Start();
}

void ProductPanelWidget::OnlineMaterialClick() {
    productIE_->setStartAddress(productCatalogue_);
    const int result = productIE_->exec();
    if (result == TFormProductIE::kNoProduct) prompts_.Show(window(), QString::fromUtf8(kMsgNoOnlineProduct));
    if (result != QDialog::Accepted) return;
    const std::optional<QString> local =
        LocalFileFor(prompts_, window(), programFolder_ + "/product/xjpg", productIE_->picUrl());
    if (!local) return;
    const Product product = productIE_->product();
    FetchProductFiles({{productIE_->picUrl(), *local, kMsgPictureFailed}}, [this, local = *local, product] {
        if (!QFileInfo::exists(local)) return;
        ChosenProduct chosen = ProductOf(product);
        if (!chosen.picture.load(local, "JPG")) {
            prompts_.Show(window(), QString::fromUtf8(kMsgPictureFailed));
            return;
        }
        chosen.picture = chosen.picture.convertToFormat(QImage::Format_RGB32);
        ShowChosenMaterial(chosen, product);
    });
}

void ProductPanelWidget::OnlineModelClick() {
    if (productIE_ == nullptr) {
        prompts_.Show(window(), QString::fromUtf8(kMsgNoOnlineProduct));
        return;
    }
    productIE_->setStartAddress(modelCatalogue_);
    const int result = productIE_->exec();
    if (result == TFormProductIE::kNoProduct) prompts_.Show(window(), QString::fromUtf8(kMsgNoOnlineProduct));
    if (result != QDialog::Accepted) return;
    const QString modelUrl = productIE_->picUrl();
    // The preview lies beside the model on the service: /c2d/N.c2d has /xjpg/N.jpg.
    QString previewUrl = modelUrl;
    previewUrl.replace(QStringLiteral("/c2d/"), QStringLiteral("/xjpg/"));
    if (previewUrl.endsWith(QStringLiteral(".c2d"), Qt::CaseInsensitive)) previewUrl.replace(previewUrl.size() - 4, 4, ".jpg");
    const std::optional<QString> model = LocalFileFor(prompts_, window(), programFolder_ + "/product/c2d", modelUrl);
    const std::optional<QString> preview =
        model ? LocalFileFor(prompts_, window(), programFolder_ + "/product/xjpg", previewUrl) : std::nullopt;
    if (!model || !preview) return;
    const Product product = productIE_->product();
    FetchProductFiles({{modelUrl, *model, kMsgModelFailed}, {previewUrl, *preview, kMsgPictureFailed}},
                      [this, model = *model, preview = *preview, product] {
                          const ChosenProduct chosen = ProductOf(product);
                          QImage picture;
                          if (!picture.load(preview, "JPG"))
                              picture = ReadModelPreview(ToPath(model));
                          else
                              picture = picture.convertToFormat(QImage::Format_RGB32);
                          ShowChosenProduct(chosen, picture, product, DragKind::Model);
                          LabelFact->setText(tr("销售商：") + chosen.salesName);
                      });
}

}  // namespace v2d
