#include "tools/colour_card_layout.h"

#include <QPainter>

namespace v2d {

namespace {

// Lays `list` into `columns` x `rows` cells starting at `firstRow`, filled
// column by column. `span` widens each cell and its pitch (the off-white
// rows use two).
void AddCells(CardLayout& layout, const std::vector<CardColour>& list, int columns, int firstRow,
              int rows, int width, int height, int span) {
    const int pitchX = span * (width + 1);
    const int pitchY = height + 1;
    const int cellWidth = span * width;
    size_t next = 0;
    for (int i = 0; i < columns && next < list.size(); ++i) {
        for (int j = firstRow; j < firstRow + rows && next < list.size(); ++j, ++next) {
            const QRect rect(i * pitchX, j * pitchY, cellWidth, height);
            if (rect.left() >= layout.size.width() || rect.top() >= layout.size.height()) continue;
            const CardColour& entry = list[next];
            layout.cells.push_back({rect, entry, CardEntryColour(entry)});
        }
    }
}

}  // namespace

QColor QColorFromWindows(uint32_t windowsColour) {
    return QColor(int(windowsColour & 0xFF), int(windowsColour >> 8 & 0xFF),
                  int(windowsColour >> 16 & 0xFF));
}

uint32_t WindowsFromQColor(const QColor& colour) {
    const QRgb rgb = colour.rgb();
    return uint32_t(qRed(rgb)) | uint32_t(qGreen(rgb)) << 8 | uint32_t(qBlue(rgb)) << 16;
}

QColor CardEntryColour(const CardColour& entry) {
    return QColorFromWindows(ColourTextToValue(entry.ColourText()));
}

QColor ContrastingTextColour(const QColor& background) {
    // Perceived lightness (ITU-R BT.601 weights), in 0..255000.
    const QRgb rgb = background.rgb();
    const int lightness = 299 * qRed(rgb) + 587 * qGreen(rgb) + 114 * qBlue(rgb);
    return lightness >= 140000 ? QColor(Qt::black) : QColor(Qt::white);
}

std::optional<int> CardLayout::CellAt(QPoint point) const {
    if (!QRect(QPoint(0, 0), size).contains(point)) return std::nullopt;
    for (size_t k = 0; k < cells.size(); ++k)
        if (cells[k].rect.contains(point)) return int(k);
    return std::nullopt;
}

CardLayout LayoutThousandCard(QSize imageSize, const std::vector<CardColour>& mainList,
                              const std::vector<CardColour>& offWhiteList,
                              const std::vector<CardColour>& aSeriesList) {
    CardLayout layout{imageSize, {}};
    const int width = imageSize.width() / kThousandColumns - 1;
    const int height = kThousandCellHeight;
    if (width < 1) return layout;
    AddCells(layout, mainList, kThousandColumns, kMainFirstRow, kMainRows, width, height, 1);
    AddCells(layout, offWhiteList, kThousandColumns, kOffWhiteFirstRow, kOffWhiteRows, width,
             height, 2);
    AddCells(layout, aSeriesList, kThousandColumns, kASeriesFirstRow, kASeriesRows, width, height,
             1);
    return layout;
}

CardLayout LayoutBuildingCard(QSize imageSize, const std::vector<CardColour>& buildingList) {
    CardLayout layout{imageSize, {}};
    const int width = imageSize.width() / kBuildingColumns - 1;
    const int height = imageSize.height() / kBuildingRows - 1;
    if (width < 1 || height < 1) return layout;
    AddCells(layout, buildingList, kBuildingColumns, 0, kBuildingRows, width, height, 1);
    return layout;
}

QImage PaintCard(const CardLayout& layout) {
    QImage card(layout.size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    card.fill(kCardBackground);
    QPainter painter(&card);
    // All lines first, so that no line is drawn over a neighbouring cell.
    for (const CardCell& cell : layout.cells)
        painter.fillRect(cell.rect.adjusted(-1, -1, 1, 1), QColor::fromRgb(kCardLine));
    for (const CardCell& cell : layout.cells) painter.fillRect(cell.rect, cell.colour);
    return card;
}

}  // namespace v2d
