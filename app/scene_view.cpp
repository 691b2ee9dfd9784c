#include "app/scene_view.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDropEvent>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <cmath>

#include "app/key_table.h"
#include "app/picture_layer.h"
#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"
#include "library/product_pictures.h"
#include "library/product_descriptor.h"
#include "models/model_placement.h"

namespace v2d {

namespace {

constexpr QRgb kOutlineColour = 0xFFFFFF00;    // the program's 0x00FFFF, yellow
constexpr QRgb kModelFrameColour = 0xFFFF00FF;  // magenta

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

SceneView::SceneView(SceneDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
    setObjectName("PanelView");
    BuildLayers();
    BuildHelpPanel();
    BuildHandles();
    BuildZoom();

    connect(&document_, &SceneDocument::sceneReplaced, this, &SceneView::SceneReplaced);
    connect(&document_, &SceneDocument::changed, this, [this](const SceneChange& change) {
        if (change.aspects & ~ChangeAspects(ChangeAspect::Selection)) Image2->setPicture(document_.displayed());
        // The outline and handles follow the selection and the model's shape.
        if (change.touches(ChangeAspect::Selection) || change.touches(ChangeAspect::Geometry)) ShowSelection();
    });

    // Before any scheme: the background as it is, under a white overlay.
    Image2->setPicture(document_.scene().background);
    LayoutView();
    ShowOverlay(FreshOverlay());
}

// --- Building -------------------------------------------------------------------

void SceneView::BuildLayers() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    PanelBack = Named(new QWidget(this), QStringLiteral("PanelBack"));
    QPalette back = palette();
    back.setColor(QPalette::Window, kBackColour);
    for (QWidget* area : {static_cast<QWidget*>(this), PanelBack}) {
        area->setAutoFillBackground(true);
        area->setPalette(back);
    }
    PanelBack->setMinimumSize(200, 150);
    PanelBack->installEventFilter(this);

    PanelImage = Named(new QWidget(PanelBack), QStringLiteral("PanelImage"));
    PanelImage->setAutoFillBackground(true);  // its 1-pixel border around the picture
    Image2 = new PictureLayer(QStringLiteral("Image2"), PictureLayer::Keying::Opaque, PanelImage);
    Image3 = new PictureLayer(QStringLiteral("Image3"), PictureLayer::Keying::WhiteIsTransparent, PanelImage);
    Image3->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1 = new PictureLayer(QStringLiteral("Image1"), PictureLayer::Keying::WhiteIsTransparent, PanelImage);
    Image1->setMouseTracking(true);
    Image1->setAcceptDrops(true);
    Image1->installEventFilter(this);
    connect(Image1, &PictureLayer::mouseDown, this, &SceneView::Image1MouseDown);
    connect(Image1, &PictureLayer::mouseMoved, this, &SceneView::Image1MouseMove);
    connect(Image1, &PictureLayer::mouseUp, this, &SceneView::Image1MouseUp);

    ScrollBarX = Named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("ScrollBarX"));
    ScrollBarY = Named(new QScrollBar(Qt::Vertical, this), QStringLiteral("ScrollBarY"));
    connect(ScrollBarX, &QScrollBar::valueChanged, this, &SceneView::ScrollBarXScroll);
    connect(ScrollBarY, &QScrollBar::valueChanged, this, &SceneView::ScrollBarYScroll);
    // A bar that comes or goes leaves the visible area as it is, so nothing
    // moves under a handle being dragged.
    for (QScrollBar* bar : {ScrollBarX, ScrollBarY}) {
        QSizePolicy policy = bar->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        bar->setSizePolicy(policy);
    }

    grid->addWidget(PanelBack, 0, 0);
    grid->addWidget(ScrollBarY, 0, 1);
    grid->addWidget(ScrollBarX, 1, 0);
}

void SceneView::BuildHelpPanel() {
    PanelHelp = Named(new QFrame(PanelBack), QStringLiteral("PanelHelp"));
    PanelHelp->setAutoFillBackground(true);
    QPalette white = PanelHelp->palette();
    white.setColor(QPalette::Window, Qt::white);
    PanelHelp->setPalette(white);
    auto* helpLayout = new QHBoxLayout(PanelHelp);
    helpLayout->setContentsMargins(6, 3, 6, 3);
    LabelHelp = Named(new QLabel(PanelHelp), QStringLiteral("LabelHelp"));
    helpLayout->addWidget(LabelHelp);
    PanelHelp->move(4, 4);
}

