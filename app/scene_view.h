#pragma once
// The work area ("PanelView"), a scroll area whose visible part is
// "PanelBack": the composed scene (Image2) drawn once per zoom, under the
// overlay (Image1: the selection's outline, a model's frame, the rubber band),
// the handles (Image3) and the hint line (PanelHelp), all painted as vectors
// at every repaint; and the scroll bars. It shows what the document holds and
// turns clicks into document selections.
#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QPolygonF>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "models/handle_drag.h"
#include "models/scene_selection.h"
#include "render/tiling_settings.h"

class QBoxLayout;
class QComboBox;
class QDropEvent;
class QMenu;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QScrollBar;
class QSlider;
class QToolButton;
class QWheelEvent;

namespace v2d {

class BeforeAfterLayer;
enum class MainKey;
class HandleLayer;
class HintLayer;
class OverlayLayer;
class PictureLayer;
class SceneDocument;
class UserPrompts;

// The format of a product picture dragged from the product panel.
inline constexpr const char* kProductDragFormat = "application/x-vexel2d-product";

// What a drop or a drawn rectangle needs from outside the view: the prompts,
// and the workspace that holds product/c2d/.
struct ProductDropSupport {
    UserPrompts* prompts = nullptr;
    QString workspaceFolder;
};

class SceneView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SceneView(SceneDocument& document, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // A click of either button selects the record under the pointer; the
    // right button then opens the model menu over a model, the scene menu
    // elsewhere.
    void setContextMenus(QMenu* sceneMenu, QMenu* modelMenu);
    void setDropSupport(ProductDropSupport support) { dropSupport_ = std::move(support); }
    // Lays out the picture panel for the background: size + 2 pixels, scroll
    // bars when larger than PanelBack, centred otherwise.
    void LayoutView();
    int HitTest(int x, int y) const;
    void DrawOutline(const V2dPolygon* record);
    // Shows the nine handles on the focused model's quad; handle `skip`
    // keeps its place, and -1 leaves the frame undrawn.
    void PlaceModelHandles(int skip);
    // After "撤销": a moved model's selection where it stands now.
    // After an arrow key moved the focused model: its outline and handles.
    void ShowNudgedModel();
    // The zoomed picture's top-left in the visible area (PanelBack), and
    // the picture panel around it (the picture and a 1-pixel border).
    QPoint ViewOffset() const { return panelAt_ + QPoint(1, 1); }
    QRect PictureFrame() const { return QRect(panelAt_, panelSize_); }
    // The zoom factor Z (Ctrl + wheel, Ctrl++, Ctrl+-, Ctrl+0 to fit, the
    // zoom box): a view point (X, Y) shows the picture point (X / Z, Y / Z).
    double viewScale() const { return viewScale_; }
    // Puts the zoom box ("ComboBoxZoom") into a row of the status bar.
    void AddZoomBoxTo(QBoxLayout& row);
    // Puts "原图对比" ("SpeedButtonBeforeAfter") and its split slider
    // ("SliderBeforeAfter", shown while it is on) into a row of the status bar.
    void AddBeforeAfterTo(QBoxLayout& row);
    // "原图对比" (B): the photo as it was left of a line, the scene right of
    // it. While it is on, a press or drag on the picture moves the line and
    // edits nothing; the selection's marks are hidden.
    bool beforeAfterShown() const;
    // The line's place, a share of the picture's width.
    double beforeAfterSplit() const;

    // The hint line in the top-left corner of the work area.
    void ShowHelpText(const QString& text);
    void HideHelp();
    // The outline and the handles go; the document's selection stays.
    void ClearSelection();

public slots:
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
    void Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
    void Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
    // The panel's product picture let go at view point `at` of Image1.
    void Image1DragDrop(QPoint at);
    // Corner and edge handles (k = 0..7 for node1..node8); `inHandle` is the
    // pointer's position inside the handle.
    void node1MouseMove(int k, Qt::KeyboardModifiers modifiers, QPoint inHandle);
    void node1MouseUp();
    void NodeMoveMouseMove(QPoint inHandle);
    void NodeMoveMouseUp();
    void ScrollBarXScroll(int position);
    void ScrollBarYScroll(int position);
    // "隐藏提示": while set, no hint shows.
    void SetHintsHidden(bool hidden);
    // About the centre of the visible area.
    void SetZoom(double zoom);
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();
    void SetBeforeAfter(bool shown);
    void ToggleBeforeAfter();
    void SetBeforeAfterSplit(double split);

signals:
    // A rubber band at least 2 x 2 pixels was released inside an ordinary
    // region while a product picture is in the panel (picture coordinates).
    void rectangleDrawn(QPoint start, QPoint end, const V2dPolygon* region);
    // node7 (-1) or node8 (+1) of a cut-out model was clicked, not dragged.
    void rotationFrameClicked(int direction);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int, int) override {}  // the bars' slots move the picture
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Where a press began: the mouse follows it until every button is up.
    enum class Pressed { Nothing, Picture, Handle, Split };

