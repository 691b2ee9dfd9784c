#include "output/report_pdf.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPageLayout>
#include <QPageSize>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <unistd.h>

#include <system_error>

#include "scene/scheme_file.h"

namespace v2d {
namespace fs = std::filesystem;

void PrepareReportPrinting() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
}

Status PrintReportToPdf(const fs::path& page, const fs::path& pdf, int timeoutMs) {
    std::error_code error;
    if (!fs::is_regular_file(page, error)) return Error{"报表文件不存在：" + page.string()};
    fs::path temporary = pdf;
    temporary += ".part";
    fs::remove(temporary, error);

    QEventLoop loop;
    QWebEnginePage view;
    bool printed = false;
    QObject::connect(&view, &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
        if (!ok) return loop.quit();
        const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                             QPageLayout::Millimeter);
        view.printToPdf(QString::fromStdString(temporary.string()), a4);
    });
    QObject::connect(&view, &QWebEnginePage::pdfPrintingFinished, &loop, [&](const QString&, bool ok) {
        printed = ok;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(QString::fromStdString(fs::absolute(page).string())));
    loop.exec();

    if (!printed || !fs::is_regular_file(temporary, error)) {
        fs::remove(temporary, error);
        return Error{kMsgWriteFailed};
    }
    // The engine makes the file for its owner only; a report is for mailing.
    fs::permissions(temporary,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read,
                    error);
    fs::rename(temporary, pdf, error);
    if (error) {
        fs::remove(temporary, error);
        return Error{kMsgWriteFailed};
    }
    return Status::Ok();
}

}  // namespace v2d
