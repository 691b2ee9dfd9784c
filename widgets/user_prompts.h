#pragma once
// Every message box and file dialog of the shell goes through this seam, so
// tests can script the answers and read back what the user was told.
#include <QColor>
#include <QString>
#include <QUrl>
#include <QStringList>

#include <functional>
#include <optional>

#include "base/result.h"

class QWidget;

namespace v2d {

inline constexpr const char* kPromptTitle = QT_TRANSLATE_NOOP("Messages", "操作提示：");
// Before a scheme without any region is saved, in the program and the outline tool.
inline constexpr const char* kAskSaveWithoutRegions =
    QT_TRANSLATE_NOOP("Messages", "当前没有区域数据，是否仍然保存方案？");

// Keeps a window at least as wide as the whole title the window manager shows
// ("产品调用方式 — Vexel2D V2012专业版"), whenever it is shown.
void KeepTitleWhole(QWidget& window);

enum class PromptButtons { Ok, YesNo, YesNoCancel };
enum class PromptIcon { Information, Question, Warning };
enum class PromptAnswer { Ok, Yes, No, Cancel };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A message box titled "操作提示：".
    virtual PromptAnswer Message(QWidget* parent, const QString& text, PromptButtons buttons,
                                 PromptIcon icon) = 0;
    // A save dialog in `folder` that does not ask about overwriting itself;
    // empty when cancelled. `filter` is in the dialog's own syntax.
    virtual QString SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // An open dialog in `folder`; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
    // An open dialog that takes several files; empty when cancelled. Seams
    // that answer one file at a time answer it with OpenFileName.
    virtual QStringList OpenFileNames(QWidget* parent, const QString& folder, const QString& filter);
    // The colour dialog opened on `initial`; nullopt when cancelled. The
    // real dialog unless a seam answers instead.
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial);
    // The shell's "open": a document or web address in the desktop's own
    // program (the report in the web browser). `failed` runs later when no
    // program took it. The real one unless a seam answers instead.
    virtual void OpenUrl(const QUrl& url, std::function<void()> failed = {});

    void Show(QWidget* parent, const QString& text) {
        Message(parent, text, PromptButtons::Ok, PromptIcon::Information);
    }
    // A message the core returned, with the icon it asks for.
    void Show(QWidget* parent, const Error& message) {
        Message(parent, QString::fromStdString(message.message), PromptButtons::Ok,
                message.icon == MessageIcon::Question ? PromptIcon::Question : PromptIcon::Information);
    }
    PromptAnswer Ask(QWidget* parent, const QString& text, PromptButtons buttons = PromptButtons::YesNo) {
        return Message(parent, text, buttons, PromptIcon::Question);
    }
};

// The real boxes and dialogs.
class WidgetPrompts final : public UserPrompts {
public:
    PromptAnswer Message(QWidget* parent, const QString& text, PromptButtons buttons, PromptIcon icon) override;
    QString SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override;
    QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) override;
    QStringList OpenFileNames(QWidget* parent, const QString& folder, const QString& filter) override;
};

}  // namespace v2d
