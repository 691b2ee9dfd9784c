#pragma once
// "选择…装修模板": the online template catalogue in the embedded browser.
// On a list page ("GoodsList.aspx") the page's getCxData() names the chosen
// template's scheme file; "确  定" accepts it. Created once; shown modally.
#include <QDialog>
#include <QString>

class QToolButton;

namespace v2d {

class TCppWebBrowser;

inline constexpr const char* kTemplateHelpText = QT_TRANSLATE_NOOP("Messages", "A.请选择装饰部位列表框中的装饰部位！B.或则在场景中选择要装饰的部位!");

class TFormWebTemp : public QDialog {
    Q_OBJECT
public:
    // `errorPage`: the local page shown when a page cannot be loaded.
    TFormWebTemp(const QString& serviceName, QString startAddress, QString errorPage, QWidget* parent = nullptr);

    // After OK: the chosen template's address.
    const QString& chosenAddress() const { return chosen_; }
    TCppWebBrowser* browser() const { return CppWebBrowserTemple; }

    void done(int result) override;

signals:
    // The window closed: the main window's hint line shows this.
    void helpTextReady(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void CppWebBrowserTempleDocumentComplete();
    void CppWebBrowserTempleNavigateError();
    void SpeedButtonNextClick();
    void SpeedButtonBackClick();

    QString startAddress_;
    QString errorPage_;
    QString chosen_;
    TCppWebBrowser* CppWebBrowserTemple = nullptr;
    QToolButton* SpeedButtonBack = nullptr;
    QToolButton* SpeedButtonNext = nullptr;
};

}  // namespace v2d
