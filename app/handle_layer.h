#pragma once
// The handles of the view ("Image3", over the overlay): node1..node4 at a
// model's corners, node5..node8 at its edges and NodeMove in the middle,
// each a 10 x 10 box with its caption, painted over the picture. Positions
// are the boxes' top-left pixels in the visible area's coordinates; the
// view moves them as the picture scrolls and as they are dragged.
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <optional>

#include "models/handle_drag.h"

class QPainter;
class QPalette;

namespace v2d {

class HandleLayer : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 9;
    static constexpr int kMove = 8;  // NodeMove
    static constexpr int kSide = 10;

    explicit HandleLayer(QObject* parent);

    // "node1".."node8", "NodeMove"; -1 for another name.
    static int IndexOf(const QString& name);
    static QString NameOf(int k);

    const HandlePositions& positions() const { return at_; }
    QPoint pos(int k) const { return at_[static_cast<size_t>(k)]; }
    void move(int k, QPoint at) { at_[static_cast<size_t>(k)] = at; }
    void moveAll(QPoint delta);
    QRect rect(int k) const { return QRect(pos(k), QSize(kSide, kSide)); }
    bool isVisible() const { return shown_; }
    void show() { shown_ = true; }
    void hide() { shown_ = false; }
    // node7 and node8 turn a cut-out ("r", a pointing hand) and shape
    // anything else.
    void setTurning(bool turning) { turning_ = turning; }
    // The handle under a point of the visible area, the last drawn first.
    std::optional<int> At(QPoint point) const;
    Qt::CursorShape cursor(int k) const;
    // The area all handles cover (empty while hidden).
    QRect covered() const;

    // Each box in the window colour with a frame and caption in the text colour.
    void paint(QPainter& painter, const QPalette& palette) const;

private:
    QString Caption(int k) const;

    HandlePositions at_{};
    bool shown_ = false;
    bool turning_ = false;
    QFont font_;
};

}  // namespace v2d
