#pragma once
// The main window's commands as actions, and the bars that offer them: the
// toolbar, the menu bar and the scene menu's file part. Only building here;
// the window connects what the commands do.
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QObject;
class QToolButton;
class QUndoStack;

namespace v2d {

struct MainActions {
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* exit = nullptr;
    QAction* saveAs = nullptr;
    QAction* savePicture = nullptr;
    QAction* maintenance = nullptr;
    QAction* help = nullptr;
    QAction* shareWithCustomer = nullptr;  // "发送给客户"
    QAction* shopSettings = nullptr;       // "店铺设置"
    // Delete over a selected model: the model menu's "删除模型".
    QAction* deleteModel = nullptr;
    // R over a selected record; the model operations turn the frame.
    QAction* nextRotationFrame = nullptr;
};

// The actions with their names and keys, owned by `owner`; undo and redo
// follow `history`.
MainActions MakeMainActions(QObject* owner, QUndoStack& history);

// A button that stands for an action is enabled only when the action is.
void FollowEnabling(QToolButton* button, QAction* action);

// "ToolBarMain" with its buttons; the action buttons trigger their actions.
void BuildMainToolBar(QMainWindow& window, const MainActions& actions);

// "PopupMenu2", the menu over the scene; `recent` is "最近打开的方案".
QMenu* BuildSceneMenu(QMainWindow& window, const MainActions& actions, QMenu* recent);

// The window's commands with their keys; the scene menu shares them.
void BuildMainMenuBar(QMainWindow& window, const MainActions& actions, QMenu* recent);

}  // namespace v2d
