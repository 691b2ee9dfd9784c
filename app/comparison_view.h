#pragma once
// The compared products over the work area ("PanelCompare"): the grid of
// the same room laid with each, fitted to the area. A click on a cell picks
// its product; Esc, the right button or "取消对比" leaves the scene as it was.
#include <QImage>
#include <QRect>
#include <QWidget>

#include <vector>

class QPushButton;

namespace v2d {

class ComparisonView : public QWidget {
    Q_OBJECT
public:
    // Covers `area` and follows its size.
    explicit ComparisonView(QWidget& area);

    // The grid and its cells (grid pixels, reading order); shown at once.
    void ShowGrid(QImage grid, std::vector<QRect> cells);
    // Where a cell shows now, in this widget's pixels (tests, screenshots).
    QRect shownCell(int index) const;

signals:
    void picked(int cell);
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Presses and the wheel stay here: nothing reaches the scene under the grid.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect GridArea() const;
    int CellAt(QPoint at) const;
    void Close(int picked);

    QImage grid_;
    std::vector<QRect> cells_;
    int hovered_ = -1;
    QPushButton* ButtonCancel = nullptr;
};

}  // namespace v2d
