#include "app/scene_handouts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <optional>

#include "app/window_job.h"
#include "online/service_settings.h"
#include "document/scene_document.h"
#include "layout/region_quote.h"
#include "output/customer_page.h"
#include "output/product_report.h"
#ifdef VEXEL_HAS_PDF
#include "output/report_pdf.h"
#endif
#include "output/rendered_picture.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
constexpr const char* kMsgPictureSaved = QT_TRANSLATE_NOOP("Messages", "效果图已保存到 %1");
constexpr const char* kMsgReportWritten = QT_TRANSLATE_NOOP("Messages", "报表已保存到 %1");
constexpr const char* kMsgPageWritten = QT_TRANSLATE_NOOP("Messages", "客户网页已保存到 %1");
constexpr const char* kMsgPageNothingLaid = QT_TRANSLATE_NOOP("Messages", "方案中尚未铺贴产品，网页只有照片。网页已保存到 %1");
constexpr const char* kMsgNoPageBrowser = QT_TRANSLATE_NOOP("Messages", "无法启动浏览器打开网页。网页已保存到：\n%1");
constexpr const char* kMsgNoBrowser = QT_TRANSLATE_NOOP("Messages", "无法启动浏览器打开报表。报表已保存到：\n%1");

QString Shown(const char* message, const std::filesystem::path& file) {
    return QCoreApplication::translate("Messages", message).arg(QDir::toNativeSeparators(FromPath(file)));
}
}  // namespace

SaveOutcome SaveScenePicture(QWidget* window, UserPrompts& prompts, const SceneDocument& document,
                             const QString& programFolder, const HandoutNote& note, WindowJob& job) {
    for (;;) {
        const QString chosen = prompts.SaveFileName(window, programFolder + QStringLiteral("/v2d"),
                                                    QString::fromUtf8(kPictureFilter), QStringLiteral("jpg"));
        if (chosen.isEmpty()) return SaveOutcome::Cancelled;
        const std::filesystem::path path = WithPictureExtension(ToPath(chosen));
        if (std::filesystem::exists(path) &&
            prompts.Ask(window, QCoreApplication::translate("SceneHandouts", "文件已存在，是否覆盖原文件？")) != PromptAnswer::Yes)
            continue;
        Status saved = Status::Ok();
        const auto work = [&saved, picture = document.displayed(), path](const Progress&, const CancelToken&) {
            saved = SaveRenderedPicture(picture, path);
        };
        if (!job.Run(work, nullptr)) work({}, CancelToken());  // beside a laying under way
        if (!saved) {
            prompts.Show(window, FromUtf8(saved.error()));
            return SaveOutcome::Failed;
        }
        note(Shown(kMsgPictureSaved, path));
        return SaveOutcome::Saved;
    }
}

void ShowProductReport(UserPrompts& prompts, const SceneDocument& document, const QString& programFolder,
                       QWidget* window, const HandoutNote& note, WindowJob& job) {
    const std::filesystem::path folder = ToPath(programFolder);
    std::optional<Result<ReportFiles>> written;
    const auto work = [&written, &document, &folder](const Progress&, const CancelToken&) {
        written.emplace(WriteProductReport(document.scene(), document.displayed(),
                                           {folder, {}, ReadShopDetails(folder), ""},
                                           QuoteForReport(document.scene(), folder)));
    };
    if (!job.Run(work, nullptr)) work({}, CancelToken());  // beside a laying under way
    if (!written) return;
    const Result<ReportFiles>& files = *written;
    if (!files) {
        prompts.Show(window, FromUtf8(files.error()));
        return;
    }
    const std::filesystem::path report = files->report;
    note(Shown(kMsgReportWritten, report));
    prompts.OpenUrl(QUrl::fromLocalFile(FromPath(report)), [&prompts, shownOver = QPointer<QWidget>(window), report] {
        prompts.Show(shownOver, Shown(kMsgNoBrowser, report));
    });
}

void SendToCustomer(UserPrompts& prompts, const SceneDocument& document, const QString& programFolder,
                    QWidget* window, const HandoutNote& note) {
    const std::filesystem::path workspace = ToPath(programFolder);
    const QString name = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    CustomerPageRequest request;
    request.workspace = workspace;
    request.folder = workspace / "share" / name.toStdString();
    // The shop's own address for its pages, else that of the catalogue service
    // serving this workspace, which publishes share/ as it is.
    std::string pages = ReadShopDetails(workspace).sharedPages;
    if (const std::string service = ReadServiceSettings(workspace).host; pages.empty() && !service.empty())
        pages = service + "/share";
    if (!pages.empty())
        if (Result<std::string> address = CustomerPageAddress(pages + "/" + name.toStdString()))
            request.address = *address;
#ifdef VEXEL_HAS_PDF
    request.print = [](const std::filesystem::path& page, const std::filesystem::path& pdf) {
        return PrintReportToPdf(page, pdf);
    };
#endif
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<CustomerPageFiles> written = WriteCustomerPage(document.scene(), document.displayed(), request);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        prompts.Show(window, FromUtf8(written.error()));
        return;
    }
    const std::filesystem::path page = written->page;
    note(Shown(written->products == 0 ? kMsgPageNothingLaid : kMsgPageWritten, request.folder));
    prompts.OpenUrl(QUrl::fromLocalFile(FromPath(page)), [&prompts, shownOver = QPointer<QWidget>(window), page] {
        prompts.Show(shownOver, Shown(kMsgNoPageBrowser, page));
    });
}

}  // namespace v2d