void SceneView::BuildHandles() {
    static const char* const kNames[9] = {"node1", "node2", "node3", "node4", "node5",
                                          "node6", "node7", "node8", "NodeMove"};
    static const char* const kCaptions[9] = {"1", "2", "3", "4", "5", "6", "7", "8", "m"};
    static const Qt::CursorShape kCursors[9] = {
        Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeHorCursor,   Qt::SizeAllCursor};
    for (size_t i = 0; i < handles_.size(); ++i) {
        auto* handle = Named(new QLabel(QString::fromLatin1(kCaptions[i]), PanelBack), QString::fromLatin1(kNames[i]));
        handle->setFrameShape(QFrame::Box);
        handle->setAlignment(Qt::AlignCenter);
        handle->setAutoFillBackground(true);
        QFont tiny = handle->font();
        tiny.setPixelSize(8);
        handle->setFont(tiny);
        handle->setFixedSize(10, 10);
        handle->setCursor(kCursors[i]);
        handle->hide();
        handle->installEventFilter(this);
        handles_[i] = handle;
    }
}

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

    auto shortcut = [this](const char* name, MainKey keys, void (SceneView::*slot)()) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(KeysOf(keys));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    shortcut("ActionZoomIn", MainKey::ZoomIn, &SceneView::ZoomIn);
    shortcut("ActionZoomOut", MainKey::ZoomOut, &SceneView::ZoomOut);
    shortcut("ActionZoomFit", MainKey::ZoomToFit, &SceneView::ZoomToFit);
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

QImage SceneView::FreshOverlay() const {
    const QImage& background = document_.scene().background;
    if (background.isNull()) return {};
    QImage overlay(background.size() * viewScale_, QImage::Format_RGB32);
    overlay.fill(Qt::white);
    return overlay;
}

void SceneView::ShowOverlay(const QImage& overlay) {
    overlay_ = overlay;
    if (!overlay_.isNull()) overlay_.setPixel(0, overlay_.height() - 1, 0xFFFFFFFF);
    Image3->setPicture(overlay_);
    Image1->setPicture(overlay_);
}

void SceneView::ClearOverlay() {
    overlay_ = QImage();
    Image1->clearPicture();
    Image3->clearPicture();
}

QPoint SceneView::ViewOffsetInPanelBack() const { return PanelImage->pos() + Image1->pos(); }

void SceneView::LayoutView() {
    const QSize picture = document_.scene().background.size() * viewScale_;
    const QSize panel = picture + QSize(2, 2);
    PanelImage->resize(panel);
    for (PictureLayer* layer : {Image2, Image3, Image1}) layer->setGeometry(1, 1, picture.width(), picture.height());

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
    PanelImage->lower();
}

// The handles sit on PanelBack beside the picture panel and move with it.
void SceneView::ScrollPanelTo(QPoint topLeft) {
    const QPoint before = PanelImage->pos();
    PanelImage->move(topLeft);
    const QPoint delta = PanelImage->pos() - before;
    if (delta.isNull()) return;
    for (QLabel* handle : handles_)
        if (handle->isVisible()) handle->move(handle->pos() + delta);
    for (QPoint& at : cornerHandleAt_) at += delta;
}

// The bars sit beside PanelBack, not over it, so the other bar takes nothing
// from the visible area.
void SceneView::ScrollBarXScroll(int position) {
    const int panel = PanelImage->width();
    if (panel <= PanelBack->width()) return;
    ScrollPanelTo(QPoint(ScrolledPanelOffset(position, panel, PanelBack->width(), 0), PanelImage->y()));
}

void SceneView::ScrollBarYScroll(int position) {
    const int panel = PanelImage->height();
    if (panel <= PanelBack->height()) return;
    ScrollPanelTo(QPoint(PanelImage->x(), ScrolledPanelOffset(position, panel, PanelBack->height(), 0)));
}

