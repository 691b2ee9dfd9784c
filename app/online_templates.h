#pragma once
// "在线模板": a template chosen in the web service's window is opened from
// temple/web, or downloaded there first, in a worker thread with the
// bottom bar's progress and its "取消" (and Esc), which stops every template
// download without a message or a partial file. Destroying this stops and
// joins every worker.
#include <QObject>
#include <QString>

#include <functional>
#include <list>
#include <memory>

class QWidget;

namespace v2d {

class StatusStrip;
class TFormWebTemp;
class THttpGetThread;
class UserPrompts;

class OnlineTemplates : public QObject {
    Q_OBJECT
public:
    // `openTemplate` replaces the scene with a template file; false when
    // the user kept the scene.
    OnlineTemplates(QWidget& window, UserPrompts& prompts, QString programFolder, StatusStrip& strip,
                    std::function<bool(const QString&)> openTemplate);
    ~OnlineTemplates() override;

    void setWindow(TFormWebTemp* templates);
    // Choose a template online; open it, or download it first.
    void Choose();
    // The threaded download into `target`; "下载失败。" on failure,
    // `completed` after success.
    void StartDownload(const QString& url, const QString& target, std::function<void()> completed);
    bool failed() const { return failed_; }
    bool busy() const { return !downloads_.empty(); }
    // "取消": every template download stops; nothing is opened.
    void Cancel();

signals:
    void helpTextReady(const QString& text);

private:
    QWidget& window_;
    UserPrompts& prompts_;
    QString programFolder_;
    StatusStrip& strip_;
    std::function<bool(const QString&)> openTemplate_;
    TFormWebTemp* webTemp_ = nullptr;
    bool failed_ = false;
    std::list<std::unique_ptr<THttpGetThread>> downloads_;
};

}  // namespace v2d
