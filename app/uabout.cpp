#include "app/uabout.h"

#include <QCoreApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace v2d {

TFormAbout::TFormAbout(QWidget* parent) : QWidget(parent), picture_(DrawAboutPicture()) {
    setObjectName("FormAbout");
    setWindowTitle(QCoreApplication::translate("TFormAbout", "关于软件"));
    setFixedSize(kWidth, kHeight);
}

QImage TFormAbout::DrawAboutPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(0x2d, 0x3e, 0x50));
    sky.setColorAt(1, QColor(0x14, 0x1e, 0x28));
    p.fillRect(image.rect(), sky);

    // A small room in perspective: back wall, floor with tile joints, two side walls.
    const QPointF backTL(360, 90), backTR(560, 90), backBR(560, 250), backBL(360, 250);
    const QPointF roomTL(300, 40), roomTR(600, 40), roomBR(600, 320), roomBL(300, 320);
    auto quad = [&](QPointF a, QPointF b, QPointF c, QPointF d, QColor colour) {
        QPainterPath path;
        path.moveTo(a), path.lineTo(b), path.lineTo(c), path.lineTo(d), path.closeSubpath();
        p.fillPath(path, colour);
    };
    quad(roomTL, roomTR, backTR, backTL, QColor(0xe8, 0xe4, 0xdc));
    quad(roomTL, backTL, backBL, roomBL, QColor(0xc9, 0xb8, 0x9c));
    quad(backTL, backTR, backBR, backBL, QColor(0xd8, 0xc9, 0xad));
    quad(backBL, backBR, roomBR, roomBL, QColor(0x9c, 0x7a, 0x54));
    p.setPen(QPen(QColor(0x7a, 0x5c, 0x3c), 1.2));
    for (int i = 0; i <= 6; ++i) {
        const double t = i / 6.0;
        p.drawLine(QPointF(360 + 200 * t, 250), QPointF(300 + 300 * t, 320));
    }
    for (int j = 1; j <= 3; ++j) {
        const double t = j / 4.0;
        p.drawLine(QPointF(360 - 60 * t, 250 + 70 * t), QPointF(560 + 40 * t, 250 + 70 * t));
    }
    // The selection outline the program draws, in its own yellow.
    p.setPen(QPen(QColor(0xff, 0xff, 0x00), 2));
    p.drawPolygon(QPolygonF({backBL, backBR, roomBR, roomBL}));

    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(30, 120, 300, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vexel2D"));
    QFont subtitle = title;
    subtitle.setPixelSize(20);
    subtitle.setBold(false);
    p.setFont(subtitle);
    p.drawText(QRectF(30, 175, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, QCoreApplication::translate("TFormAbout", "配色选材软件"));
    p.setPen(QColor(0xf0, 0xc0, 0x60));
    p.drawText(QRectF(30, 205, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, QCoreApplication::translate("TFormAbout", "V2012 专业版"));
    QFont small = subtitle;
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(0xb0, 0xb8, 0xc0));
    p.drawText(QRectF(30, 340, 540, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("TFormAbout", "选好材料，一键铺贴 —— 地面、墙面、橱柜面所见即所得"));
    return image;
}

void TFormAbout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

}  // namespace v2d
