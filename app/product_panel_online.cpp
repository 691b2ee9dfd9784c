// The product panel's online paths: a material or a model from the web
// service's catalogue, its picture or model file downloaded into product/
// unless it is there already.
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "app/product_panel_widget.h"
#include "app/uformselparts.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"
#include "library/product.h"
#include "online/download_name.h"
#include "online/http_download.h"
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

bool ProductPanelWidget::DownloadProductFile(const QString& url, const QString& target, const char* failure) {
    emit helpTextReady(QString::fromUtf8(kMsgDownloading));
    window()->repaint();
    DownloadEvents events;
    int shown = -1;
    events.progress = [&](int64_t received, int64_t total) {
        const std::optional<int> percent = ProgressPercent(received, total);
        if (percent && *percent != shown) emit downloadProgress(shown = *percent);
    };
    const Status done =
        DownloadFile(url.toStdString(), ToPath(target), events, ReadMaxDownloadBytes(ToPath(programFolder_)));
    if (done) return true;
    // One message names what failed; the download's own reason says no more.
    emit downloadProgress(0);
    prompts_.Show(window(), QString::fromUtf8(failure));
    return false;
}

void ProductPanelWidget::OnlineMaterialClick() {
    productIE_->setStartAddress(productCatalogue_);
    const int result = productIE_->exec();
    if (result == TFormProductIE::kNoProduct) prompts_.Show(window(), QString::fromUtf8(kMsgNoOnlineProduct));
    if (result != QDialog::Accepted) return;
    const std::optional<QString> local =
        LocalFileFor(prompts_, window(), programFolder_ + "/product/xjpg", productIE_->picUrl());
    if (!local) return;
    if (!QFileInfo::exists(*local) && !DownloadProductFile(productIE_->picUrl(), *local, kMsgPictureFailed)) return;
    if (!QFileInfo::exists(*local)) return;
    ChosenProduct chosen = ProductOf(productIE_->product());
    if (!chosen.picture.load(*local, "JPG")) {
        prompts_.Show(window(), QString::fromUtf8(kMsgPictureFailed));
        return;
    }
    chosen.picture = chosen.picture.convertToFormat(QImage::Format_RGB32);
    ShowChosenMaterial(chosen, productIE_->product());
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
    if (!QFileInfo::exists(*model) && !DownloadProductFile(modelUrl, *model, kMsgModelFailed)) return;
    if (!QFileInfo::exists(*preview) && !DownloadProductFile(previewUrl, *preview, kMsgPictureFailed)) return;
    const ChosenProduct chosen = ProductOf(productIE_->product());
    QImage picture;
    if (!picture.load(*preview, "JPG"))
        picture = ReadModelPreview(ToPath(*model));
    else
        picture = picture.convertToFormat(QImage::Format_RGB32);
    ShowChosenProduct(chosen, picture, productIE_->product(), DragKind::Model);
    LabelFact->setText(tr("销售商：") + chosen.salesName);
}

}  // namespace v2d
