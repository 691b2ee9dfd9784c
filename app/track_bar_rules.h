#pragma once
// The rules every rendering track bar with an edit box follows.
#include <QGuiApplication>
#include <QLineEdit>
#include <QSlider>

#include "base/integer_text.h"

namespace v2d {

// The edit follows its track bar, unless it already stands for that number
// (a text that is no number counts as 0), so a "-" being typed stays.
inline void FollowTrackBar(QLineEdit& edit, int position) {
    if (StrictInteger(edit.text()).value_or(0) != position) edit.setText(QString::number(position));
}

// A track bar renders only when it or its edit box has the focus, and not
// while the left button is held on it: a drag renders once, on release.
inline bool ActsOnChange(const QSlider& bar, const QLineEdit& edit) {
    if (!bar.hasFocus() && !edit.hasFocus()) return false;
    const bool held = bar.isSliderDown() || QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    return !(bar.hasFocus() && held);
}

}  // namespace v2d
