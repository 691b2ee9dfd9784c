#include "app/scene_view.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDropEvent>
#include <QEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <cmath>

#include "app/before_after_layer.h"
#include "app/key_table.h"
#include "app/handle_layer.h"
#include "app/hint_layer.h"
#include "app/overlay_layer.h"
#include "app/picture_layer.h"
#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"
#include "library/product_pictures.h"
#include "models/model_placement.h"

namespace v2d {

namespace {

const char* const kModelHint =
    QT_TRANSLATE_NOOP("Messages", "你可以拖动物体中心按钮，对模型移动！拖拽四个角点或中点可以改变物体透视，shift按下时保持水平或垂直。");
const char* const kRegionHint = QT_TRANSLATE_NOOP("Messages", "请点击选择产品！或者点击开始铺贴！");
const char* const kCutOutHint = QT_TRANSLATE_NOOP("Messages", "旋转模型角度请按快捷键R,或点击左右按钮");

const char* const kReplaceModelQuestion = QT_TRANSLATE_NOOP("Messages", "是要替换模型吗 ?");
const char* const kZoomToFit = QT_TRANSLATE_NOOP("Messages", "适合窗口");
const QColor kBackColour(0x5a, 0x5f, 0x66);
constexpr int kWheelStep = 120;  // one notch of a mouse wheel

QString ZoomText(double zoom) { return QString::number(std::lround(zoom * 100)) + QLatin1Char('%'); }

bool IsModel(const V2dPolygon* record) {
    return record != nullptr && !record->isRegion();
}

}  // namespace

SceneView::SceneView(SceneDocument& document, QWidget* parent) : QAbstractScrollArea(parent), document_(document) {
    setObjectName("PanelView");
    BuildLayers();
    BuildZoom();
    BuildBeforeAfter();

    connect(&document_, &SceneDocument::sceneReplaced, this, &SceneView::SceneReplaced);
    connect(&document_, &SceneDocument::changed, this, [this](const SceneChange& change) {
        if (change.aspects & ~ChangeAspects(ChangeAspect::Selection)) ShowDisplayed();
        // The outline and handles follow the selection and the model's shape.
        if (change.touches(ChangeAspect::Selection) || change.touches(ChangeAspect::Geometry)) ShowSelection();
    });

    // Before any scheme: the background as it is, under an empty overlay.
    Image2->setPicture(document_.scene().background);
    ImageBefore->setPhoto(document_.scene().background);
    LayoutView();
    StartOverlay();
}

// --- Building -------------------------------------------------------------------

void SceneView::BuildLayers() {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // the keys go to the window's controls, as before
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    PanelBack = Named(viewport(), QStringLiteral("PanelBack"));
    PanelBack->setFocusPolicy(Qt::NoFocus);
    QPalette back = palette();
    back.setColor(QPalette::Window, kBackColour);
    for (QWidget* area : {static_cast<QWidget*>(this), PanelBack}) {
        area->setAutoFillBackground(false);
        area->setPalette(back);
    }
    setAutoFillBackground(true);  // the corner between the bars
    PanelBack->setAttribute(Qt::WA_OpaquePaintEvent);  // paintEvent covers every pixel
    PanelBack->setMouseTracking(true);
    PanelBack->setAcceptDrops(true);

    Image2 = new PictureLayer(this);
    Image1 = new OverlayLayer(this);
    Image3 = new HandleLayer(this);
    PanelHelp = new HintLayer(*PanelBack);
    connect(Image2, &PictureLayer::settled, PanelBack, qOverload<>(&QWidget::update));

    // The bars keep their room when hidden, so nothing moves under a handle
    // being dragged when one comes or goes.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBarX = Named(horizontalScrollBar(), QStringLiteral("ScrollBarX"));
    ScrollBarY = Named(verticalScrollBar(), QStringLiteral("ScrollBarY"));
    connect(ScrollBarX, &QScrollBar::valueChanged, this, &SceneView::ScrollBarXScroll);
    connect(ScrollBarY, &QScrollBar::valueChanged, this, &SceneView::ScrollBarYScroll);
}

QSize SceneView::minimumSizeHint() const {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(200 + bar, 150 + bar);  // PanelBack at least 200 x 150
}

QSize SceneView::sizeHint() const { return minimumSizeHint(); }

void SceneView::BuildZoom() {
    ComboBoxZoom = Named(new QComboBox(this), QStringLiteral("ComboBoxZoom"));
    ComboBoxZoom->setEditable(true);
    ComboBoxZoom->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxZoom->setMinimumContentsLength(6);
    ComboBoxZoom->addItem(ShownText(kZoomToFit));
    for (double step : kZoomSteps) ComboBoxZoom->addItem(ZoomText(step));
    ComboBoxZoom->hide();  // until the main window puts it in its status bar
    connect(ComboBoxZoom, &QComboBox::textActivated, this, &SceneView::ZoomBoxChosen);
    ShowZoomInBox();

    AddShortcut("ActionZoomIn", MainKey::ZoomIn, &SceneView::ZoomIn);
    AddShortcut("ActionZoomOut", MainKey::ZoomOut, &SceneView::ZoomOut);
    AddShortcut("ActionZoomFit", MainKey::ZoomToFit, &SceneView::ZoomToFit);
}

void SceneView::AddShortcut(const char* name, MainKey keys, void (SceneView::*slot)()) {
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(KeysOf(keys));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, slot);
}

