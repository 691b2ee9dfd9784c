#pragma once
// The two small controls the colour-card window is built from: a colour
// swatch that reports clicks, and a card picture that reports where it was
// clicked and shows the number of the cell under the mouse.
#include <QColor>
#include <QImage>
#include <QWidget>

#include "tools/colour_card_layout.h"

namespace v2d {

// A filled rectangle with a thin frame. Disabled swatches are drawn empty.
class ColourSwatchWidget : public QWidget {
    Q_OBJECT
public:
    explicit ColourSwatchWidget(QWidget* parent = nullptr);
    QColor brushColour() const { return brush_; }
    void setBrushColour(const QColor& colour);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor brush_{Qt::white};
};

// A colour card drawn once from its layout, shown at its own size.
class ColourCardImage : public QWidget {
    Q_OBJECT
public:
    ColourCardImage(QSize size, QWidget* parent = nullptr);
    // Paints the card; with `numbered`, each cell wide enough shows its
    // card number in black or white, whichever reads on the cell.
    void setCard(CardLayout layout, bool numbered);
    const CardLayout& cardLayout() const { return layout_; }
    const QImage& picture() const { return picture_; }
    QSize sizeHint() const override { return picture_.size(); }

signals:
    void pressed(QPoint point);
    void doubleClicked(QPoint point);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CardLayout layout_;
    QImage picture_;
};

}  // namespace v2d
