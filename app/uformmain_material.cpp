// The main window's "材料编辑": the material editor over the panel's
// picture, and the result filed as a new product in mode 6.
#include "app/product_panel_widget.h"
#include "app/uformmain.h"
#include "app/uformselparts.h"
#include "app/widget_helpers.h"
#include "library/data_module.h"
#include "library/product_maintenance.h"
#include "library/product_queries.h"
#include "tools/uformmatedit.h"

namespace v2d {

namespace {
constexpr const char* kMsgChooseMaterialFirst = "请先选择材料产品。";
}  // namespace

TFormMatedit* TFormMain::MakeMaterialEditor() {
    auto* editor = new TFormMatedit(programFolder_, this);
    editor->setDialogs({[this](QWidget* parent, const QString& folder, const QString& filter) {
                            return prompts_->OpenFileName(parent, folder, filter);
                        },
                        [this](QWidget* parent, const QColor& initial) { return prompts_->ChooseColour(parent, initial); },
                        [this](QWidget* parent, const QString& text) { prompts_->Show(parent, text); }});
    return editor;
}

void TFormMain::SpeedButtonAddClick() {
    const CurrentProduct& product = document_.product();
    if (product.picture.isNull() || product.dragKind == DragKind::Model) {
        prompts_->Show(this, QString::fromUtf8(kMsgChooseMaterialFirst));
        return;
    }
    materialEditor_->LoadPattern(product.picture, product.mapTolerance);
    if (materialEditor_->exec() != QDialog::Accepted || productBrowser_ == nullptr || dataModule_ == nullptr) return;
    Result<int64_t> id = dataModule_->GetNewID("TableParts", "PartsID");
    if (!id) {
        prompts_->Show(this, FromUtf8(id.error()));
        return;
    }
    const int random = RandomNumberMiddle();
    const QString number = QString::number(*id) + "-" + QString::number(random);
    productBrowser_->PrepareNewProduct(materialEditor_->Edited(), QStringLiteral("新材料"), number,
                                       QStringLiteral("600*600"));
    if (!productBrowser_->ShowInMode(TFormSelParts::FileNewProduct)) return;
    Result<std::optional<ProductRow>> filed = FindProductByNumber(*dataModule_, productBrowser_->Chosen().number.toStdString());
    if (!filed || !filed->has_value()) return;
    productPanel_->LoadProduct(**filed);
    if (!document_.selection().selected.empty()) productPanel_->BitBtnApplyClick();
}

}  // namespace v2d