void SceneView::AddZoomBoxTo(QBoxLayout& row) {
    row.addWidget(ComboBoxZoom);
    ComboBoxZoom->show();
}

void SceneView::setContextMenus(QMenu* sceneMenu, QMenu* modelMenu) {
    sceneMenu_ = sceneMenu;
    modelMenu_ = modelMenu;
}

// --- Layers and layout --------------------------------------------------------

QSize SceneView::ZoomedSize() const { return document_.scene().background.size() * viewScale_; }

void SceneView::StartOverlay() {
    Image1->start(ZoomedSize());
    MarksChanged();
}

void SceneView::ClearOverlay() {
    Image1->clear();
    MarksChanged();
}

QRect SceneView::MarksArea() const {
    QRect area = Image1->shown() ? Image1->covered().translated(ViewOffset()) & PictureArea() : QRect();
    return area | Image3->covered();
}

void SceneView::MarksChanged() {
    const QRect now = MarksArea();
    PanelBack->update(now | markedArea_);
    markedArea_ = now;
}

// PanelBack, the picture panel's border and an empty picture all take the
// back colour; the scene, the overlay and the handles go over it in order.
void SceneView::paintEvent(QPaintEvent* event) {
    QPainter painter(PanelBack);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, kBackColour);
    const QRect picture = PictureArea();
    const QRect shown = exposed & picture;
    if (!shown.isEmpty()) {
        painter.save();
        painter.setClipRect(shown);
        painter.translate(ViewOffset());
        Image2->paint(painter, shown.translated(-ViewOffset()), PanelBack->palette().window());
        if (ImageBefore->active())
            ImageBefore->paint(painter, shown.translated(-ViewOffset()), picture.width(), picture.height());
        else
            Image1->paint(painter, OverlayLayer::Edges::Smooth);
        painter.restore();
    }
    if (!ImageBefore->active()) Image3->paint(painter, PanelBack->palette());
    PanelHelp->paint(painter);
}

void SceneView::LayoutView() {
    const QSize picture = ZoomedSize();
    const QSize panel = picture + QSize(2, 2);
    panelSize_ = panel;
    Image2->setZoom(viewScale_);
    ImageBefore->setZoom(viewScale_);

    const bool wide = panel.width() > PanelBack->width();
    const bool tall = panel.height() > PanelBack->height();
    ScrollBarX->setVisible(wide || shaping_);
    ScrollBarY->setVisible(tall || shaping_);
    ScrollBarX->setRange(0, panel.width());
    ScrollBarY->setRange(0, panel.height());
    const int left = wide ? ScrolledPanelOffset(ScrollBarX->value(), panel.width(), PanelBack->width(), 0)
                          : CentredOffset(PanelBack->width(), panel.width());
    const int top = tall ? ScrolledPanelOffset(ScrollBarY->value(), panel.height(), PanelBack->height(), 0)
                         : CentredOffset(PanelBack->height(), panel.height());
    ScrollPanelTo(QPoint(left, top));
    PanelBack->update();
}

