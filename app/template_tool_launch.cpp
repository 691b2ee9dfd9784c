#include "app/template_tool_launch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"

namespace v2d {

QString TemplateToolPath(const QString& programFolder) {
    for (const QString& folder : {programFolder, QCoreApplication::applicationDirPath()}) {
        const QFileInfo tool(QDir(folder).filePath(QString::fromLatin1(kTemplateToolName)));
        if (!folder.isEmpty() && tool.isFile() && tool.isExecutable()) return tool.absoluteFilePath();
    }
    return {};
}

bool NEditPolyClick(QWidget* parent, const SceneDocument& document, UserPrompts& prompts,
                    const QString& programFolder, const ProgramStarter& start) {
    const QString tool = TemplateToolPath(programFolder);
    if (tool.isEmpty()) {
        prompts.Show(parent, QString::fromUtf8(kMsgTemplateToolMissing));
        return false;
    }
    const QString handOver = QDir(programFolder).absoluteFilePath(QString::fromLatin1(kHandOverFile));
    QDir(programFolder).mkpath(QStringLiteral("temp"));
    // An empty scene is handed over too: the tool starts from its photo.
    if (Outcome saved = document.SaveScheme(ToPath(handOver)); saved.refused()) {
        prompts.Show(parent, FromUtf8(saved.error()));
        return false;
    }
    const ProgramStarter detached = start ? start : [](const QString& program, const QStringList& args, const QString& folder) {
        return QProcess::startDetached(program, args, folder);
    };
    return detached(tool, {handOver}, programFolder);
}

}  // namespace v2d
