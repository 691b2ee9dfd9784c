#include "app/integer_text.h"

namespace v2d {

std::optional<int> StrictInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

QString ConversionMessage(const QString& text) {
    return QStringLiteral("“%1”不是有效的整数。").arg(text);
}

}  // namespace v2d
