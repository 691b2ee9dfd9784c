#pragma once
// "选择…家居产品": the online product catalogue in the embedded browser.
// Reaching a product page ("productt.asp") ends it: OK with the page's
// descriptor and its picture address, or kNoProduct when the page named no
// picture. Created once; shown modally.
#include <QDialog>
#include <QString>

#include "library/product.h"

class QProgressBar;
class QToolButton;

namespace v2d {

class TCppWebBrowser;

class TFormProductIE : public QDialog {
    Q_OBJECT
public:
    // The dialog result of a product page without "PicUrl".
    static constexpr int kNoProduct = 3;

    // `errorPage`: the local page shown when a page cannot be loaded.
    TFormProductIE(const QString& serviceName, QString errorPage, QWidget* parent = nullptr);

    void setStartAddress(const QString& address) { startAddress_ = address; }
    // After OK: the descriptor ("&amp;" read as "&") and its PicUrl.
    const QString& descriptor() const { return descriptor_; }
    const QString& picUrl() const { return picUrl_; }
    // The same descriptor, read.
    const Product& product() const { return product_; }
    TCppWebBrowser* browser() const { return CppWebBrowser; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void CppWebBrowserNavigateComplete2();
    void CppWebBrowserProgressChange(int percent);

    QString startAddress_;
    QString errorPage_;
    QString descriptor_;
    QString picUrl_;
    Product product_;
    TCppWebBrowser* CppWebBrowser = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
};

}  // namespace v2d
