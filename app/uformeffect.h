#pragma once
// "材质特效": the pattern's shift and the laid product's relief. While the
// window is shown the document's tiling uses its settings; every change
// tiles again at once, so the user sees the effect live. Its "光照" choice
// is kept with the regions: the photo's brightness as it is ("照片原样") or
// the room's light with the old surface's pattern taken out ("去除原有纹理").
#include <QDialog>

#include <functional>

#include "render/tiling_settings.h"

class QButtonGroup;
class QLineEdit;
class QSlider;

namespace v2d {

class SceneDocument;
class UserPrompts;

class TFormEffect : public QDialog {
    Q_OBJECT
public:
    // `applyToSelection` is the main window's tiling command ("开始铺贴").
    TFormEffect(SceneDocument& document, UserPrompts& prompts, std::function<void()> applyToSelection,
                QWidget* parent = nullptr);

    // What the controls say now (shown while the window is visible).
    EffectSettings Settings() const;

    // The handlers, public so tests drive them as the user would.
    void FormShow();
    void RadioGroupBumpClick();
    void TrackBarOffsetXChange();
    void TrackBarOffsetYChange();
    void EditOffsetXChange();
    void EditOffsetYChange();
    void TrackBarLightChange();
    void RadioGroupLightClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void OffsetChanged(QSlider& bar, QLineEdit& edit);
    void Publish();

    SceneDocument& document_;
    UserPrompts& prompts_;
    std::function<void()> applyToSelection_;

    QSlider* TrackBarOffsetX = nullptr;
    QSlider* TrackBarOffsetY = nullptr;
    QLineEdit* EditOffsetX = nullptr;
    QLineEdit* EditOffsetY = nullptr;
    QButtonGroup* RadioGroupBump = nullptr;
    QSlider* TrackBarLight = nullptr;
    QButtonGroup* RadioGroupLight = nullptr;
};

}  // namespace v2d
