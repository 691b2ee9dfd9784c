// The view's "原图对比": its toggle, its key, its split slider and the line
// dragged on the picture.
#include <QBoxLayout>
#include <QCursor>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <cmath>

#include "app/before_after_layer.h"
#include "app/key_table.h"
#include "app/scene_view.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
constexpr int kSliderSteps = 1000;
}  // namespace

void SceneView::BuildBeforeAfter() {
    ImageBefore = new BeforeAfterLayer(this);
    SpeedButtonBeforeAfter = Named(new QToolButton(this), QStringLiteral("SpeedButtonBeforeAfter"));
    SpeedButtonBeforeAfter->setText(tr("原图对比"));
    SpeedButtonBeforeAfter->setCheckable(true);
    SpeedButtonBeforeAfter->setToolTip(tr("原图与效果左右对照，拖动分界线 (B)"));
    SpeedButtonBeforeAfter->hide();  // until the main window puts it in its status bar
    SliderBeforeAfter = Named(new QSlider(Qt::Horizontal, this), QStringLiteral("SliderBeforeAfter"));
    SliderBeforeAfter->setRange(0, kSliderSteps);
    SliderBeforeAfter->setValue(kSliderSteps / 2);
    SliderBeforeAfter->setFixedWidth(140);
    SliderBeforeAfter->setToolTip(tr("原图与效果的分界线"));
    SliderBeforeAfter->hide();
    connect(SpeedButtonBeforeAfter, &QToolButton::toggled, this, &SceneView::SetBeforeAfter);
    connect(SliderBeforeAfter, &QSlider::valueChanged, this,
            [this](int value) { SetBeforeAfterSplit(double(value) / kSliderSteps); });
    AddShortcut("ActionBeforeAfter", MainKey::BeforeAfter, &SceneView::ToggleBeforeAfter);
}

void SceneView::AddBeforeAfterTo(QBoxLayout& row) {
    row.addWidget(SpeedButtonBeforeAfter);
    row.addWidget(SliderBeforeAfter);
    SpeedButtonBeforeAfter->show();
    SliderBeforeAfter->setVisible(ImageBefore->active());
}

bool SceneView::beforeAfterShown() const { return ImageBefore->active(); }

double SceneView::beforeAfterSplit() const { return ImageBefore->split(); }

void SceneView::SetBeforeAfter(bool shown) {
    if (shown == ImageBefore->active()) return;
    ImageBefore->setActive(shown);
    pressed_ = Pressed::Nothing;
    {
        const QSignalBlocker quiet(SpeedButtonBeforeAfter);
        SpeedButtonBeforeAfter->setChecked(shown);
    }
    // The slider shows only where the button was put into a row.
    if (SpeedButtonBeforeAfter->isVisibleTo(window())) SliderBeforeAfter->setVisible(shown);
    UpdateCursor(PanelBack->mapFromGlobal(QCursor::pos()));
    PanelBack->update();
}

void SceneView::ToggleBeforeAfter() { SetBeforeAfter(!ImageBefore->active()); }

void SceneView::SetBeforeAfterSplit(double split) {
    ImageBefore->setSplit(split);
    {
        const QSignalBlocker quiet(SliderBeforeAfter);
        SliderBeforeAfter->setValue(static_cast<int>(std::lround(ImageBefore->split() * kSliderSteps)));
    }
    if (ImageBefore->active()) PanelBack->update();
}

void SceneView::MoveSplitTo(QPoint at) {
    const QRect picture = PictureArea();
    if (picture.width() <= 0) return;
    SetBeforeAfterSplit(double(at.x() - picture.left()) / picture.width());
}

}  // namespace v2d
