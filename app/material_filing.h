#pragma once
// "材料编辑": the product panel's picture recoloured in the material editor
// and filed as a new product, which the panel then takes and lays again.
#include <QObject>
#include <QString>

class QWidget;

namespace v2d {

class ProductPanelWidget;
class SceneDocument;
class TDataModule_Manager;
class TFormColor;
class TFormMatedit;
class TFormSelParts;
class UserPrompts;

class MaterialFiling : public QObject {
    Q_OBJECT
public:
    MaterialFiling(QWidget& window, SceneDocument& document, UserPrompts& prompts, ProductPanelWidget& panel,
                   const QString& programFolder);

    void setColourCards(TFormColor* cards);
    void setProductBrowser(TFormSelParts* browser) { productBrowser_ = browser; }
    void setDataModule(TDataModule_Manager* module) { dataModule_ = module; }
    void SpeedButtonAddClick();

private:
    QWidget& window_;
    SceneDocument& document_;
    UserPrompts& prompts_;
    ProductPanelWidget& panel_;
    TFormMatedit* editor_ = nullptr;
    TFormSelParts* productBrowser_ = nullptr;
    TDataModule_Manager* dataModule_ = nullptr;
};

}  // namespace v2d
