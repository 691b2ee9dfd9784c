#pragma once
// Small pieces the window parts share while they build their controls.
#include <QString>
#include <QToolButton>

#include <filesystem>
#include <string>

namespace v2d {

template <class T>
T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// A flat text button, as the toolbar and the panels use them.
inline QToolButton* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    return button;
}

// Core messages are UTF-8 std::strings.
inline QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::filesystem::path ToPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }
inline QString FromPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace v2d
