#pragma once
// The model context menu (PopupMenuModel) and its commands: mirroring,
// resetting, copying and deleting models, stepping a cut-out's rotation
// frames and the shadow dialog. The items follow the record under the
// pointer each time the menu opens.
#include <QObject>

class QAction;
class QMenu;

namespace v2d {

class SceneDocument;
class TFormShadow;
class UserPrompts;

inline constexpr const char* kAskDeleteSelection = QT_TRANSLATE_NOOP("Messages", "确实要删除选中内容?");

class ModelMenu : public QObject {
    Q_OBJECT
public:
    // Fills `menu` with the model items; `shadowDialog` is not owned.
    ModelMenu(QMenu* menu, SceneDocument& document, UserPrompts& prompts, TFormShadow* shadowDialog,
              QWidget* window);

public slots:
    void PopupMenuModelPopup();
    void NMirrorXClick();
    void NMirrorYClick();
    void NResetModelClick();
    void NCopyModelClick();
    void NDeleteModelClick();
    void node7Click();  // the previous rotation frame
    void node8Click();  // the next one (also "旋转角度" and R)
    void NSetShadowClick();

private:
    QMenu* menu_;
    SceneDocument& document_;
    UserPrompts& prompts_;
    TFormShadow* shadowDialog_;
    QWidget* window_;
    QAction* NMirrorX = nullptr;
    QAction* NMirrorY = nullptr;
    QAction* NResetModel = nullptr;
    QAction* NFrameNext = nullptr;
};

}  // namespace v2d
