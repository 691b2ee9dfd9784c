// The product panel's controls and the bottom bar joined to their handlers,
// and the progress bar that long operations report on.
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

#include "app/uformmain.h"

namespace v2d {

void TFormMain::ConnectRenderingControls() {
    hooks.applyProduct = [this] { BitBtnApplyClick(); };
    hooks.undo = [this] { SpeedButtonUndoClick(); };
    hooks.rectangleDrawn = [this](QPoint start, QPoint end, V2dPolygon* region) {
        LayProductInRectangle(start, end, region);
    };

    connect(TrackBarLight, &QSlider::valueChanged, this, [this] { TrackBarLightChange(); });
    connect(TrackBarReflect, &QSlider::valueChanged, this, [this] { TrackBarReflectChange(); });
    connect(EditLighten, &QLineEdit::textChanged, this, [this] { EditLightenChange(); });
    connect(EditReflect, &QLineEdit::textChanged, this, [this] { EditReflectChange(); });
    // EditLightenKeyPress / EditReflectKeyPress: digits (and "-" for brightness) only.
    EditLighten->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9]*")), EditLighten));
    EditReflect->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), EditReflect));
    ShapeColor->setCursor(Qt::PointingHandCursor);
    connect(SButtonColor, &QToolButton::clicked, this, [this] { SButtonColorClick(); });
}

bool TFormMain::FilterRenderingControls(QObject* watched, QEvent* event) {
    if (watched == ShapeColor && event->type() == QEvent::MouseButtonPress) {
        ShapeColorMouseDown();
        return true;
    }
    // A drag on a track bar renders nothing while the button is held; once
    // the slider has taken the release, the handler runs for the final value.
    if ((watched == TrackBarLight || watched == TrackBarReflect) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        QMetaObject::invokeMethod(
            this, [this, light = watched == TrackBarLight] { light ? TrackBarLightChange() : TrackBarReflectChange(); },
            Qt::QueuedConnection);
    }
    return false;
}

Progress TFormMain::ProgressCallback() {
    ProgressBar1->setValue(0);
    // Repainting only the bar keeps the window from handling other input or
    // timers in the middle of a render.
    return [bar = ProgressBar1](int percent) {
        percent = std::clamp(percent, 0, 100);
        if (percent == bar->value()) return;
        bar->setValue(percent);
        bar->repaint();
    };
}

}  // namespace v2d
