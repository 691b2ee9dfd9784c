#pragma once
// "模板名称": the name, room type and style of a template about to be stored.
#include <QDialog>

#include "library/data_module.h"
#include "templates/template_store.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace v2d {

class TFormTemple : public QDialog {
    Q_OBJECT
public:
    explicit TFormTemple(Db& dm, QWidget* parent = nullptr);

    // What OK kept.
    const NewTemplate& details() const { return details_; }

    void ComboBoxSalesChange();
    void ComboBoxStyleChange();
    void BitBtnOkClick();

private:
    NewTemplate details_;
    QLineEdit* EditTempleName = nullptr;
    QComboBox* ComboBoxSales = nullptr;
    QComboBox* ComboBoxStyle = nullptr;
    QPushButton* BitBtnOk = nullptr;
    QPushButton* BitBtnClose = nullptr;
};

}  // namespace v2d
