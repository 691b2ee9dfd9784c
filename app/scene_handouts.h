#pragma once
// What the salesperson hands out from a scene: "保存效果图", the scene
// picture as JPEG, and "产品报表", the report beside its picture, opened in
// the web browser.
#include <QString>

#include <functional>

class QWidget;

namespace v2d {

class SceneDocument;
class UserPrompts;
class WindowJob;

// What a save command came to.
enum class SaveOutcome { Saved, NoRecords, Cancelled, Failed };

// Where a handout went, for the status bar.
using HandoutNote = std::function<void(const QString&)>;

// A saved picture is noted with its file ("效果图已保存到 …"). It is encoded
// and written on the pool through `job` while the window holds its input.
SaveOutcome SaveScenePicture(QWidget* window, UserPrompts& prompts, const SceneDocument& document,
                             const QString& programFolder, const HandoutNote& note, WindowJob& job);
// The written report is noted with its file; when no browser takes it, a
// message box says so and names the file to open by hand. The files are
// written on the pool while the window holds its input.
void ShowProductReport(UserPrompts& prompts, const SceneDocument& document, const QString& programFolder,
                       QWidget* window, const HandoutNote& note, WindowJob& job);

// "发送给客户": the customer page of the scene as it is now, with its PDF, in
// a new folder of share/ under the program folder named after the time; with
// the shop's publishing address (店铺设置) it carries its address and QR code.
// It is opened in the web browser and noted with its folder.
void SendToCustomer(UserPrompts& prompts, const SceneDocument& document, const QString& programFolder,
                    QWidget* window, const HandoutNote& note);

}  // namespace v2d
