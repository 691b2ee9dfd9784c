#include "online/http_get_thread.h"

#include <filesystem>

namespace v2d {

THttpGetThread::THttpGetThread(QString url, QString targetFile, QObject* parent)
    : QObject(parent), url_(std::move(url)), target_(std::move(targetFile)) {}

THttpGetThread::~THttpGetThread() {
    Stop();
    Join();
}

void THttpGetThread::Start() {
    if (started_) return;
    started_ = true;
    running_ = true;
    worker_.Start([this](const CancelToken&) { Execute(); });
}

void THttpGetThread::Join() {
    if (stop_) worker_.Cancel();
    worker_.Wait();
    started_ = false;
    running_ = false;
}

void THttpGetThread::Execute() {
    DownloadOptions run = options;
    run.attempts = maximumAttempts;
    run.stop = &stop_;
    DownloadEvents events;
    events.size = [this](int64_t total) { emit OnSize(total); };
    events.progress = [this](int64_t received, int64_t total) { emit OnProgress(received, total); };
    events.log = [this](const std::string& text) { emit OnLog(QString::fromStdString(text)); };
    const PoolWait waiting;  // on the network: the pool's place is free meanwhile
    const Status result =
        DownloadToFile(url_.toStdString(), std::filesystem::path(target_.toStdU16String()), run, events);
    done_ = result.ok();
    running_ = false;
    if (result)
        emit OnComplete();
    else
        emit OnError(0);
    emit finished();
}

}  // namespace v2d