// The handles move with the picture panel.
void SceneView::ScrollPanelTo(QPoint topLeft) {
    const QPoint delta = topLeft - panelAt_;
    if (delta.isNull()) return;
    panelAt_ = topLeft;
    if (Image3->isVisible()) Image3->moveAll(delta);
    for (QPoint& at : cornerHandleAt_) at += delta;
    markedArea_ = MarksArea();
    PanelBack->update();
}

// The bars sit beside PanelBack, not over it, so the other bar takes nothing
// from the visible area.
void SceneView::ScrollBarXScroll(int position) {
    const int panel = panelSize_.width();
    if (panel <= PanelBack->width()) return;
    ScrollPanelTo(QPoint(ScrolledPanelOffset(position, panel, PanelBack->width(), 0), panelAt_.y()));
}

void SceneView::ScrollBarYScroll(int position) {
    const int panel = panelSize_.height();
    if (panel <= PanelBack->height()) return;
    ScrollPanelTo(QPoint(panelAt_.x(), ScrolledPanelOffset(position, panel, PanelBack->height(), 0)));
}

// --- Events of the visible area ---------------------------------------------------

// The corner between the bars takes the back colour, without the frame a
// scroll area's style gives it.
bool SceneView::event(QEvent* event) {
    if (event->type() != QEvent::Paint) return QAbstractScrollArea::event(event);
    QPainter(this).fillRect(static_cast<QPaintEvent*>(event)->rect(), kBackColour);
    return true;
}

bool SceneView::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
        QAbstractScrollArea::viewportEvent(event);
        LayoutView();
        return true;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (WheelOverView(wheel, wheel->position().toPoint())) return true;
        wheel->ignore();
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return MouseEvent(static_cast<QMouseEvent*>(event));
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return DragEvent(event);
    default:
        return QAbstractScrollArea::viewportEvent(event);
    }
}

// Only the wheel over PanelBack acts, as WheelOverView decides; a scroll
// area would hand any other to a bar, even a hidden one.
void SceneView::wheelEvent(QWheelEvent* event) { event->ignore(); }
void SceneView::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }

// A press on a handle drags the handle; a press on the picture goes to the
// Image1 handlers, and so does every move until the last button is up.
bool SceneView::MouseEvent(QMouseEvent* mouse) {
    const QPoint at = mouse->position().toPoint();
    const QEvent::Type type = mouse->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if ((mouse->buttons() & ~mouse->button()) == Qt::NoButton) {  // the first button down
            if (ImageBefore->active()) {
                pressed_ = mouse->button() == Qt::LeftButton && PictureArea().contains(at) ? Pressed::Split : Pressed::Nothing;
                if (pressed_ == Pressed::Split) MoveSplitTo(at);
                return true;
            }
            const std::optional<int> handle = Image3->At(at);
            pressed_ = handle ? Pressed::Handle : PictureArea().contains(at) ? Pressed::Picture : Pressed::Nothing;
            pressedHandle_ = handle.value_or(-1);
        }
        if (pressed_ == Pressed::Picture) Image1MouseDown(mouse->button(), mouse->modifiers(), at - ViewOffset());
        return true;
    }
    if (type == QEvent::MouseMove) {
        // The hint line keeps the pointer's hovering from the picture, as its panel did.
        if (mouse->buttons() == Qt::NoButton && PanelHelp->covered().contains(at)) return true;
        if (mouse->buttons() == Qt::NoButton) pressed_ = Pressed::Nothing;  // a menu took the release
        if (pressed_ == Pressed::Split) {
            MoveSplitTo(at);
            return true;
        }
        if (ImageBefore->active()) {
            UpdateCursor(at);
            return true;
        }
        if (pressed_ == Pressed::Handle) {
            if (!mouse->buttons().testFlag(Qt::LeftButton)) return true;
            const QPoint inHandle = at - Image3->pos(pressedHandle_);
            if (pressedHandle_ == HandleLayer::kMove)
                NodeMoveMouseMove(inHandle);
            else
                node1MouseMove(pressedHandle_, mouse->modifiers(), inHandle);
            return true;
        }
        if (pressed_ == Pressed::Nothing) UpdateCursor(at);
        if (pressed_ == Pressed::Picture || (PictureArea().contains(at) && !Image3->At(at)))
            Image1MouseMove(mouse->buttons(), mouse->modifiers(), at - ViewOffset());
        return true;
    }
    const Pressed pressed = pressed_;
    if (mouse->buttons() == Qt::NoButton) pressed_ = Pressed::Nothing;
    if (pressed == Pressed::Picture) Image1MouseUp(mouse->button(), mouse->modifiers(), at - ViewOffset());
    if (pressed == Pressed::Handle && mouse->button() == Qt::LeftButton) HandleReleased(pressedHandle_);
    if (pressed_ == Pressed::Nothing) UpdateCursor(at);
    return true;
}