bool SceneView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PanelBack && event->type() == QEvent::Resize) LayoutView();
    if ((watched == PanelBack || watched == Image1) && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        return WheelOverView(wheel, static_cast<QWidget*>(watched)->mapTo(PanelBack, wheel->position().toPoint()));
    }
    if (watched == Image1 && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasFormat(kProductDragFormat) && !document_.product().picture.isNull())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    if (watched == Image1 && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasFormat(kProductDragFormat)) return false;
        drop->acceptProposedAction();
        // The scene changes, and questions are asked, once the drag has ended.
        QMetaObject::invokeMethod(this, [this, at = drop->position().toPoint()] { Image1DragDrop(at); },
                                  Qt::QueuedConnection);
        return true;
    }
    for (size_t k = 0; k < handles_.size(); ++k)
        if (watched == handles_[k]) return HandleEvent(static_cast<int>(k), event);
    return QWidget::eventFilter(watched, event);
}

bool SceneView::HandleEvent(int k, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress) return mouse->button() == Qt::LeftButton;  // keeps the moves coming here
    if (type == QEvent::MouseMove) {
        if (!mouse->buttons().testFlag(Qt::LeftButton)) return false;
        if (k == 8)
            NodeMoveMouseMove(mouse->position().toPoint());
        else
            node1MouseMove(k, mouse->modifiers(), mouse->position().toPoint());
        return true;
    }
    if (mouse->button() != Qt::LeftButton) return false;
    const V2dPolygon* target = MoveTarget(document_.focusedRecord());
    if ((k == 6 || k == 7) && !shaping_ && target != nullptr && target->kind == RecordKind::CutOutModel) {
        emit rotationFrameClicked(k == 6 ? -1 : 1);  // the side handles turn a cut-out
        return true;
    }
    k == 8 ? NodeMoveMouseUp() : node1MouseUp();
    return true;
}

// --- Selection ------------------------------------------------------------------

void SceneView::SceneReplaced() {
    ClearSelection();
    viewScale_ = ClampZoom(viewScale_, document_.scene().background.size());
    Image2->setZoom(viewScale_);
    LayoutView();
    ShowZoomInBox();
}

