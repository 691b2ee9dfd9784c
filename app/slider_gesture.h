#pragma once
// A slider dragged from press to release is one step of the document's
// history, whatever the number of values it passes on the way.
#include <QSlider>
#include <QTimer>

#include "document/scene_document.h"

namespace v2d {

inline void MakeDragOneStep(QSlider* slider, SceneDocument& document) {
    QObject::connect(slider, &QSlider::sliderPressed, &document, [&document] { document.BeginGesture(); });
    // The value the release itself applies comes first.
    QObject::connect(slider, &QSlider::sliderReleased, &document,
                     [&document] { QTimer::singleShot(0, &document, [&document] { document.EndGesture(); }); });
}

}  // namespace v2d
