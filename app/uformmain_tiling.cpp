// "开始铺贴" and the rubber band: the panel's controls are read into plain
// values, the renderer lays the product, the window shows what it said.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "base/integer_text.h"
#include "app/uformmain.h"
#include "document/tile_command.h"

namespace v2d {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

PromptIcon IconOf(const Error& message) {
    return message.icon == MessageIcon::Question ? PromptIcon::Question : PromptIcon::Information;
}

}  // namespace

RegionSelection TFormMain::CurrentSelection() const {
    RegionSelection selection;
    selection.focused = CurrentIndex();
    selection.selected = SelectedIndices();
    return selection;
}

ProductPanelState TFormMain::ProductPanel() const {
    ProductPanelState panel;
    panel.picture = productPicture_;
    panel.descriptor = currentProduct_;
    panel.isModelProduct = DragKind == 1;
    panel.widthMm = StrictInteger(EditPartsWidth->text()).value_or(0);
    panel.heightMm = StrictInteger(EditPartsHeight->text()).value_or(0);
    panel.lighten = TrackBarLight->value();
    panel.reflect = TrackBarReflect->value();
    panel.fit = CheckBoxFit->isChecked();
    panel.rotate = CheckBoxRot->isChecked();
    panel.mirror = CheckBoxMirror->isChecked();
    panel.colour = shapeColour();
    panel.ambientColour = RadioButtonBack->isChecked();
    panel.mixWithPhoto = CheckBoxMix->isChecked();
    return panel;
}

bool TFormMain::ProductSizesAreNumbers() {
    for (const QLineEdit* edit : {EditPartsWidth, EditPartsHeight}) {
        if (!StrictInteger(edit->text())) {
            prompts_->Show(this, ConversionMessage(edit->text()));
            return false;
        }
    }
    return true;
}

void TFormMain::BitBtnApplyClick() {
    if (!ProductSizesAreNumbers()) return;
    const ProductPanelState panel = ProductPanel();
    LabelPro->setText(QString::fromUtf8(kProgressCaption));
    LabelPro->repaint();
    const EffectSettings effect = hooks.effectSettings ? hooks.effectSettings() : EffectSettings{};
    const TileCommandResult result =
        TileSelectedRegions(renderer_, CurrentSelection(), panel, effect, undoList_, ProgressCallback());
    if (result.stopped) {
        prompts_->Message(this, FromUtf8(result.stopped->message), PromptButtons::Ok, IconOf(*result.stopped));
        return;
    }
    if (!result.tiled.empty()) ShowRenderedScene();
    for (const Error& message : result.messages)
        prompts_->Message(this, FromUtf8(message.message), PromptButtons::Ok, IconOf(message));
    if (!result.hint.empty()) ShowHelpText(FromUtf8(result.hint));
}

void TFormMain::LayProductInRectangle(QPoint start, QPoint end, V2dPolygon* region) {
    if (region == nullptr) return;
    if (!ProductSizesAreNumbers()) return;
    if (LayProductIntoRectangle(renderer_, *region, V2d_Point{start.x(), start.y()}, V2d_Point{end.x(), end.y()},
                                ProductPanel(), undoList_, ProgressCallback()))
        ShowRenderedScene();
    // The band is gone; the region's outline comes back.
    DrawOutline(region);
}

}  // namespace v2d
