#pragma once
// The products compared side by side: the rooms in a grid of two columns
// (2 × 1 for two, 2 × 2 for three or four, in reading order), each with a
// caption band under it and thin lines between the cells.
#include <QImage>
#include <QRect>
#include <QSize>

#include <string>
#include <vector>

namespace v2d {

// The caption band's height under a cell of this size.
int ComparisonCaptionHeight(QSize cell);
// The rows of a grid of `count` cells: 1 for two, 2 for three or four.
int ComparisonGridRows(int count);
// Where cell `index` of a grid of `count` cells shows its room (the caption
// band is the same width right under it), in the grid's pixels.
QRect ComparisonCellRect(int index, int count, QSize cell);

// The grid: each room centred in its cell (shrunk to fit, never stretched),
// each caption's lines ('\n' between them) in its band, the first line bold.
// A cell without a picture stays empty. Null for no cell, more than four,
// an empty cell size or a grid too large to hold.
QImage ComposeComparisonGrid(const std::vector<QImage>& cells, const std::vector<std::string>& captions, QSize cell);

}  // namespace v2d
