#include "app/material_filing.h"

#include "app/product_panel_widget.h"
#include "app/uformselparts.h"
#include "document/scene_document.h"
#include "library/data_module.h"
#include "library/product.h"
#include "library/product_maintenance.h"
#include "library/product_queries.h"
#include "tools/uformmatedit.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {

// What a product filed from the editor keeps of the product it was made
// from: size, dealer and material, from its row when the library has it,
// else the size and dealer its descriptor names.
struct SourceFields {
    QString specs = QStringLiteral("600*600");
    int64_t salesID = 0;
    int64_t matTypeID = 0;
};

SourceFields SourceOf(Db& dm, const Product& product) {
    SourceFields fields;
    Result<std::optional<ProductRow>> row = FindProductByNumber(dm, product.number());
    if (row && row->has_value()) {
        const ProductRow& r = **row;
        if (!r.PartsSpecs.empty()) fields.specs = FromUtf8(r.PartsSpecs);
        fields.salesID = r.SalesID;
        fields.matTypeID = r.MatTypeID;
        return fields;
    }
    if (!product.specs().empty()) fields.specs = FromUtf8(product.specs());
    const std::string& dealer = product.brand();
    if (Result<std::vector<NamedID>> sales = ReadSales(dm); sales && !dealer.empty())
        for (const NamedID& s : *sales)
            if (s.name == dealer) fields.salesID = s.id;
    return fields;
}

}  // namespace

MaterialFiling::MaterialFiling(QWidget& window, SceneDocument& document, UserPrompts& prompts,
                               ProductPanelWidget& panel, const QString& programFolder)
    : QObject(&window), window_(window), document_(document), prompts_(prompts), panel_(panel) {
    editor_ = new TFormMatedit(programFolder, &window);
    UserPrompts* p = &prompts_;
    editor_->setDialogs({[p](QWidget* parent, const QString& folder, const QString& filter) {
                             return p->OpenFileName(parent, folder, filter);
                         },
                         [p](QWidget* parent, const QColor& initial) { return p->ChooseColour(parent, initial); },
                         [p](QWidget* parent, const QString& text) { p->Show(parent, text); }});
    panel_.setMaterialEditor(editor_);
}

void MaterialFiling::setColourCards(TFormColor* cards) { editor_->setColourCards(cards); }

void MaterialFiling::SpeedButtonAddClick() {
    const CurrentProduct& product = document_.product();
    if (product.picture.isNull() || product.dragKind == DragKind::Model) {
        prompts_.Show(&window_, QString::fromUtf8(kMsgChooseMaterialFirst));
        return;
    }
    editor_->OpenOn(product.picture, product.mapTolerance);
    if (editor_->exec() != QDialog::Accepted || productBrowser_ == nullptr || dataModule_ == nullptr) return;
    Result<int64_t> id = dataModule_->GetNewID("TableParts", "PartsID");
    if (!id) {
        prompts_.Show(&window_, FromUtf8(id.error()));
        return;
    }
    const int random = RandomNumberMiddle();
    const QString number = QString::number(*id) + "-" + QString::number(random);
    const SourceFields source = SourceOf(*dataModule_, document_.product().product);
    productBrowser_->PrepareNewProduct(editor_->Edited(), QStringLiteral("新材料"), number, source.specs,
                                       source.salesID, source.matTypeID);
    if (!productBrowser_->ShowInMode(TFormSelParts::FileNewProduct)) return;
    Result<std::optional<ProductRow>> filed =
        FindProductByNumber(*dataModule_, productBrowser_->Chosen().number.toStdString());
    if (!filed || !filed->has_value()) return;
    panel_.LoadProduct(**filed);
    if (!document_.selection().selected.empty()) panel_.BitBtnApplyClick();
}

}  // namespace v2d
