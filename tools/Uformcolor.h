#pragma once
// The colour-card window "电子色卡-色彩选择": pick a paint colour from the
// recommended colours, the thousand-colour card or the 300-colour building
// card, by click or by card number. Created once; shown modally.
#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "library/data_module.h"
#include "tools/colour_card_lookup.h"
#include "tools/colour_card_picker.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace v2d {

class ColourCardImage;
class ColourSwatchWidget;

class TFormColor : public QDialog {
    Q_OBJECT
public:
    explicit TFormColor(QWidget* parent = nullptr);

    // FormCreate: reads the colour tables through the data module, which
    // must outlive the window, and draws both cards and the swatches. On a
    // database error the cards stay blank and the message comes back.
    Status FormCreate(Db& dm);

    // After exec() returned QDialog::Accepted: the colour in ShapeColor, or
    // nullopt when the window was cancelled or nothing was ever picked.
    std::optional<QColor> pickedColour() const;
    // The same as 0x00BBGGRR.
    std::optional<uint32_t> pickedWindowsColour() const;
    // ShapeColor's colour; it stays between openings.
    QColor shapeColour() const;
    // The card number and colour name of the pick (the name only for a
    // recommended colour picked by its swatch).
    QString chosenNumber() const;
    QString chosenName() const;

    // Messages go to a message box unless a sink is set (tests).
    void setMessageSink(std::function<void(const QString&)> sink) { messageSink_ = std::move(sink); }

    // Handlers, public so the main window's tests can drive them too.
    void Image1MouseDown(QPoint point);
    void Image2MouseDown(QPoint point);
    void Image1DblClick(ColourPage card, QPoint point);
    void ShapeColor1MouseDown(int index);
    void SpeedButton1Click();
    void EditColorNumberKeyPress();

private:
    QWidget* BuildRecommendedPage();
    QWidget* BuildCardPage(ColourCardImage* image);
    QWidget* BuildBottomPanel();
    void ShowChoice();
    void ShowMessage(const QString& text);

    Db* dm_ = nullptr;
    ColourCardPicker picker_;
    std::array<Swatch, kSwatchCount> swatches_{};
    std::function<void(const QString&)> messageSink_;

    // Owned by the window through Qt's parent chain.
    QTabWidget* PageControl1 = nullptr;
    ColourCardImage* Image1 = nullptr;
    ColourCardImage* Image2 = nullptr;
    std::array<ColourSwatchWidget*, kSwatchCount> ShapeColorN{};
    std::array<QLabel*, kSwatchCount> ColorNameTextN{};
    ColourSwatchWidget* ShapeColor = nullptr;
    QLineEdit* EditColorNumber = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QCheckBox* CheckBoxClear = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace v2d
