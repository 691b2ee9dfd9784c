#pragma once
// "材料图案编辑": recolours or retextures the colours of a product pattern.
// A click on the edited picture keys on the source colour there; every
// pixel of that colour (within the tolerance) changes all over the pattern.
// The pixel work is the core's (render/material_edit.h); this window wires
// the controls to it. Created once; shown modally.
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>

#include "render/material_edit.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QSlider;
class QToolButton;

namespace v2d {

class TFormColor;
class MatEditPicture;

// The dialogs the editor opens; the real ones unless a caller (the main
// window's prompt seam, a test) answers instead.
struct MatEditDialogs {
    std::function<QString(QWidget*, const QString& folder, const QString& filter)> openFile;
    std::function<std::optional<QColor>(QWidget*, const QColor& initial)> chooseColour;
    std::function<void(QWidget*, const QString& text)> message;
};

class TFormMatedit : public QDialog {
    Q_OBJECT
public:
    // `programFolder` holds product/texture and product/flower.
    explicit TFormMatedit(QString programFolder, QWidget* parent = nullptr);
    ~TFormMatedit() override;

    void setDialogs(MatEditDialogs dialogs);
    // The colour cards, created once at start-up; not owned.
    void setColourCards(TFormColor* cards) { colourCards_ = cards; }

    // The pattern to edit (source and result) and the map's tolerance.
    void LoadPattern(const QImage& pattern, int tolerance);
    // Opened on the product panel's picture: its own result or source goes
    // on with the entries it had (MaterialEditor::Open). A tolerance, when
    // given, goes into "容差：".
    void OpenOn(const QImage& picture, std::optional<int> tolerance);
    // The edited picture after OK.
    QImage Edited() const { return editor_.result(); }
    const MaterialEditor& editor() const { return editor_; }

    // The handlers, public so tests drive them as the user would.
    void FormShow();
    void ImageMatMouseDown(QPoint controlPoint);
    void ShapeColorMouseDown();
    void SButtonColorClick();
    void TrackBarScaleChange();
    void ImageWenliClick();
    void ImageTexClick();
    void SButtonResetClick();
    void EditToleranceChange();
    void SpeedButtonOKClick();
    // ImageMat's size, for mapping clicks in tests.
    QSize editedPictureSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    std::optional<int> Tolerance();
    std::optional<QImage> ChooseTexture(const QString& folder);
    void ChangeCurrentColour(uint32_t colour);
    void ShowResult();
    void ShowCurrentEntry();
    void ShowSourceCaption();
    void Message(const QString& text);

    QString programFolder_;
    MatEditDialogs dialogs_;
    TFormColor* colourCards_ = nullptr;
    MaterialEditor editor_;

    QGroupBox* GroupBoxTex = nullptr;
    MatEditPicture* ImageTex = nullptr;
    MatEditPicture* ImageMat = nullptr;
    QRadioButton* RadioButtonColor = nullptr;
    QRadioButton* RadioButtonBmp = nullptr;
    QCheckBox* CheckBoxMix = nullptr;
    QLineEdit* EditTolerance = nullptr;
    QGroupBox* GroupBoxCurrent = nullptr;
    QLabel* ShapeColor = nullptr;
    QToolButton* SButtonColor = nullptr;
    QSlider* TrackBarScale = nullptr;
    QLineEdit* EditScale = nullptr;
    MatEditPicture* ImageWenli = nullptr;
    QToolButton* SButtonReset = nullptr;
    QToolButton* SpeedButtonOK = nullptr;
    QProgressBar* ProgressBar = nullptr;
};

}  // namespace v2d