void SceneView::ClearSelection() {
    ClearOverlay();
    cornerHandleAt_ = {};
    for (QLabel* handle : handles_) handle->hide();
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
    QImage overlay = FreshOverlay();
    if (overlay.isNull()) return;
    std::vector<V2d_Point> shown =
        record->kind == RecordKind::PictureModel ? DisplayedModelOutline(*record, Mapper()) : record->points;
    if (record->kind == RecordKind::ShadowRegion)
        for (V2d_Point& p : shown) p.x += record->originX, p.y += record->originY;
    {
        QPainter painter(&overlay);
        QPen pen(QColor::fromRgb(kOutlineColour), 1);
        pen.setCosmetic(true);  // one pixel at every zoom
        painter.setPen(pen);
        painter.scale(viewScale_, viewScale_);
        painter.drawPath(OutlinePath(shown, record->indexList));
    }
    if (const PixelBox box = BoxOf(shown); !box.empty()) {
        QLabel* move = handles_[8];
        const QPoint centre((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2);
        move->move(QPoint(TruncToInt(centre.x() * viewScale_), TruncToInt(centre.y() * viewScale_)) +
                   ViewOffsetInPanelBack() - QPoint(move->width() / 2, move->height() / 2));
    }
    ShowOverlay(overlay);
}

void SceneView::PlaceModelHandles(int skip) {
    const V2dPolygon* focused = document_.focusedRecord();
    if (focused == nullptr) return;
    const V2dPolygon* target = MoveTarget(focused);
    if (target->isRegion()) return;

    const bool cutOut = target->kind == RecordKind::CutOutModel;
    for (size_t edge : {size_t{6}, size_t{7}}) {
        handles_[edge]->setText(cutOut ? QStringLiteral("r") : QString::number(edge + 1));
        handles_[edge]->setCursor(cutOut ? Qt::PointingHandCursor : Qt::SizeHorCursor);
    }
    const auto at = ModelHandlePositions(*target, viewScale_, ViewOffsetInPanelBack(), handles_[8]->width());
    for (size_t k = 0; k < handles_.size(); ++k) {
        if (static_cast<int>(k) != skip) handles_[k]->move(at[k]);
        handles_[k]->show();
        handles_[k]->raise();
    }
    for (size_t c = 0; c < 4; ++c) cornerHandleAt_[c] = at[c];
    if (skip != -1) DrawModelFrame();
}

// Through the pixel centres, so each corner's own pixel is drawn.
QPolygonF SceneView::FramePolygon() const {
    QPolygonF quad;
    for (const QPoint& corner : cornerHandleAt_) quad << QPointF(corner - ViewOffsetInPanelBack()) + QPointF(0.5, 0.5);
    return quad;
}

void SceneView::DrawModelFrame() {
    QImage overlay = overlay_.isNull() ? FreshOverlay() : overlay_.copy();
    if (overlay.isNull()) return;
    {
        QPainter painter(&overlay);
        painter.setPen(QPen(QColor::fromRgb(kModelFrameColour), 1));
        painter.drawPolygon(FramePolygon());
    }
    ShowOverlay(overlay);
}

// While a handle is dragged only the frame changes: the area it covered
// last and the area it covers now are drawn again, nothing else.
void SceneView::DrawDragFrame(bool firstStep) {
    if (firstStep || overlay_.isNull()) {
        ShowOverlay(FreshOverlay());
        dragFrame_ = {};
    }
    if (overlay_.isNull()) return;
    const QPolygonF quad = FramePolygon();
    const QRect frame = quad.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1) & overlay_.rect();
    const QRect changed = frame | dragFrame_;
    Image1->releasePicture();  // a shared overlay would be copied whole for each step
    Image3->releasePicture();
    {
        QPainter painter(&overlay_);
        painter.fillRect(dragFrame_, Qt::white);
        painter.setPen(QPen(QColor::fromRgb(kModelFrameColour), 1));
        painter.drawPolygon(quad);
    }
    overlay_.setPixel(0, overlay_.height() - 1, 0xFFFFFFFF);
    dragFrame_ = frame;
    Image3->setPicture(overlay_, changed);
    Image1->setPicture(overlay_, changed);
}

void SceneView::UpdateScrollBarsForHandles() {
    QRect reach;
    for (QLabel* handle : handles_)
        if (handle->isVisible()) reach = reach.united(handle->geometry());
    ScrollBarX->setVisible(reach.left() < 0 || reach.right() >= PanelBack->width() ||
                           PanelImage->width() > PanelBack->width());
    ScrollBarY->setVisible(reach.top() < 0 || reach.bottom() >= PanelBack->height() ||
                           PanelImage->height() > PanelBack->height());
}

// --- Zoom -------------------------------------------------------------------------

void SceneView::SetZoom(double zoom) { ZoomAbout(zoom, QRect(QPoint(), PanelBack->size()).center()); }
void SceneView::ZoomIn() { SetZoom(SteppedZoom(viewScale_, +1, document_.scene().background.size())); }
void SceneView::ZoomOut() { SetZoom(SteppedZoom(viewScale_, -1, document_.scene().background.size())); }
void SceneView::ZoomToFit() { SetZoom(FitZoom(document_.scene().background.size(), PanelBack->size())); }

