#include "app/local_templates.h"

#include "document/scene_document.h"
#include "library/data_module.h"
#include "templates/template_store.h"
#include "templates/uformsample.h"
#include "templates/uformtemple.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
constexpr const char* kMsgNoStoreRights = QT_TRANSLATE_NOOP("Messages", "您没有维护权限，不能保存模板。");
constexpr const char* kMsgNoRecords = QT_TRANSLATE_NOOP("Messages", "当前没有区域数据。");
}  // namespace

LocalTemplates::LocalTemplates(QWidget& window, SceneDocument& document, UserPrompts& prompts, QString programFolder,
                               std::function<void(const QString&, const QString&)> openTemplate)
    : QObject(&window), window_(window), document_(document), prompts_(prompts),
      programFolder_(std::move(programFolder)), openTemplate_(std::move(openTemplate)) {}

void LocalTemplates::setWindows(TFormSample* browser, TFormTemple* names,
                                std::function<bool(QWidget*, const QString&)> rights) {
    FormSample = browser;
    FormTemple = names;
    rights_ = std::move(rights);
    if (FormSample == nullptr) return;
    connect(FormSample, &TFormSample::helpTextReady, this, &LocalTemplates::helpTextReady);
    connect(FormSample, &QDialog::accepted, this,
            [this] { openTemplate_(FormSample->chosenSchemeFile(), FormSample->chosenTemplateName()); });
}

void LocalTemplates::Browse() {
    if (FormSample == nullptr || FormSample->isVisible()) return;
    FormSample->open();
}

void LocalTemplates::Store() {
    if (dataModule_ == nullptr || FormTemple == nullptr) return;
    if (document_.scene().count() == 0) {
        prompts_.Show(&window_, QString::fromUtf8(kMsgNoRecords));
        return;
    }
    if (!rights_ || !rights_(&window_, QString::fromUtf8(kMsgNoStoreRights))) return;
    if (FormTemple->exec() != QDialog::Accepted) return;
    Result<int64_t> stored = StoreTemplate(*dataModule_, ToPath(programFolder_), document_.scene(),
                                           document_.displayed(), FormTemple->details());
    if (!stored) {
        prompts_.Show(&window_, FromUtf8(stored.error()));
        return;
    }
    if (FormSample != nullptr) FormSample->SetReload();
}

}  // namespace v2d
