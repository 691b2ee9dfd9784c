#include "app/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <string>

#include "base/workspace_settings.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
constexpr const char* kGeometryKey = "WindowGeometry";    // x,y,width,height of the normal window
constexpr const char* kMaximisedKey = "WindowMaximized";  // 1 or 0

std::optional<QRect> ParseRect(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const QStringList parts = QString::fromStdString(*text).split(',');
    if (parts.size() != 4) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}
// Maximised once it is on the screen. Asked before the window first appears,
// the state gets lost on its way (the embedded browser's surface has the
// window made anew while it is shown): the window manager leaves it
// unmaximised, taller than the screen. A window that paints is mapped; the
// window manager takes the request then.
class MaximiseWhenOnScreen final : public QObject {
public:
    explicit MaximiseWhenOnScreen(QWidget& window) : QObject(&window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        auto* window = static_cast<QWidget*>(watched);
        window->removeEventFilter(this);
        QTimer::singleShot(0, window, [window] { window->setWindowState(window->windowState() | Qt::WindowMaximized); });
        deleteLater();
        return false;
    }
};

}  // namespace

void RestoreWindowPlacement(QWidget& window, const QString& workspace) {
    const std::filesystem::path folder = ToPath(workspace);
    const std::optional<QRect> saved = ParseRect(ReadSetting(folder, kGeometryKey));
    QScreen* screen = saved ? QGuiApplication::screenAt(saved->center()) : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    const bool maximised = !saved || ReadSetting(folder, kMaximisedKey) != "0";
    if (saved) {
        // Inside the screen it opens on, however the screens changed since.
        QRect normal(saved->topLeft(), saved->size().boundedTo(room.size()));
        normal.moveLeft(std::clamp(normal.left(), room.left(), room.right() + 1 - normal.width()));
        normal.moveTop(std::clamp(normal.top(), room.top(), room.bottom() + 1 - normal.height()));
        window.setGeometry(normal);
    }
    if (maximised) {
        // Without a window manager nothing would maximise it: it takes the
        // room itself, its frame's corner at the room's (not its inside's),
        // so that the title bar is on the screen.
        if (!saved) {
            window.resize(room.size());
            window.move(room.topLeft());
        }
        window.installEventFilter(new MaximiseWhenOnScreen(window));
    }
}

void SaveWindowPlacement(const QWidget& window, const QString& workspace) {
    const QRect normal = window.isMaximized() ? window.normalGeometry() : window.geometry();
    if (!normal.isValid()) return;
    (void)WriteSettings(ToPath(workspace),
                        {{kGeometryKey, QStringLiteral("%1,%2,%3,%4")
                                            .arg(normal.x()).arg(normal.y()).arg(normal.width()).arg(normal.height())
                                            .toStdString()},
                         {kMaximisedKey, window.isMaximized() ? "1" : "0"}});
}

}  // namespace v2d
