#include "render/comparison_grid.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "base/picture_codec.h"

namespace v2d {
namespace {

constexpr int kSeparator = 2;  // the lines between the cells, in pixels
constexpr int kColumns = 2;
constexpr int kMostCells = 4;
constexpr QRgb kSeparatorColour = 0xFF9A948C, kMatColour = 0xFFE9E6E1, kBandColour = 0xFFFBFAF7;
constexpr QRgb kNameColour = 0xFF1E1B18, kPriceColour = 0xFF4A433C;

// The caption's letters: the house's CJK face, a 25th of the cell's height.
int CaptionPixels(QSize cell) { return std::clamp(cell.height() / 25, 12, 48); }

QFont CaptionFont(QSize cell, bool bold) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(CaptionPixels(cell));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void DrawCaption(QPainter& painter, const QRect& band, const std::string& caption, QSize cell) {
    const QStringList lines = QString::fromStdString(caption).split('\n');
    const int margin = CaptionPixels(cell) * 2 / 3;
    const int lineHeight = (band.height() - margin) / 2;
    for (int i = 0; i < std::min<int>(2, lines.size()); ++i) {
        const QFont font = CaptionFont(cell, i == 0);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(i == 0 ? kNameColour : kPriceColour));
        const QRect line(band.left() + margin, band.top() + margin / 2 + i * lineHeight, band.width() - 2 * margin,
                         lineHeight);
        const QString text = QFontMetrics(font).elidedText(lines[i], Qt::ElideRight, line.width());
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}

}  // namespace

int ComparisonCaptionHeight(QSize cell) { return CaptionPixels(cell) * 10 / 3; }

int ComparisonGridRows(int count) { return count <= kColumns ? 1 : 2; }

QRect ComparisonCellRect(int index, int count, QSize cell) {
    if (index < 0 || index >= std::max(count, 1) || cell.isEmpty()) return {};
    const int row = index / kColumns, column = index % kColumns;
    return QRect(column * (cell.width() + kSeparator),
                 row * (cell.height() + ComparisonCaptionHeight(cell) + kSeparator), cell.width(), cell.height());
}

QImage ComposeComparisonGrid(const std::vector<QImage>& cells, const std::vector<std::string>& captions, QSize cell) {
    const int count = static_cast<int>(cells.size());
    if (count < 1 || count > kMostCells || cell.isEmpty()) return {};
    const int rows = ComparisonGridRows(count), band = ComparisonCaptionHeight(cell);
    const long long width = kColumns * (long long)cell.width() + (kColumns - 1) * kSeparator;
    const long long height = rows * ((long long)cell.height() + band) + (rows - 1) * kSeparator;
    if (width > kMaxPictureSide || height > kMaxPictureSide || !PictureSizeAllowed(int(width), int(height))) return {};
    QImage grid(int(width), int(height), QImage::Format_RGB32);
    grid.fill(kSeparatorColour);
    QPainter painter(&grid);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    for (int i = 0; i < rows * kColumns; ++i) {
        const QRect room = ComparisonCellRect(i, rows * kColumns, cell);
        const QRect caption(room.left(), room.bottom() + 1, room.width(), band);
        painter.fillRect(room, QColor::fromRgb(kMatColour));
        painter.fillRect(caption, QColor::fromRgb(kBandColour));
        if (i >= count || cells[size_t(i)].isNull()) continue;
        const QImage& picture = cells[size_t(i)];
        const QSize shown = picture.size().boundedTo(cell).isEmpty() ? QSize()
                            : picture.width() <= cell.width() && picture.height() <= cell.height()
                                ? picture.size()
                                : picture.size().scaled(cell, Qt::KeepAspectRatio);
        const QRect target(room.left() + (cell.width() - shown.width()) / 2,
                           room.top() + (cell.height() - shown.height()) / 2, shown.width(), shown.height());
        painter.drawImage(target, picture);
        if (size_t(i) < captions.size()) DrawCaption(painter, caption, captions[size_t(i)], cell);
    }
    return grid;
}

}  // namespace v2d