void SceneView::UpdateCursor(QPoint at) {
    if (ImageBefore->active() && PictureArea().contains(at))
        PanelBack->setCursor(Qt::SplitHCursor);
    else if (ImageBefore->active())
        PanelBack->unsetCursor();
    else if (const std::optional<int> handle = Image3->At(at))
        PanelBack->setCursor(Image3->cursor(*handle));
    else
        PanelBack->unsetCursor();
}

// A product picture is taken only over the picture itself. It is followed
// from wherever it enters PanelBack: away from 100 % it crosses the back
// colour before it reaches the picture.
bool SceneView::DragEvent(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QPoint at = drop->position().toPoint();
    const bool carried = drop->mimeData()->hasFormat(kProductDragFormat) && !document_.product().picture.isNull();
    const bool product = drop->mimeData()->hasFormat(kProductDragFormat) && PictureArea().contains(at);
    if (event->type() != QEvent::Drop) {
        if (product && carried)
            drop->acceptProposedAction();
        else if (event->type() == QEvent::DragEnter && carried)
            drop->setAccepted(true);  // not here, but the moves that follow are asked
        else
            drop->ignore();
        return true;
    }
    if (!product) return false;
    drop->acceptProposedAction();
    // The scene changes, and questions are asked, once the drag has ended.
    QMetaObject::invokeMethod(this, [this, at = at - ViewOffset()] { Image1DragDrop(at); }, Qt::QueuedConnection);
    return true;
}

void SceneView::HandleReleased(int k) {
    const V2dPolygon* target = MoveTarget(document_.focusedRecord());
    if ((k == 6 || k == 7) && !shaping_ && target != nullptr && target->kind == RecordKind::CutOutModel) {
        emit rotationFrameClicked(k == 6 ? -1 : 1);  // the side handles turn a cut-out
        return;
    }
    k == HandleLayer::kMove ? NodeMoveMouseUp() : node1MouseUp();
}

// --- Selection ------------------------------------------------------------------

void SceneView::ShowDisplayed() {
    const SceneRenderer& renderer = document_.renderer();
    const std::optional<QRect> changed =
        shownDrawings_ ? std::optional(renderer.ChangedSince(*shownDrawings_)) : std::nullopt;
    shownDrawings_ = renderer.drawings();
    const QSize before = Image2->picture().size();
    const QRect reach = Image2->setPicture(document_.displayed(), changed);
    if (Image2->picture().size() != before)
        PanelBack->update();
    else if (!reach.isEmpty())
        PanelBack->update(reach.translated(ViewOffset()));
}

void SceneView::SceneReplaced() {
    ClearSelection();
    ImageBefore->setPhoto(document_.scene().background);
    viewScale_ = ClampZoom(viewScale_, document_.scene().background.size());
    LayoutView();
    ShowZoomInBox();
}

void SceneView::ClearSelection() {
    cornerHandleAt_ = {};
    Image3->hide();
    ClearOverlay();
}

void SceneView::ShowSelection() {
    DrawSelection();
    if (const V2dPolygon* record = document_.focusedRecord()) ShowSelectionHint(*record);
}

void SceneView::DrawSelection() {
    ClearSelection();
    const V2dPolygon* record = document_.focusedRecord();
    if (record == nullptr) return;
    if (record->kind == RecordKind::CutOutModel || record->group != nullptr) {
        PlaceModelHandles(-2);  // a part shows the frame of the whole model
    } else {
        DrawOutline(record);
        if (record->kind == RecordKind::PictureModel) {
            PlaceModelHandles(-2);
            UpdateScrollBarsForHandles();
        }
    }
}

