#include "widgets/desktop_open.h"

#include <QCoreApplication>
#include <QProcess>

namespace v2d {

namespace {
// xdg-open waits for the program it starts when the desktop has no opener
// of its own, so it is watched for two seconds only and left running after.
constexpr const char* kWatchedOpen =
    "xdg-open \"$1\" >/dev/null 2>&1 & opener=$!; i=0; "
    "while [ $i -lt 20 ] && kill -0 $opener 2>/dev/null; do sleep 0.1; i=$((i+1)); done; "
    "kill -0 $opener 2>/dev/null && exit 0; wait $opener";
}  // namespace

void OpenOnDesktop(const QUrl& url, std::function<void()> failed) {
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto done = [process, failed = std::move(failed)](bool ok) {
        if (!ok && failed) failed();
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process, [done](int code, QProcess::ExitStatus status) {
        done(status == QProcess::NormalExit && code == 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [done](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) done(false);
    });
    const QString address = url.isLocalFile() ? url.toLocalFile() : url.toString();
    process->start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), QString::fromLatin1(kWatchedOpen), QStringLiteral("sh"), address});
}

}  // namespace v2d
