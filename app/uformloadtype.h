#pragma once
// "产品调用方式": where a product comes from, the local library ("本地",
// preselected) or the online catalogue ("网上"). Created once; shown modally.
#include <QDialog>

class QRadioButton;

namespace v2d {

class TFormLoadType : public QDialog {
    Q_OBJECT
public:
    explicit TFormLoadType(QWidget* parent = nullptr);
    // After OK: true when "网上" was chosen.
    bool online() const;

private:
    QRadioButton* RadioButtonLocal = nullptr;
    QRadioButton* RadioButtonWeb = nullptr;
};

}  // namespace v2d