void SceneView::ShowNudgedModel() {
    DrawOutline(MoveTarget(document_.focusedRecord()));
    PlaceModelHandles(-2);
}

void SceneView::ShowSelectionHint(const V2dPolygon& record) {
    if (record.kind == RecordKind::PictureModel)
        SetHint(QString::fromUtf8(kModelHint));
    else if (record.kind == RecordKind::CutOutModel)
        SetHint(QString::fromUtf8(kCutOutHint));
    else
        SetHint(QString::fromUtf8(kRegionHint));
}

OutlineMapper SceneView::Mapper() const { return MapperOf(document_.ops()); }

int SceneView::HitTest(int x, int y) const { return v2d::HitTest(document_.scene(), x, y, Mapper()); }

void SceneView::DrawOutline(const V2dPolygon* record) {
    if (record == nullptr) return;
    Image1->start(ZoomedSize());
    if (!Image1->shown()) return MarksChanged();
    std::vector<V2d_Point> shown =
        record->kind == RecordKind::PictureModel ? DisplayedModelOutline(*record, Mapper()) : record->points;
    if (record->kind == RecordKind::ShadowRegion)
        for (V2d_Point& p : shown) p.x += record->originX, p.y += record->originY;
    Image1->setOutline(OutlinePath(shown, record->indexList), viewScale_);
    if (const PixelBox box = BoxOf(shown); !box.empty()) {
        const QPoint centre((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2);
        constexpr int half = HandleLayer::kSide / 2;
        Image3->move(HandleLayer::kMove, QPoint(TruncToInt(centre.x() * viewScale_), TruncToInt(centre.y() * viewScale_)) +
                                             ViewOffset() - QPoint(half, half));
    }
    MarksChanged();
}

void SceneView::PlaceModelHandles(int skip) {
    const V2dPolygon* focused = document_.focusedRecord();
    if (focused == nullptr) return;
    const V2dPolygon* target = MoveTarget(focused);
    if (target->isRegion()) return;

    Image3->setTurning(target->kind == RecordKind::CutOutModel);
    const auto at = ModelHandlePositions(*target, viewScale_, ViewOffset(), HandleLayer::kSide);
    for (int k = 0; k < HandleLayer::kCount; ++k)
        if (k != skip) Image3->move(k, at[static_cast<size_t>(k)]);
    Image3->show();
    for (size_t c = 0; c < 4; ++c) cornerHandleAt_[c] = at[c];
    if (skip != -1) DrawModelFrame();
    MarksChanged();
}

// Through the pixel centres, so each corner's own pixel is drawn.
QPolygonF SceneView::FramePolygon() const {
    QPolygonF quad;
    for (const QPoint& corner : cornerHandleAt_) quad << QPointF(corner - ViewOffset()) + QPointF(0.5, 0.5);
    return quad;
}

void SceneView::DrawModelFrame() {
    if (!Image1->shown()) Image1->start(ZoomedSize());
    if (!Image1->shown()) return;
    Image1->setFrame(FramePolygon());
    MarksChanged();
}

// While a handle is dragged only the frame changes: the area it covered
// last and the area it covers now are painted again, nothing else.
void SceneView::DrawDragFrame(bool firstStep) {
    if (firstStep || !Image1->shown()) Image1->start(ZoomedSize());
    if (Image1->shown()) Image1->setFrame(FramePolygon());
    MarksChanged();
}

void SceneView::UpdateScrollBarsForHandles() {
    const QRect reach = Image3->covered();
    ScrollBarX->setVisible(reach.left() < 0 || reach.right() >= PanelBack->width() ||
                           panelSize_.width() > PanelBack->width());
    ScrollBarY->setVisible(reach.top() < 0 || reach.bottom() >= PanelBack->height() ||
                           panelSize_.height() > PanelBack->height());
}

// --- Zoom -------------------------------------------------------------------------

void SceneView::SetZoom(double zoom) { ZoomAbout(zoom, PanelBack->rect().center()); }
void SceneView::ZoomIn() { SetZoom(SteppedZoom(viewScale_, +1, document_.scene().background.size())); }
void SceneView::ZoomOut() { SetZoom(SteppedZoom(viewScale_, -1, document_.scene().background.size())); }
void SceneView::ZoomToFit() { SetZoom(FitZoom(document_.scene().background.size(), PanelBack->size())); }

void SceneView::ZoomAbout(double zoom, QPoint anchor) {
    const QSize picture = document_.scene().background.size();
    zoom = ClampZoom(zoom, picture);
    if (zoom != viewScale_ && !picture.isEmpty()) {
        const QPointF under = QPointF(anchor - ViewOffset()) / viewScale_;
        viewScale_ = zoom;
        LayoutView();
        ScrollBarX->setValue(ScrollPositionFor(under.x(), zoom, anchor.x()));
        ScrollBarY->setValue(ScrollPositionFor(under.y(), zoom, anchor.y()));
        DrawSelection();
    }
    ShowZoomInBox();
}

void SceneView::ZoomBoxChosen(const QString& text) {
    ComboBoxZoom->clearFocus();  // the arrow keys go back to moving models
    if (text == ShownText(kZoomToFit)) return ZoomToFit();
    bool number = false;
    const double percent = QString(text).remove(QLatin1Char('%')).trimmed().toDouble(&number);
    if (number && percent > 0) return SetZoom(percent / 100);
    ShowZoomInBox();  // what cannot be read gives way to the zoom in force
}

void SceneView::ShowZoomInBox() {
    const QSignalBlocker quiet(ComboBoxZoom);
    ComboBoxZoom->setCurrentIndex(-1);
    ComboBoxZoom->setEditText(ZoomText(viewScale_));
}

// Ctrl + wheel zooms about the pointer; the wheel alone scrolls.
bool SceneView::WheelOverView(QWheelEvent* wheel, QPoint anchor) {
    if (!wheel->modifiers().testFlag(Qt::ControlModifier)) {
        QScrollBar* bar = wheel->modifiers().testFlag(Qt::ShiftModifier) ? ScrollBarX : ScrollBarY;
        return bar->isVisible() && QCoreApplication::sendEvent(bar, wheel);
    }
    wheelTurned_ += wheel->angleDelta().y();
    const QSize picture = document_.scene().background.size();
    double zoom = viewScale_;
    for (; wheelTurned_ >= kWheelStep; wheelTurned_ -= kWheelStep) zoom = SteppedZoom(zoom, +1, picture);
    for (; wheelTurned_ <= -kWheelStep; wheelTurned_ += kWheelStep) zoom = SteppedZoom(zoom, -1, picture);
    ZoomAbout(zoom, anchor);
    wheel->accept();
    return true;
}

// --- Hint line ------------------------------------------------------------------

void SceneView::SetHint(const QString& text) { PanelHelp->setText(ShownText(text)); }

void SceneView::ShowHelpText(const QString& text) {
    SetHint(text);
    PanelHelp->setTextHidden(false);
    PanelHelp->setVisible(!hintsHidden_);
}

void SceneView::HideHelp() {
    PanelHelp->setTextHidden(true);
    PanelHelp->setVisible(false);
}

void SceneView::SetHintsHidden(bool hidden) {
    hintsHidden_ = hidden;
    PanelHelp->setVisible(!hidden && !PanelHelp->label().isHidden());
}

// --- Mouse ----------------------------------------------------------------------

QPoint SceneView::PicturePoint(QPoint at) const {
    return QPoint(TruncToInt(at.x() / viewScale_), TruncToInt(at.y() / viewScale_));
}

// Either button selects the record under the pointer. A right click inside
// the selection keeps it, so the menu acts on all of it.
void SceneView::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at) {
    const QPoint point = PicturePoint(at);
    const Scene& scene = document_.scene();
    const int i = ClickTarget(scene, HitTestRecord(scene, point.x(), point.y(), Mapper()));
    const bool right = button == Qt::RightButton;
    const RegionSelection& selection = document_.selection();
    if (!right || i < 0 || i != selection.focused)
        document_.Select(i, modifiers.testFlag(Qt::ControlModifier) || (right && i >= 0 && selection.isSelected(i)));
    if (right) {
        QMenu* menu = IsPlacedModel(i >= 0 ? scene.at(i) : nullptr) ? modelMenu_ : sceneMenu_;
        if (menu != nullptr) menu->popup(PanelBack->mapToGlobal(at + ViewOffset()));
        return;
    }
    const V2dPolygon* focused = document_.focusedRecord();
    if (focused != nullptr && focused->kind == RecordKind::Region) {
        dragging_ = true;
        dragStart_ = dragCurrent_ = point;
    }
}

