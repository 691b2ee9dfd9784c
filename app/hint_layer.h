#pragma once
// The hint line of the view ("PanelHelp", over everything else): a white
// band at (4, 4) of the visible area holding one hint ("LabelHelp"), painted
// with the scene, the marks and the handles. The band is as large as its
// text with a margin of 6 x 3 pixels, in the area's font and text colour, as
// the panel with its label was; it takes no clicks of its own.
#include <QObject>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace v2d {

// The hint's text ("LabelHelp"); hidden, no band shows.
class HintText : public QObject {
    Q_OBJECT
public:
    explicit HintText(QObject* parent);
    const QString& text() const { return text_; }
    bool isHidden() const { return hidden_; }

private:
    friend class HintLayer;
    QString text_;
    bool hidden_ = false;
};

class HintLayer : public QObject {
    Q_OBJECT
public:
    static constexpr int kLeft = 4, kTop = 4, kMarginX = 6, kMarginY = 3;

    // Paints on `area` (the view's visible part) and takes its font and palette.
    explicit HintLayer(QWidget& area);

    // The band takes the text's size; the area repaints where it was and is.
    void setText(const QString& text);
    HintText& label() { return *label_; }
    void setTextHidden(bool hidden);
    // The band shows while set and the area is on the screen.
    void setVisible(bool visible);
    bool isVisible() const;
    // The band in the area's coordinates (empty while it does not show).
    QRect covered() const;

    void paint(QPainter& painter) const;

private:
    QRect Band() const { return QRect(QPoint(kLeft, kTop), size_); }
    void Repaint(const QRect& before);

    QWidget& area_;
    HintText* label_;
    QSize size_;
    bool shown_ = true;
};

}  // namespace v2d
