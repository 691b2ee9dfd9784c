#pragma once
// "编辑模板" (NEditPolyClick): the scene goes to temp/temp.v2d and the outline
// tool v2dtool is started on that file, not waited for; the program never
// reads the file back: the user opens what the tool saves.
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace v2d {

class SceneDocument;
class UserPrompts;

inline constexpr const char* kMsgTemplateToolMissing = QT_TRANSLATE_NOOP("Messages", "找不到模板工具程序v2dtool.exe,请确认是否正确安装软件。");
inline constexpr const char* kTemplateToolName = "v2dtool";
inline constexpr const char* kHandOverFile = "temp/temp.v2d";

// Starts a program detached in a working folder; false when it did not start.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments, const QString& folder)>;

// The tool in the program folder, else beside the running executable; empty
// when neither has it.
QString TemplateToolPath(const QString& programFolder);

// True when the tool was started. A missing tool shows the message and
// writes nothing; a failed write shows the writer's message.
bool NEditPolyClick(QWidget* parent, const SceneDocument& document, UserPrompts& prompts,
                    const QString& programFolder, const ProgramStarter& start = {});

}  // namespace v2d
