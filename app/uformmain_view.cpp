// The scene view: layers, selection, outline, handles, scrolling and keys.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QCheckBox>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <cmath>

#include "app/picture_layer.h"
#include "app/uformmain.h"

namespace v2d {

namespace {

constexpr QRgb kOutlineColour = 0xFFFFFF00;  // the program's 0x00FFFF, yellow
constexpr QRgb kModelFrameColour = 0xFFFF00FF;  // magenta

const char* const kModelHint =
    "你可以拖动物体中心按钮，对模型移动！拖拽四个角点或中点可以改变物体透视，shift按下时保持水平或垂直。";
const char* const kRegionHint = "请点击选择产品！或者点击开始铺贴！";
const char* const kCutOutHint = "旋转模型角度请按快捷键R,或点击左右按钮";

int Truncated(double value) { return static_cast<int>(std::trunc(value)); }

}  // namespace

// --- Layers and layout --------------------------------------------------------

QImage TFormMain::FreshOverlay() const {
    if (scene_.background.isNull()) return {};
    QImage overlay(scene_.background.size() * viewScale_, QImage::Format_RGB32);
    overlay.fill(Qt::white);
    return overlay;
}

void TFormMain::ShowOverlay(const QImage& overlay) {
    overlay_ = overlay;
    if (!overlay_.isNull()) overlay_.setPixel(0, overlay_.height() - 1, 0xFFFFFFFF);
    Image3->setPicture(overlay_);
    Image1->setPicture(overlay_);
}

void TFormMain::ClearOverlay() {
    overlay_ = QImage();
    Image1->clearPicture();
    Image3->clearPicture();
}

void TFormMain::setSceneComposer(std::function<QImage(const Scene&)> composer) { composer_ = std::move(composer); }

const QImage& TFormMain::displayedScene() const { return displayed_; }

void TFormMain::RedrawScene() {
    if (composer_) {
        displayed_ = composer_(scene_);
        Image2->setPicture(displayed_);
        return;
    }
    renderer_.QuickRedraw(ProgressCallback());
    ShowRenderedScene();
}

void TFormMain::RedrawScene(V2dPolygon* changed) {
    renderer_.RedrawScene(changed, ProgressCallback());
    ShowRenderedScene();
}

void TFormMain::ShowRenderedScene() {
    displayed_ = renderer_.displayed();
    Image2->setPicture(displayed_);
}

QPoint TFormMain::ViewOffsetInPanelBack() const { return PanelImage->pos() + Image1->pos(); }

void TFormMain::LayoutView() {
    if (PanelImage == nullptr) return;
    const QSize picture = scene_.background.size() * viewScale_;
    const QSize panel = picture + QSize(2, 2);
    PanelImage->resize(panel);
    for (PictureLayer* layer : {Image2, Image3, Image1}) layer->setGeometry(1, 1, picture.width(), picture.height());

    const bool wide = panel.width() > PanelBack->width();
    const bool tall = panel.height() > PanelBack->height();
    ScrollBarX->setVisible(wide);
    ScrollBarY->setVisible(tall);
    ScrollBarX->setRange(0, panel.width());
    ScrollBarY->setRange(0, panel.height());
    const QPoint before = PanelImage->pos();
    const int left = wide ? ScrolledPanelOffset(ScrollBarX->value(), panel.width(), PanelBack->width(), 0)
                          : CentredOffset(PanelBack->width(), panel.width());
    const int top = tall ? ScrolledPanelOffset(ScrollBarY->value(), panel.height(), PanelBack->height(), 0)
                         : CentredOffset(PanelBack->height(), panel.height());
    PanelImage->move(left, top);
    MoveHandlesBy(PanelImage->pos() - before);
    PanelImage->lower();
}

void TFormMain::MoveHandlesBy(QPoint delta) {
    if (delta.isNull()) return;
    for (QLabel* handle : handles)
        if (handle->isVisible()) handle->move(handle->pos() + delta);
    for (QPoint& at : cornerHandleAt_) at += delta;
}

// The bars sit beside PanelBack, not over it, so the other bar takes nothing
// from the visible area.
void TFormMain::ScrollBarXScroll(int position) {
    const int panel = PanelImage->width();
    if (panel <= PanelBack->width()) return;
    const int left = ScrolledPanelOffset(position, panel, PanelBack->width(), 0);
    const QPoint before = PanelImage->pos();
    PanelImage->move(left, before.y());
    MoveHandlesBy(PanelImage->pos() - before);
}

void TFormMain::ScrollBarYScroll(int position) {
    const int panel = PanelImage->height();
    if (panel <= PanelBack->height()) return;
    const int top = ScrolledPanelOffset(position, panel, PanelBack->height(), 0);
    const QPoint before = PanelImage->pos();
    PanelImage->move(before.x(), top);
    MoveHandlesBy(PanelImage->pos() - before);
}

void TFormMain::RefreshRegionList() {
    const std::vector<int> selected = SelectedIndices();
    const int current = ListBoxPoly->currentRow();
    const QSignalBlocker quiet(ListBoxPoly);
    if (ListBoxPoly->count() != scene_.count()) {
        ListBoxPoly->clear();
        for (int i = 0; i < scene_.count(); ++i) ListBoxPoly->addItem(QString());
    }
    for (int i = 0; i < scene_.count(); ++i) {
        const std::string text = scene_.ListText(i);
        ListBoxPoly->item(i)->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    if (current >= 0 && current < ListBoxPoly->count())
        ListBoxPoly->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    for (int i : selected)
        if (i < ListBoxPoly->count()) ListBoxPoly->item(i)->setSelected(true);
}

// --- Selection ------------------------------------------------------------------

int TFormMain::HitTest(int x, int y) const {
    const OutlineMapper mapper = [this](std::span<const V2d_Point> points, const Quad& quad) {
        return imageLibrary_.PsTransPoint(points, quad);
    };
    return v2d::HitTest(scene_, x, y, mapper);
}

int TFormMain::CurrentIndex() const { return ListBoxPoly->currentRow(); }

std::vector<int> TFormMain::SelectedIndices() const {
    std::vector<int> rows;
    for (const QListWidgetItem* item : ListBoxPoly->selectedItems()) rows.push_back(ListBoxPoly->row(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TFormMain::SelectRecord(int index, bool addToSelection) {
    if (!addToSelection) ListBoxPoly->clearSelection();
    if (index >= 0 && index < scene_.count()) {
        ListBoxPoly->setCurrentRow(index, QItemSelectionModel::Select);
        scene_.CurPoly = scene_.at(index);
    } else {
        ListBoxPoly->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
        scene_.CurPoly = nullptr;
    }
    ListBoxPolyClick();
}

void TFormMain::ClearSelection() {
    outlinePoints_.clear();
    outlineIndex_.clear();
    scene_.CurPoly = nullptr;
    ClearOverlay();
    cornerHandleAt_ = {};
    for (QLabel* handle : handles) handle->hide();
}

void TFormMain::SetSliders(const V2dPolygon& record) {
    TrackBarReflect->setValue(record.reflect);
    TrackBarLight->setValue(record.lighten);
}

void TFormMain::SetHint(const QString& text) {
    LabelHelp->setText(text);
    PanelHelp->adjustSize();
}

void TFormMain::ListBoxPolyClick() {
    LabelPro->setText(QStringLiteral("处理进度"));
    ClearSelection();
    const int i = ListBoxPoly->currentRow();
    const bool has = i >= 0 && i < scene_.count();
    BitBtnApply->setEnabled(has);
    SpeedButtonEffect->setEnabled(has);
    if (!has) return;

    V2dPolygon* record = scene_.at(i);
    scene_.CurPoly = record;
    SetSliders(*record);
    if (record->kind == kCutOutModel) {
        PlaceModelHandles(-2);
    } else {
        outlinePoints_ = record->points;
        outlineIndex_ = record->indexList;
        if (record->group != nullptr) {
            PlaceModelHandles(-2);  // the frame of the whole model
        } else {
            DrawOutline(record);
            if (record->kind == kPictureModel) {
                PlaceModelHandles(-2);
                UpdateScrollBarsForHandles();
            }
        }
    }
    LabelReflect->setText(record->kind == kPictureModel ? QStringLiteral("透明") : QStringLiteral("反射"));

    for (int companion : CompanionSelection(scene_, i)) ListBoxPoly->item(companion)->setSelected(true);
    ListBoxPoly->update();

    if (record->kind == kPictureModel)
        SetHint(QString::fromUtf8(kModelHint));
    else if (record->kind == kCutOutModel)
        SetHint(QString::fromUtf8(kCutOutHint));
    else
        SetHint(QString::fromUtf8(kRegionHint));
}

void TFormMain::SpeedButtonClearClick() {
    BitBtnApply->setEnabled(false);
    SpeedButtonEffect->setEnabled(false);
    ClearSelection();
    ListBoxPoly->clearSelection();
    ListBoxPoly->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
}

void TFormMain::CheckBoxHelpClick() {
    PanelHelp->setVisible(!CheckBoxHelp->isChecked() && !LabelHelp->isHidden());
}

void TFormMain::ShowHelpText(const QString& text) {
    SetHint(text);
    LabelHelp->show();
    PanelHelp->setVisible(!CheckBoxHelp->isChecked());
    PanelHelp->adjustSize();
    PanelHelp->raise();
}

void TFormMain::DrawOutline(const V2dPolygon* record) {
    if (record == nullptr) return;
    QImage overlay = FreshOverlay();
    if (overlay.isNull()) return;
    std::vector<V2d_Point> shown = record->kind == kPictureModel ? DisplayedModelOutline(*record, nullptr)
                                                                 : record->points;
    if (record->kind == kShadowRegion)
        for (V2d_Point& p : shown) p.x += record->originX, p.y += record->originY;
    {
        QPainter painter(&overlay);
        painter.setPen(QPen(QColor::fromRgb(kOutlineColour), 1));
        painter.scale(viewScale_, viewScale_);
        painter.drawPath(OutlinePath(shown, record->indexList));
    }
    if (const PixelBox box = BoxOf(shown); !box.empty()) {
        QLabel* move = handles[8];
        const QPoint centre((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2);
        move->move(QPoint(Truncated(centre.x() * viewScale_), Truncated(centre.y() * viewScale_)) +
                   ViewOffsetInPanelBack() - QPoint(move->width() / 2, move->height() / 2));
    }
    ShowOverlay(overlay);
}

void TFormMain::PlaceModelHandles(int skip) {
    const int i = ListBoxPoly->currentRow();
    if (i < 0 || i >= scene_.count()) return;
    const V2dPolygon* target = MoveTarget(scene_.at(i));
    if (target->kind == kRegion || target->kind == kShadowRegion) return;

    const bool cutOut = target->kind == kCutOutModel;
    for (size_t edge : {size_t{6}, size_t{7}}) {
        handles[edge]->setText(cutOut ? QStringLiteral("r") : QString::number(edge + 1));
        handles[edge]->setCursor(cutOut ? Qt::PointingHandCursor : Qt::SizeHorCursor);
    }
    const auto at = ModelHandlePositions(*target, viewScale_, ViewOffsetInPanelBack(), handles[8]->width());
    for (size_t k = 0; k < handles.size(); ++k) {
        if (static_cast<int>(k) != skip) handles[k]->move(at[k]);
        handles[k]->show();
        handles[k]->raise();
    }
    for (size_t c = 0; c < 4; ++c) cornerHandleAt_[c] = at[c];
    if (skip != -1) DrawModelFrame();
}

void TFormMain::DrawModelFrame() {
    QImage overlay = overlay_.isNull() ? FreshOverlay() : overlay_.copy();
    if (overlay.isNull()) return;
    {
        QPainter painter(&overlay);
        painter.setPen(QPen(QColor::fromRgb(kModelFrameColour), 1));
        QPolygonF quad;
        for (const QPoint& corner : cornerHandleAt_) quad << QPointF(corner - ViewOffsetInPanelBack());
        painter.drawPolygon(quad);
    }
    ShowOverlay(overlay);
}

void TFormMain::UpdateScrollBarsForHandles() {
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (QLabel* handle : handles) {
        if (!handle->isVisible()) continue;
        const QRect r = handle->geometry();
        minX = first ? r.left() : std::min(minX, r.left());
        maxX = first ? r.right() : std::max(maxX, r.right());
        minY = first ? r.top() : std::min(minY, r.top());
        maxY = first ? r.bottom() : std::max(maxY, r.bottom());
        first = false;
    }
    ScrollBarX->setVisible(minX < 0 || maxX >= PanelBack->width() || PanelImage->width() > PanelBack->width());
    ScrollBarY->setVisible(minY < 0 || maxY >= PanelBack->height() || PanelImage->height() > PanelBack->height());
}

// --- Mouse ----------------------------------------------------------------------

void TFormMain::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at) {
    const QPoint point(Truncated(at.x() / viewScale_), Truncated(at.y() / viewScale_));
    if (button == Qt::RightButton) {
        Image1->clearPicture();
        contextMenu_->popup(QCursor::pos());
        return;
    }
    const OutlineMapper mapper = [this](std::span<const V2d_Point> points, const Quad& quad) {
        return imageLibrary_.PsTransPoint(points, quad);
    };
    const int i = ClickTarget(scene_, HitTestRecord(scene_, point.x(), point.y(), mapper));
    SelectRecord(i, modifiers.testFlag(Qt::ControlModifier));

    const V2dPolygon* record = i >= 0 ? scene_.at(i) : nullptr;
    const bool model = record != nullptr && (record->kind == kPictureModel || record->kind == kCutOutModel);
    contextMenu_ = model ? PopupMenuModel : PopupMenu2;
    if (scene_.CurPoly != nullptr && scene_.CurPoly->kind == kRegion) {
        dragging_ = true;
        dragStart_ = dragCurrent_ = point;
    }
}

void TFormMain::Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint at) {
    if (!buttons.testFlag(Qt::LeftButton) || !dragging_ || scene_.CurPoly == nullptr ||
        scene_.CurPoly->kind != kRegion)
        return;
    dragCurrent_ = QPoint(Truncated(at.x() / viewScale_), Truncated(at.y() / viewScale_));
    QImage overlay = FreshOverlay();
    if (overlay.isNull() || dragCurrent_ == dragStart_) return;
    if (DragKind != 1 || !hooks.drawModelBand || !hooks.drawModelBand(dragStart_, dragCurrent_, scene_.CurPoly, overlay)) {
        QPainter painter(&overlay);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        QPolygonF band;
        for (const QPoint& p : RubberBand(dragStart_, dragCurrent_)) band << QPointF(p) * viewScale_;
        painter.drawPolygon(band);
    }
    ShowOverlay(overlay);
}

void TFormMain::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint at) {
    if (button != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    dragCurrent_ = QPoint(Truncated(at.x() / viewScale_), Truncated(at.y() / viewScale_));
    if (scene_.CurPoly == nullptr || scene_.CurPoly->kind != kRegion) return;
    if (!RubberBandLargeEnough(dragStart_, dragCurrent_) || productPicture_.isNull()) return;
    if (hooks.rectangleDrawn) hooks.rectangleDrawn(dragStart_, dragCurrent_, scene_.CurPoly);
}

// --- Keys -------------------------------------------------------------------------

bool TFormMain::FormShortCut(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Z && modifiers.testFlag(Qt::ControlModifier)) {
        if (hooks.undo) hooks.undo();
        return true;
    }
    if (key == Qt::Key_R && !modifiers.testFlag(Qt::ControlModifier) && scene_.CurPoly != nullptr) {
        if (hooks.nextRotationFrame) hooks.nextRotationFrame();
        return true;
    }
    int dx = 0, dy = 0;
    switch (key) {
        case Qt::Key_Left: dx = -1; break;
        case Qt::Key_Right: dx = 1; break;
        case Qt::Key_Up: dy = -1; break;
        case Qt::Key_Down: dy = 1; break;
        default: return false;
    }
    if (CurrentIndex() < 0) return false;
    V2dPolygon* target = MoveTarget(scene_.CurPoly);
    if (!NudgeModel(target, dx, dy)) return false;
    RedrawScene();
    DrawOutline(target);
    PlaceModelHandles(-2);
    // Left stops here; the others reach the focused control as well.
    return key == Qt::Key_Left;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PanelBack && event->type() == QEvent::Resize) {
        LayoutView();
        return false;
    }
    if (FilterRenderingControls(watched, event)) return true;
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QMainWindow::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this || QApplication::activeModalWidget() != nullptr) return false;
    // A key travels from the focused control up to the window; act once, at its first stop.
    QWidget* focus = QApplication::focusWidget();
    const bool firstStop = focus != nullptr && focus->window() == this ? widget == focus : widget == this;
    if (!firstStop) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return FormShortCut(key->key(), key->modifiers());
}

}  // namespace v2d
