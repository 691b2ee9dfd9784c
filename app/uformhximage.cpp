#include "app/uformhximage.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "widgets/widget_helpers.h"

namespace v2d {

TFormHxImage::TFormHxImage(QWidget* parent) : QDialog(parent) {
    setObjectName("FormHxImage");
    setWindowTitle(tr("产品照片"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    Image1 = Named(new QLabel(this), QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    column->addWidget(Image1);
}

void TFormHxImage::SetPhoto(const QImage& photo) {
    Image1->setPixmap(QPixmap::fromImage(photo));
    resize(photo.size());
}

void TFormHxImage::ShowPhoto(const QImage& photo) {
    SetPhoto(photo);
    exec();
}

}  // namespace v2d
