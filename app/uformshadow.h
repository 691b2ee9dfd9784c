#pragma once
// "阴影设置" (TFormShadow): the focused model's drop shadow. "投射阴影"
// switches it; the offsets (and the hidden size) take effect when their box
// loses the focus, on Enter or through their up-down buttons; the swatch
// opens the colour dialog. A value that did not change redraws nothing.
#include <QDialog>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace v2d {

class SceneDocument;
class UserPrompts;

class TFormShadow : public QDialog {
    Q_OBJECT
public:
    TFormShadow(SceneDocument& document, UserPrompts& prompts, QWidget* parent = nullptr);

    // NSetShadowClick: shown modally for a picture or cut-out model only.
    void NSetShadowClick();

public slots:
    void FormShow();
    void CheckBoxCastShadowClick();
    // The step shared by the three edit boxes when one loses the focus.
    void EditXposExit(QLineEdit* edit);
    // An up-down button of `edit` was pressed: +1 or -1, then the same step.
    void UpDownXposClick(QLineEdit* edit, int step);
    void ShadowColorMouseDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* EditWithUpDown(QLineEdit*& edit, const char* name, const char* upDownName, bool allowMinus);
    void ShowColour(uint32_t colour);

    SceneDocument& document_;
    UserPrompts& prompts_;
    QCheckBox* CheckBoxCastShadow = nullptr;
    QGroupBox* GroupBoxShadow = nullptr;
    QLineEdit* EditXpos = nullptr;
    QLineEdit* EditYpos = nullptr;
    QLineEdit* EditRadius = nullptr;
    QWidget* RadiusRow = nullptr;
    QFrame* ShadowColor = nullptr;
    QPushButton* BitBtnOk = nullptr;
};

}  // namespace v2d
