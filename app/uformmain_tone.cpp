// Brightness and reflection of the focused record. A track bar renders only
// when it or its edit box has the focus, and not while the left button is
// held on it: a drag renders once, on release.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include "base/integer_text.h"
#include "app/uformmain.h"
#include "document/tone_controls.h"

namespace v2d {

namespace {

// The edit follows its track bar, unless it already stands for that number
// (a text that is no number counts as 0), so a "-" being typed stays.
void FollowTrackBar(QLineEdit& edit, int position) {
    if (StrictInteger(edit.text()).value_or(0) != position) edit.setText(QString::number(position));
}

bool ActsOnChange(const QSlider& bar, const QLineEdit& edit) {
    if (!bar.hasFocus() && !edit.hasFocus()) return false;
    const bool held = bar.isSliderDown() || QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    return !(bar.hasFocus() && held);
}

}  // namespace

void TFormMain::TrackBarLightChange() {
    const int position = TrackBarLight->value();
    FollowTrackBar(*EditLighten, position);
    if (!ActsOnChange(*TrackBarLight, *EditLighten)) return;
    const int focused = ListBoxPoly->currentRow();
    if (focused < 0 || scene_.count() == 0) return;
    if (SetRegionLighten(renderer_, focused, position, ProgressCallback())) ShowRenderedScene();
}

void TFormMain::EditLightenChange() {
    if (!EditLighten->hasFocus()) return;
    TrackBarLight->setValue(StrictInteger(EditLighten->text()).value_or(0));
}

void TFormMain::TrackBarReflectChange() {
    if (LoadingProduct) return;
    const int position = TrackBarReflect->value();
    FollowTrackBar(*EditReflect, position);
    if (!ActsOnChange(*TrackBarReflect, *EditReflect)) return;
    const int focused = ListBoxPoly->currentRow();
    if (focused < 0 || scene_.count() == 0) return;
    if (SetRegionReflect(renderer_, focused, position, ProgressCallback())) ShowRenderedScene();
}

void TFormMain::EditReflectChange() {
    if (!EditReflect->hasFocus()) return;
    const std::optional<int> value = StrictInteger(EditReflect->text());
    if (!value) {
        prompts_->Show(this, ConversionMessage(EditReflect->text()));
        return;
    }
    TrackBarReflect->setValue(*value);
}

}  // namespace v2d
