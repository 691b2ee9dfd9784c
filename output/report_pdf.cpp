#include "output/report_pdf.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPageLayout>
#include <QPageSize>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <unistd.h>

#include <optional>
#include <system_error>

#include "base/atomic_file.h"
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

    // The engine hands the document back in memory; it reaches the disk only
    // through an exclusive temporary file beside the target (never a name a
    // stranger could plant a link under), renamed over the old PDF when whole.
    QEventLoop loop;
    QWebEnginePage view;
    std::optional<QByteArray> printed;
    QObject::connect(&view, &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
        if (!ok) return loop.quit();
        const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                             QPageLayout::Millimeter);
        view.printToPdf(
            [&](const QByteArray& document) {
                if (!document.isEmpty()) printed = document;
                loop.quit();
            },
            a4);
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(QString::fromStdString(fs::absolute(page).string())));
    loop.exec();

    if (!printed) return Error{kMsgWriteFailed};
    const auto* bytes = reinterpret_cast<const uint8_t*>(printed->constData());
    if (!WriteFileAtomically(pdf, std::span<const uint8_t>(bytes, static_cast<size_t>(printed->size()))))
        return Error{kMsgWriteFailed};
    return Status::Ok();
}

}  // namespace v2d
