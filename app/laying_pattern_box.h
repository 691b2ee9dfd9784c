#pragma once
// The product panel's laying controls: "铺贴方式", "缝宽(mm)", "缝色",
// "随机旋转" and "起铺点". They hold a PatternSettings; the panel hands it to
// the document with its other controls.
#include <QWidget>

#include <functional>
#include <optional>

#include "layout/laying_pattern.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QSpinBox;
class QToolButton;

namespace v2d {

class UserPrompts;

class LayingPatternBox : public QWidget {
    Q_OBJECT
public:
    // `pickFromCards` opens the colour cards and gives the colour picked
    // (0x00BBGGRR), or nothing.
    LayingPatternBox(UserPrompts& prompts, std::function<std::optional<uint32_t>()> pickFromCards,
                     QWidget* parent = nullptr);

    PatternSettings settings() const { return settings_; }
    // "随机旋转", for the panel to place beside its other checks.
    QCheckBox* randomTurnCheck() const { return CheckBoxRandomTurn; }
    // Shows the settings a region was laid with.
    void setSettings(const PatternSettings& settings);

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Read();
    void ShowJointColour();

    UserPrompts& prompts_;
    std::function<std::optional<uint32_t>()> pickFromCards_;
    PatternSettings settings_;
    bool showing_ = false;
    QComboBox* ComboBoxPattern = nullptr;
    QSpinBox* SpinEditJoint = nullptr;
    QFrame* ShapeJointColor = nullptr;
    QToolButton* SButtonJointColor = nullptr;
    QCheckBox* CheckBoxRandomTurn = nullptr;
    QComboBox* ComboBoxOrigin = nullptr;
};

}  // namespace v2d
