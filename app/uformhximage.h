#pragma once
// "产品照片": a product photograph, the window's client area sized to it and
// the picture stretched to the window. Created once; shown modally.
#include <QDialog>
#include <QImage>

class QLabel;

namespace v2d {

class TFormHxImage : public QDialog {
    Q_OBJECT
public:
    explicit TFormHxImage(QWidget* parent = nullptr);
    // Shows the photograph modally.
    void ShowPhoto(const QImage& photo);
    // Puts the photograph in without showing (ShowPhoto's first half).
    void SetPhoto(const QImage& photo);

private:
    QLabel* Image1 = nullptr;
};

}  // namespace v2d
