#pragma once
// What the salesperson hands out from a scene: "保存效果图", the scene
// picture as JPEG, and "产品报表", the report beside its picture, opened in
// the web browser.
#include <QString>

class QWidget;

namespace v2d {

class SceneDocument;
class UserPrompts;

// What a save command came to.
enum class SaveOutcome { Saved, NoRecords, Cancelled, Failed };

SaveOutcome SaveScenePicture(QWidget* window, UserPrompts& prompts, const SceneDocument& document,
                             const QString& programFolder);
void ShowProductReport(UserPrompts& prompts, const SceneDocument& document, const QString& programFolder,
                       QWidget* window);

}  // namespace v2d
