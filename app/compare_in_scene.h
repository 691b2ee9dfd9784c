#pragma once
// Products compared in the customer's room: the materials the browser put
// aside are laid at screen size into the selected regions, side by side
// over the work area; a click on one lays it into the scene at full size
// (one step), Esc leaves the scene as it was.
#include <QObject>

#include <vector>

namespace v2d {

class ComparisonView;
class ProductPanelWidget;
class SceneDocument;
class SceneView;
class UserPrompts;
struct ChosenProduct;

class CompareInScene : public QObject {
    Q_OBJECT
public:
    CompareInScene(SceneView& view, SceneDocument& document, ProductPanelWidget& panel, UserPrompts& prompts,
                   QObject* parent);

    // 2 to 4 materials into the selected regions; a refusal shows its message.
    void Show(const std::vector<ChosenProduct>& materials);

private:
    void Picked(int cell);

    SceneView& view_;
    SceneDocument& document_;
    ProductPanelWidget& panel_;
    UserPrompts& prompts_;
    ComparisonView* grid_;
    std::vector<ChosenProduct> shown_;
};

}  // namespace v2d