void SceneView::Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint at) {
    const V2dPolygon* focused = document_.focusedRecord();
    if (!buttons.testFlag(Qt::LeftButton) || !dragging_ || focused == nullptr || focused->kind != RecordKind::Region)
        return;
    dragCurrent_ = PicturePoint(at);
    if (ZoomedSize().isEmpty() || dragCurrent_ == dragStart_) return;
    Image1->start(ZoomedSize());
    if (const std::optional<Quad> preview = RectanglePreview(*focused)) {
        QPolygonF band;
        for (const V2d_Point& p : *preview) band << QPointF(p.x, p.y) * viewScale_;
        Image1->setBand(std::move(band));
    }
    MarksChanged();
}

// A model whose category is drawn in perspective follows the region's
// plane; anything else is a rectangle on the screen.
std::optional<Quad> SceneView::RectanglePreview(const V2dPolygon& region) const {
    const V2d_Point start{dragStart_.x(), dragStart_.y()}, end{dragCurrent_.x(), dragCurrent_.y()};
    const CurrentProduct& product = document_.product();
    if (product.dragKind == DragKind::Model && DrawnInPerspective(product.product.kind()))
        return RectInRegion(start, end, region, document_.ops());
    return ScreenRectangle(start, end);
}

void SceneView::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint at) {
    if (button != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    dragCurrent_ = PicturePoint(at);
    const V2dPolygon* focused = document_.focusedRecord();
    if (focused == nullptr || focused->kind != RecordKind::Region) return;
    if (!RubberBandLargeEnough(dragStart_, dragCurrent_) || document_.product().picture.isNull()) return;
    if (document_.product().dragKind == DragKind::Model)
        PlaceModelInRectangle(*focused);
    else
        emit rectangleDrawn(dragStart_, dragCurrent_, focused);
}

// --- Products let go over the scene --------------------------------------------

std::filesystem::path SceneView::ModelFileOfProduct() const {
    return document_.product().product.paths(ToPath(dropSupport_.workspaceFolder)).model;
}

void SceneView::ShowError(const std::string& message) {
    if (dropSupport_.prompts != nullptr) dropSupport_.prompts->Show(window(), FromUtf8(message));
}

void SceneView::PlaceModelInRectangle(const V2dPolygon& region) {
    const std::optional<Quad> corners = RectanglePreview(region);
    const Outcome placed = corners ? document_.PlaceModelInRectangle(ModelFileOfProduct(), document_.product().product,
                                                                     *corners)
                                   : Outcome::NothingToDo();
    if (placed.refused()) ShowError(placed.error());
    if (!placed.done()) DrawOutline(&region);  // the band goes, the region stays chosen
}

void SceneView::Image1DragDrop(QPoint at) {
    const CurrentProduct& product = document_.product();
    if (product.picture.isNull()) return;
    const QPoint point = PicturePoint(at);
    if (product.dragKind == DragKind::Model) return DropModelProduct(point);
    if (const Outcome dropped = document_.DropMaterial({point.x(), point.y()}); dropped.refused())
        ShowError(dropped.error());
}

// A decoration line ("装饰线") is drawn across the region under the point
// and asks nothing. Any other model is asked about replacing a model only
// once the document has read its file, so a file that does not read says so
// and asks nothing.
void SceneView::DropModelProduct(QPoint point) {
    ModelDrop drop;
    drop.modelFile = ModelFileOfProduct();
    drop.product = document_.product().product;
    drop.point = {point.x(), point.y()};
    drop.target = document_.ModelDropTarget(drop.point);
    std::error_code missing;
    if (drop.product.kind() != ModelKind::DecorationLine &&
        !std::filesystem::is_regular_file(drop.modelFile, missing))
        return;
    if (dropSupport_.prompts != nullptr)
        drop.confirmReplace = [this] {
            return dropSupport_.prompts->Ask(window(), QString::fromUtf8(kReplaceModelQuestion)) == PromptAnswer::Yes;
        };
    const LayingSettings laying = document_.laying();
    drop.realWidth = laying.panel.widthMm;
    drop.realHeight = laying.panel.heightMm;
    if (Outcome placed = document_.DropModel(drop); placed.refused()) ShowError(placed.error());
}

// --- Handles ----------------------------------------------------------------------

void SceneView::node1MouseMove(int k, Qt::KeyboardModifiers modifiers, QPoint inHandle) {
    const V2dPolygon* target = MoveTarget(document_.focusedRecord());
    if (!IsModel(target) || k < 0 || k > 7) return;
    ScrollBarX->show();  // both bars stay while the handle is dragged
    ScrollBarY->show();
    HandlePositions at = Image3->positions();
    DragHandle(at, k, inHandle, modifiers.testFlag(Qt::ShiftModifier), target->kind == RecordKind::CutOutModel);
    for (int i = 0; i < HandleLayer::kCount; ++i) Image3->move(i, at[static_cast<size_t>(i)]);
    if (Outcome shaped = document_.ShapeFocusedModel(at, ViewOffset(), viewScale_); shaped.refused())
        ShowError(shaped.error());
    // A handle pulled past the visible area takes the picture along, a pixel a step.
    const QPoint pulled = at[k];
    const QPoint scroll(pulled.x() < 0 ? 1 : pulled.x() > PanelBack->width() ? -1 : 0,
                        pulled.y() < 0 ? 1 : pulled.y() > PanelBack->height() ? -1 : 0);
    if (!scroll.isNull()) {
        ScrollPanelTo(panelAt_ + scroll);
        const QSignalBlocker quietX(ScrollBarX), quietY(ScrollBarY);
        ScrollBarX->setValue(-panelAt_.x());
        ScrollBarY->setValue(-panelAt_.y());
    }
    for (size_t c = 0; c < 4; ++c) cornerHandleAt_[c] = Image3->pos(static_cast<int>(c));
    const bool firstStep = !shaping_;
    shaping_ = true;
    DrawDragFrame(firstStep);
}

void SceneView::node1MouseUp() {
    if (!shaping_) return;
    shaping_ = false;
    const V2dPolygon* target = MoveTarget(document_.focusedRecord());
    if (!IsModel(target)) return;
    document_.FinishModelShaping();
    if (target->kind == RecordKind::PictureModel)
        DrawOutline(target);
    else
        ClearOverlay();
    PlaceModelHandles(-2);
    UpdateScrollBarsForHandles();  // the bars the drag brought go unless needed
}

void SceneView::NodeMoveMouseMove(QPoint inHandle) {
    const V2dPolygon* target = MoveTarget(document_.focusedRecord());
    if (target == nullptr || target->kind == RecordKind::Region) return;
    // The handle goes as far as the model, in whole picture pixels; the rest
    // stays in the pointer's place inside the handle for the next step. The
    // outline would put the handle on its own centre, away from the pointer.
    const QPoint step = PicturePoint(inHandle);
    if (!document_.MoveFocusedModel(step.x(), step.y(), !moveStarted_).done()) return;
    const QPoint handleAt = Image3->pos(HandleLayer::kMove) +
                            QPoint(TruncToInt(step.x() * viewScale_), TruncToInt(step.y() * viewScale_));
    moveStarted_ = true;
    if (target->kind != RecordKind::CutOutModel) DrawOutline(target);
    Image3->move(HandleLayer::kMove, handleAt);
    MarksChanged();
}

void SceneView::NodeMoveMouseUp() {
    if (!moveStarted_) return;
    moveStarted_ = false;
    const V2dPolygon* target = MoveTarget(document_.focusedRecord());
    if (target == nullptr) return;
    document_.FinishModelMove();
    if (target->kind == RecordKind::ShadowRegion) return DrawOutline(target);
    if (target->kind == RecordKind::PictureModel)
        DrawOutline(target);
    else
        ClearOverlay();
    PlaceModelHandles(-2);
    if (target->kind == RecordKind::CutOutModel) SetHint(QString::fromUtf8(kCutOutHint));
}

}  // namespace v2d
