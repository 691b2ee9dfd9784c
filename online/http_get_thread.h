#pragma once
// The download worker for template and product files: one address into one
// file as a job on the thread pool, with five attempts unless told fewer.
// Its events are signals emitted on the pool's thread; receivers on the
// user-interface thread get them queued, so the worker never waits on the
// user interface. The owner keeps the object and destroying it stops and
// joins the worker, which then leaves no partial file.
#include <QObject>
#include <QString>

#include <atomic>

#include "base/thread_pool.h"
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
    // Blocks until the worker has ended (nothing when it never started; a
    // download the pool has not begun yet runs here, or, once stopped, not
    // at all).
    void Join();
    bool running() const { return running_; }
    bool done() const { return done_; }
    bool stopped() const { return stop_; }
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
    bool started_ = false;
    PoolTask worker_;  // last: it goes first, while the rest is still there
};

}  // namespace v2d
