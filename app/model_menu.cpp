#include "app/model_menu.h"

#include <QAction>
#include <QMenu>

#include "app/outcome_prompt.h"
#include "app/uformshadow.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"

namespace v2d {

ModelMenu::ModelMenu(QMenu* menu, SceneDocument& document, UserPrompts& prompts, TFormShadow* shadowDialog,
                     QWidget* window)
    : QObject(menu), menu_(menu), document_(document), prompts_(prompts), shadowDialog_(shadowDialog), window_(window) {
    auto add = [this](const char* name, const char* caption, void (ModelMenu::*slot)()) {
        QAction* action = menu_->addAction(tr(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    NMirrorX = add("NMirrorX", QT_TR_NOOP("横向镜像"), &ModelMenu::NMirrorXClick);
    NMirrorY = add("NMirrorY", QT_TR_NOOP("竖向镜像"), &ModelMenu::NMirrorYClick);
    NResetModel = add("NResetModel", QT_TR_NOOP("重置模型"), &ModelMenu::NResetModelClick);
    menu_->addSeparator();
    add("NCopyModel", QT_TR_NOOP("复制模型"), &ModelMenu::NCopyModelClick);
    add("NDeleteModel", QT_TR_NOOP("删除模型"), &ModelMenu::NDeleteModelClick);
    NFrameNext = add("NFrameNext", QT_TR_NOOP("旋转角度"), &ModelMenu::node8Click);
    NFrameNext->setEnabled(false);
    menu_->addSeparator();
    add("NSetShadow", QT_TR_NOOP("阴影设置"), &ModelMenu::NSetShadowClick);
    connect(menu_, &QMenu::aboutToShow, this, &ModelMenu::PopupMenuModelPopup);
}

void ModelMenu::PopupMenuModelPopup() {
    const V2dPolygon* record = document_.focusedRecord();
    if (record == nullptr) return;
    const bool cutOut = record->kind == RecordKind::CutOutModel;
    for (QAction* item : {NMirrorX, NMirrorY, NResetModel}) item->setEnabled(!cutOut);
    NFrameNext->setEnabled(cutOut);
}

void ModelMenu::NMirrorXClick() { ShowOutcome(prompts_, window_, document_.MirrorSelected(MirrorAxis::X)); }
void ModelMenu::NMirrorYClick() { ShowOutcome(prompts_, window_, document_.MirrorSelected(MirrorAxis::Y)); }
void ModelMenu::NResetModelClick() { ShowOutcome(prompts_, window_, document_.ResetSelected()); }
void ModelMenu::NCopyModelClick() { ShowOutcome(prompts_, window_, document_.CopyFocusedModel()); }

void ModelMenu::NDeleteModelClick() {
    Outcome deleted = document_.DeleteSelection([this] {
        return prompts_.Ask(window_, QString::fromUtf8(kAskDeleteSelection)) == PromptAnswer::Yes;
    });
    ShowOutcome(prompts_, window_, deleted);
}

void ModelMenu::node7Click() { ShowOutcome(prompts_, window_, document_.StepFocusedFrame(-1)); }
void ModelMenu::node8Click() { ShowOutcome(prompts_, window_, document_.StepFocusedFrame(+1)); }

void ModelMenu::NSetShadowClick() {
    if (shadowDialog_ != nullptr) shadowDialog_->NSetShadowClick();
}

}  // namespace v2d
