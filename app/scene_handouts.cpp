#include "app/scene_handouts.h"

#include <QCoreApplication>
#include <QUrl>

#include "document/scene_document.h"
#include "layout/region_quote.h"
#include "output/product_report.h"
#include "output/rendered_picture.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

SaveOutcome SaveScenePicture(QWidget* window, UserPrompts& prompts, const SceneDocument& document,
                             const QString& programFolder) {
    for (;;) {
        const QString chosen = prompts.SaveFileName(window, programFolder + QStringLiteral("/v2d"),
                                                    QString::fromUtf8(kPictureFilter), QStringLiteral("jpg"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        const std::filesystem::path path = WithPictureExtension(ToPath(chosen));
        if (std::filesystem::exists(path) &&
            prompts.Ask(window, QCoreApplication::translate("SceneHandouts", "文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        if (Status saved = SaveRenderedPicture(document.displayed(), path); !saved) {
            prompts.Show(window, FromUtf8(saved.error()));
            return SaveOutcome::Failed;
        }
        return SaveOutcome::Saved;
    }
}

void ShowProductReport(UserPrompts& prompts, const SceneDocument& document, const QString& programFolder,
                       QWidget* window) {
    const std::filesystem::path folder = ToPath(programFolder);
    Result<ReportFiles> files =
        WriteProductReport(document.scene(), document.displayed(), {folder, {}, ReadDealerInfo(folder), ""},
                           QuoteForReport(document.scene(), folder));
    if (!files) {
        prompts.Show(window, FromUtf8(files.error()));
        return;
    }
    prompts.OpenUrl(QUrl::fromLocalFile(FromPath(files->report)));
}

}  // namespace v2d
