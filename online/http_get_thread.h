#pragma once
// The download worker for template files: one address into one file on a
// thread of its own, with five attempts. Its events are signals emitted on
// the worker thread; receivers on the user-interface thread get them queued,
// so the worker never waits on the user interface. The owner keeps the
// object and destroying it stops and joins the worker, which then leaves
// no partial file.
#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

#include "online/http_download.h"

namespace v2d {

class THttpGetThread : public QObject {
    Q_OBJECT
public:
    THttpGetThread(QString url, QString targetFile, QObject* parent = nullptr);
    ~THttpGetThread() override;

    int maximumAttempts = 5;
    DownloadOptions options;  // attempts come from maximumAttempts

    void Start();
    // Ends the work early; safe from any thread.
    void Stop() { stop_ = true; }
    // Blocks until the worker has ended (nothing when it never started).
    void Join();
    bool running() const { return running_; }
    bool done() const { return done_; }
    const QString& url() const { return url_; }
    const QString& targetFile() const { return target_; }

signals:
    void OnError(int code);
    void OnComplete();
    void OnSize(qint64 total);
    void OnProgress(qint64 received, qint64 total);
    void OnLog(const QString& text);
    // After OnComplete or OnError: the worker has ended.
    void finished();

private:
    void Execute();

    QString url_;
    QString target_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> done_{false};
    std::thread worker_;
};

}  // namespace v2d
