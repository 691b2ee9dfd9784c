// The main window's templates and hand-outs: the template browser (by its
// button and once after start-up), "保存为模板", the rendered picture and
// the product report.
#include <QAction>
#include <QFileInfo>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "app/uformmain.h"
#include "widgets/widget_helpers.h"
#include "output/product_report.h"
#include "output/rendered_picture.h"
#include "templates/template_store.h"
#include "templates/uformsample.h"
#include "templates/uformtemple.h"

namespace v2d {

namespace {
constexpr const char* kMsgNoStoreRights = "您没有维护权限，不能保存模板。";
constexpr const char* kMsgNoRecords = "当前没有区域数据。";
}  // namespace

void TFormMain::ConnectTemplatesAndOutput() {
    auto button = [this](const char* name) { return findChild<QToolButton*>(QString::fromLatin1(name)); };
    connect(button("SpeedButtonLocalTemp"), &QToolButton::clicked, this, &TFormMain::SpeedButtonLocalTempClick);
    connect(button("SpeedButtonTotal"), &QToolButton::clicked, this, &TFormMain::HtmlReport);
    if (QAction* store = findChild<QAction*>(QStringLiteral("N4")))
        connect(store, &QAction::triggered, this, &TFormMain::SaveTempleClick);
    // The one-shot timer of the first showing brings the browser up once.
    connect(TimerShowWeb, &QTimer::timeout, this, &TFormMain::SpeedButtonLocalTempClick);
}

void TFormMain::setTemplateWindows(TFormSample* browser, TFormTemple* names,
                                   std::function<bool(QWidget*, const QString&)> rights) {
    FormSample = browser;
    FormTemple = names;
    templateRights_ = std::move(rights);
    if (FormSample == nullptr) return;
    connect(FormSample, &TFormSample::helpTextReady, this, &TFormMain::ShowHelpText);
    connect(FormSample, &QDialog::accepted, this, [this] {
        if (ConfirmReplaceScene())
            OpenScheme(FormSample->chosenSchemeFile(), SchemeOrigin::Template, FormSample->chosenTemplateName());
    });
}

void TFormMain::SpeedButtonLocalTempClick() {
    if (FormSample == nullptr || FormSample->isVisible()) return;
    FormSample->open();
}

void TFormMain::SaveTempleClick() {
    if (dataModule_ == nullptr || FormTemple == nullptr) return;
    if (document_.scene().count() == 0) {
        prompts_->Show(this, QString::fromUtf8(kMsgNoRecords));
        return;
    }
    if (!templateRights_ || !templateRights_(this, QString::fromUtf8(kMsgNoStoreRights))) return;
    if (FormTemple->exec() != QDialog::Accepted) return;
    Result<int64_t> stored =
        StoreTemplate(*dataModule_, ToPath(programFolder_), document_.scene(), document_.displayed(), FormTemple->details());
    if (!stored) {
        prompts_->Show(this, FromUtf8(stored.error()));
        return;
    }
    if (FormSample != nullptr) FormSample->SetReload();
}

SaveOutcome TFormMain::SpeedButtonSavePicClick() {
    for (;;) {
        const QString chosen = prompts_->SaveFileName(this, ProgramPath("v2d"), QString::fromUtf8(kPictureFilter),
                                                      QStringLiteral("jpg"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        const std::filesystem::path path = WithPictureExtension(ToPath(chosen));
        if (std::filesystem::exists(path) &&
            prompts_->Ask(this, QStringLiteral("文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        if (Status saved = SaveRenderedPicture(document_.displayed(), path); !saved) {
            prompts_->Show(this, FromUtf8(saved.error()));
            return SaveOutcome::Failed;
        }
        return SaveOutcome::Saved;
    }
}

void TFormMain::HtmlReport() {
    const std::filesystem::path folder = ToPath(programFolder_);
    Result<ReportFiles> files =
        WriteProductReport(document_.scene(), document_.displayed(), {folder, {}, ReadDealerInfo(folder), ""});
    if (!files) {
        prompts_->Show(this, FromUtf8(files.error()));
        return;
    }
    prompts_->OpenUrl(QUrl::fromLocalFile(FromPath(files->report)));
}

}  // namespace v2d
