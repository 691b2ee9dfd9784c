// The colour swatch: the colour dialog and the colour cards paint the
// selected regions with "前景色"; with "环境色" the colour only waits for the
// next tiling.
#include <QDialog>
#include <QFrame>
#include <QListWidget>

#include "app/uformmain.h"
#include "document/tone_controls.h"
#include "tools/Uformcolor.h"
#include "tools/colour_card_layout.h"

namespace v2d {

uint32_t TFormMain::shapeColour() const { return WindowsFromQColor(ShapeColor->palette().color(QPalette::Window)); }

void TFormMain::setShapeColour(uint32_t windowsColour) {
    QPalette palette = ShapeColor->palette();
    palette.setColor(QPalette::Window, QColorFromWindows(windowsColour));
    ShapeColor->setPalette(palette);
}

void TFormMain::ShapeColorMouseDown() {
    const std::optional<QColor> chosen = prompts_->ChooseColour(this, QColorFromWindows(shapeColour()));
    if (!chosen) return;
    setShapeColour(WindowsFromQColor(*chosen));
    if (PaintRegionsWithColour(renderer_, CurrentSelection(), shapeColour(), ProductPanel(), undoList_, ProgressCallback()) > 0)
        ShowRenderedScene();
}

void TFormMain::SButtonColorClick() {
    if (colourCards_ == nullptr || colourCards_->exec() != QDialog::Accepted) return;
    const std::optional<uint32_t> picked = colourCards_->pickedWindowsColour();
    if (!picked) return;
    setShapeColour(*picked);
    if (PaintFromColourCard(renderer_, CurrentSelection(), *picked, ProductPanel(), ProgressCallback()) > 0)
        ShowRenderedScene();
}

}  // namespace v2d
