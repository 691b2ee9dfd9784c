#pragma once
// "从照片新建方案": a room photo opens in the outline tool, in this process
// and without blocking the program; every scheme the tool saves is handed
// on to be opened here, as "打开方案" would open it.
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace v2d {

class UserPrompts;
namespace tool {
class TFormV2dTool;
}

class PhotoSchemeLauncher : public QObject {
    Q_OBJECT
public:
    using SchemeOpener = std::function<void(const QString& path)>;
    PhotoSchemeLauncher(QWidget* parent, UserPrompts& prompts, SchemeOpener open);

    // The photo from the open dialog; nothing when cancelled.
    void ActionNewSchemeFromPhotoClick();
    // The tool's window over `photo`; null (after its message) when the
    // photo cannot be read.
    tool::TFormV2dTool* Launch(const QString& photo);

private:
    QWidget* parent_;
    UserPrompts& prompts_;
    SchemeOpener open_;
};

}  // namespace v2d
