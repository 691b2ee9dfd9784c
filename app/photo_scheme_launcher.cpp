#include "app/photo_scheme_launcher.h"

#include <QWidget>

#include "v2dtool/outline_window.h"
#include "widgets/user_prompts.h"

namespace v2d {

PhotoSchemeLauncher::PhotoSchemeLauncher(QWidget* parent, UserPrompts& prompts, SchemeOpener open)
    : QObject(parent), parent_(parent), prompts_(prompts), open_(std::move(open)) {}

void PhotoSchemeLauncher::ActionNewSchemeFromPhotoClick() {
    const QString photo =
        prompts_.OpenFileName(parent_, QString(), tr("照片(*.jpg *.jpeg *.png *.bmp *.heic *.heif)"));
    if (!photo.isEmpty()) Launch(photo);
}

tool::TFormV2dTool* PhotoSchemeLauncher::Launch(const QString& photo) {
    // A window of its own (a main window never sits inside its parent), gone when closed.
    auto* window = new tool::TFormV2dTool([this](const QString& text) { prompts_.Show(parent_, text); }, parent_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();  // shown first, so the photo is fitted into the window's real size
    if (!window->OpenFile(photo)) {
        window->close();
        return nullptr;
    }
    connect(window, &tool::TFormV2dTool::schemeSaved, this, [this](const QString& path) { open_(path); });
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace v2d
