#include "app/compare_in_scene.h"

#include <QGuiApplication>

#include <algorithm>

#include "app/comparison_view.h"
#include "app/product_panel_widget.h"
#include "app/scene_view.h"
#include "app/uformselparts.h"
#include "document/product_comparison.h"
#include "render/comparison_grid.h"
#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
// The smallest room a cell shows, however small the work area.
constexpr int kLeastCellWidth = 240, kLeastCellHeight = 180;
// The view's title row and margins around the grid.
constexpr int kChromeHeight = 50, kChromeWidth = 24;

// Cells that fill the work area in a grid of `count`.
QSize CellFor(QSize area, int count) {
    const int rows = ComparisonGridRows(count);
    const int width = std::max(kLeastCellWidth, (area.width() - kChromeWidth) / 2);
    int height = std::max(kLeastCellHeight, (area.height() - kChromeHeight) / std::max(rows, 1));
    height -= ComparisonCaptionHeight(QSize(width, height));
    return QSize(width, std::max(kLeastCellHeight / 2, height));
}
}  // namespace

CompareInScene::CompareInScene(SceneView& view, SceneDocument& document, ProductPanelWidget& panel,
                               UserPrompts& prompts, QObject* parent)
    : QObject(parent),
      view_(view),
      document_(document),
      panel_(panel),
      prompts_(prompts),
      grid_(new ComparisonView(*view.viewport())) {
    connect(grid_, &ComparisonView::picked, this, &CompareInScene::Picked);
    connect(grid_, &ComparisonView::cancelled, this, [this] { shown_.clear(); });
}

void CompareInScene::Show(const std::vector<ChosenProduct>& materials) {
    std::vector<CurrentProduct> products;
    for (const ChosenProduct& chosen : materials)
        products.push_back(CurrentProduct{chosen.picture, ProductPanelWidget::MaterialOf(chosen)});
    const int count = static_cast<int>(products.size());
    const QSize cell = CellFor(view_.viewport()->size(), count);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Result<std::vector<ComparisonCell>> cells =
        LayComparisonCells(document_, document_.selection().selected, panel_.Controls(), products, cell);
    QGuiApplication::restoreOverrideCursor();
    if (!cells) {
        prompts_.Show(view_.window(), ShownText(cells.error()));
        return;
    }
    ComparisonGrid grid = ComposeComparison(*cells, cell);
    if (grid.picture.isNull()) return;
    // A click counts on the room or its caption.
    const int caption = ComparisonCaptionHeight(cell);
    for (QRect& room : grid.rooms) room.adjust(0, 0, 0, caption);
    shown_ = materials;
    grid_->ShowGrid(std::move(grid.picture), std::move(grid.rooms));
}

void CompareInScene::Picked(int cell) {
    if (cell < 0 || cell >= static_cast<int>(shown_.size())) return;
    const ChosenProduct chosen = shown_[static_cast<size_t>(cell)];
    shown_.clear();
    panel_.TakeComparedMaterial(chosen);
}

}  // namespace v2d