    void BuildLayers();
    void BuildZoom();
    // A window key of the view that runs `slot`.
    void AddShortcut(const char* name, MainKey keys, void (SceneView::*slot)());
    bool MouseEvent(QMouseEvent* event);
    bool DragEvent(QEvent* event);
    void UpdateCursor(QPoint at);
    // The marks' areas before and after a change are painted again.
    void MarksChanged();
    QRect MarksArea() const;
    QSize ZoomedSize() const;
    QRect PictureArea() const { return QRect(ViewOffset(), ZoomedSize()); }
    // Keeps the picture point under `anchor` (PanelBack coordinates) there.
    void ZoomAbout(double zoom, QPoint anchor);
    void ZoomBoxChosen(const QString& text);
    void ShowZoomInBox();
    bool WheelOverView(QWheelEvent* wheel, QPoint anchor);
    void DrawSelection();
    void SceneReplaced();
    // The document's displayed scene goes to Image2; what changed repaints.
    void ShowDisplayed();
    void ShowSelection();
    void ShowSelectionHint(const V2dPolygon& record);
    void SetHint(const QString& text);
    OutlineMapper Mapper() const;
    QPoint PicturePoint(QPoint at) const;
    void UpdateScrollBarsForHandles();
    void ScrollPanelTo(QPoint topLeft);
    QPoint ViewOffsetInPanelBack() const;
    void DrawModelFrame();
    void DrawDragFrame(bool firstStep);
    QPolygonF FramePolygon() const;
    void HandleReleased(int k);
    void DropModelProduct(QPoint point);
    std::optional<Quad> RectanglePreview(const V2dPolygon& region) const;
    void PlaceModelInRectangle(const V2dPolygon& region);
    std::filesystem::path ModelFileOfProduct() const;
    void ShowError(const std::string& message);
    void BuildBeforeAfter();
    // The split line follows the pointer's x over the picture.
    void MoveSplitTo(QPoint at);
    void StartOverlay();
    void ClearOverlay();

    SceneDocument& document_;
    QWidget* PanelBack = nullptr;     // the viewport
    OverlayLayer* Image1 = nullptr;   // outline, frame, band
    PictureLayer* Image2 = nullptr;   // the composed scene
    HandleLayer* Image3 = nullptr;    // node1..node8, NodeMove
    QScrollBar* ScrollBarX = nullptr;
    QScrollBar* ScrollBarY = nullptr;
    HintLayer* PanelHelp = nullptr;   // the hint line, over everything
    QMenu* sceneMenu_ = nullptr;
    QMenu* modelMenu_ = nullptr;
    QComboBox* ComboBoxZoom = nullptr;
    BeforeAfterLayer* ImageBefore = nullptr;  // the photo beside the scene
    QToolButton* SpeedButtonBeforeAfter = nullptr;
    QSlider* SliderBeforeAfter = nullptr;

    ProductDropSupport dropSupport_;
    bool hintsHidden_ = false;
    bool moveStarted_ = false;  // the centre handle's drag made its undo entry
    bool shaping_ = false;      // a corner or edge handle is being dragged
    QPoint panelAt_;            // the picture panel's top-left in PanelBack
    QSize panelSize_;
    QRect markedArea_;          // where the marks were painted last (PanelBack)
    Pressed pressed_ = Pressed::Nothing;
    int pressedHandle_ = -1;
    double viewScale_ = 1.0;
    int wheelTurned_ = 0;  // the wheel's turn not yet spent on zoom steps
    // The renderer's drawings when Image2 took the displayed scene last.
    std::optional<uint64_t> shownDrawings_;
    std::array<QPoint, 4> cornerHandleAt_{};
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragCurrent_;
};

}  // namespace v2d