void SceneView::ZoomAbout(double zoom, QPoint anchor) {
    const QSize picture = document_.scene().background.size();
    zoom = ClampZoom(zoom, picture);
    if (zoom != viewScale_ && !picture.isEmpty()) {
        const QPointF under = QPointF(anchor - ViewOffsetInPanelBack()) / viewScale_;
        viewScale_ = zoom;
        Image2->setZoom(zoom);
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

void SceneView::SetHint(const QString& text) {
    LabelHelp->setText(ShownText(text));
    PanelHelp->adjustSize();
}

void SceneView::ShowHelpText(const QString& text) {
    SetHint(text);
    LabelHelp->show();
    PanelHelp->setVisible(!hintsHidden_);
    PanelHelp->adjustSize();
    PanelHelp->raise();
}

void SceneView::HideHelp() {
    LabelHelp->hide();
    PanelHelp->hide();
}

void SceneView::SetHintsHidden(bool hidden) {
    hintsHidden_ = hidden;
    PanelHelp->setVisible(!hidden && !LabelHelp->isHidden());
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
        if (menu != nullptr) menu->popup(Image1->mapToGlobal(at));
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
    QImage overlay = FreshOverlay();
    if (overlay.isNull() || dragCurrent_ == dragStart_) return;
    if (const std::optional<Quad> preview = RectanglePreview(*focused)) {
        QPainter painter(&overlay);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        QPolygonF band;
        for (const V2d_Point& p : *preview) band << QPointF(p.x, p.y) * viewScale_;
        painter.drawPolygon(band);
    }
    ShowOverlay(overlay);
}

// A model whose category is drawn in perspective follows the region's
// plane; anything else is a rectangle on the screen.
std::optional<Quad> SceneView::RectanglePreview(const V2dPolygon& region) const {
    const V2d_Point start{dragStart_.x(), dragStart_.y()}, end{dragCurrent_.x(), dragCurrent_.y()};
    const CurrentProduct& product = document_.product();
    if (product.dragKind == DragKind::Model && DrawnInPerspective(ProductDescriptor::Parse(product.descriptor).subTypeMemo))
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
    return PicturePathsOf(ToPath(dropSupport_.workspaceFolder), ProductDescriptor::Parse(document_.product().descriptor).number)
        .model;
}

void SceneView::ShowError(const std::string& message) {
    if (dropSupport_.prompts != nullptr) dropSupport_.prompts->Show(window(), FromUtf8(message));
}

void SceneView::PlaceModelInRectangle(const V2dPolygon& region) {
    const std::optional<Quad> corners = RectanglePreview(region);
    const std::string& descriptor = document_.product().descriptor;
    const Outcome placed =
        corners ? document_.PlaceModelInRectangle(ModelFileOfProduct(), descriptor, *corners) : Outcome::NothingToDo();
    if (placed.refused()) ShowError(placed.error());
    if (!placed) DrawOutline(&region);  // the band goes, the region stays chosen
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
    const std::string& descriptor = document_.product().descriptor;
    ModelDrop drop;
    drop.modelFile = ModelFileOfProduct();
    drop.descriptor = descriptor;
    drop.point = {point.x(), point.y()};
    drop.target = document_.ModelDropTarget(drop.point);
    std::error_code missing;
    if (ProductDescriptor::Parse(descriptor).subTypeMemo != kDecorationLine &&
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
    HandlePositions at;
    for (size_t i = 0; i < at.size(); ++i) at[i] = handles_[i]->pos();
    DragHandle(at, k, inHandle, modifiers.testFlag(Qt::ShiftModifier), target->kind == RecordKind::CutOutModel);
    for (size_t i = 0; i < at.size(); ++i) handles_[i]->move(at[i]);
    document_.ShapeFocusedModel(at, ViewOffsetInPanelBack(), viewScale_);
    // A handle pulled past the visible area takes the picture along, a pixel a step.
    const QPoint pulled = at[k];
    const QPoint scroll(pulled.x() < 0 ? 1 : pulled.x() > PanelBack->width() ? -1 : 0,
                        pulled.y() < 0 ? 1 : pulled.y() > PanelBack->height() ? -1 : 0);
    if (!scroll.isNull()) {
        ScrollPanelTo(PanelImage->pos() + scroll);
        const QSignalBlocker quietX(ScrollBarX), quietY(ScrollBarY);
        ScrollBarX->setValue(-PanelImage->x());
        ScrollBarY->setValue(-PanelImage->y());
    }
    for (size_t c = 0; c < 4; ++c) cornerHandleAt_[c] = handles_[c]->pos();
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
    if (!document_.MoveFocusedModel(step.x(), step.y(), !moveStarted_)) return;
    QLabel* move = handles_[8];
    const QPoint handleAt = move->pos() + QPoint(TruncToInt(step.x() * viewScale_), TruncToInt(step.y() * viewScale_));
    moveStarted_ = true;
    if (target->kind != RecordKind::CutOutModel) DrawOutline(target);
    move->move(handleAt);
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
