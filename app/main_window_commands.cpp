#include "app/main_window_commands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "widgets/widget_helpers.h"

namespace v2d {

MainActions MakeMainActions(QObject* owner, QUndoStack& history) {
    auto action = [owner](const char* name, const QString& text) {
        auto* made = new QAction(text, owner);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    MainActions a;
    a.open = action("ActionOpenScheme", QStringLiteral("打开方案"));
    a.save = action("ActionSaveScheme", QStringLiteral("保存方案"));
    // Named after the step they take: "撤销 铺贴", "重做 移动模型".
    a.undo = history.createUndoAction(owner, QStringLiteral("撤销"));
    a.undo->setObjectName("ActionUndo");
    a.redo = history.createRedoAction(owner, QStringLiteral("重做"));
    a.redo->setObjectName("ActionRedo");
    a.exit = action("N2", QStringLiteral("退出软件"));
    a.nextRotationFrame = action("ActionNextRotationFrame", QString());
    a.saveAs = action("ActionSaveSchemeAs", QStringLiteral("方案另存为..."));
    a.savePicture = action("ActionSavePicture", QStringLiteral("保存效果图"));
    a.maintenance = action("ActionProductMaintenance", QStringLiteral("产品维护"));
    a.help = action("ActionHelp", QStringLiteral("使用说明"));
    a.deleteModel = action("ActionDeleteModel", QStringLiteral("删除模型"));
    a.open->setShortcut(QKeySequence::Open);
    a.save->setShortcut(QKeySequence::Save);
    a.saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    a.savePicture->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    a.help->setShortcut(QKeySequence(Qt::Key_F1));
    a.deleteModel->setShortcut(QKeySequence(Qt::Key_Delete));
    a.deleteModel->setEnabled(false);
    return a;
}

void FollowEnabling(QToolButton* button, QAction* action) {
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
}

void BuildMainToolBar(QMainWindow& window, const MainActions& actions) {
    auto* bar = Named(new QToolBar(&window), QStringLiteral("ToolBarMain"));
    bar->setMovable(false);
    bar->setFloatable(false);
    window.addToolBar(Qt::TopToolBarArea, bar);
    auto add = [&](const char* name, const QString& caption, QAction* command = nullptr) {
        QToolButton* button = MakeButton(QString::fromLatin1(name), caption, bar);
        bar->addWidget(button);
        if (command != nullptr) QObject::connect(button, &QToolButton::clicked, command, &QAction::trigger);
        return button;
    };
    add("SpeedButtonLocalTemp", QStringLiteral("本地模板"));
    add("SpeedButtonWebTemp", QStringLiteral("在线模板"));
    add("SpeedButtonOpenFile", QStringLiteral("打开方案"), actions.open);
    add("SpeedButtonSaveFile", QStringLiteral("保存方案"), actions.save);
    bar->addSeparator();
    add("SpeedButtonSelParts", QStringLiteral("选择材料"));
    add("SpeedButtonAdd", QStringLiteral("材料编辑"));
    QToolButton* effect = add("SpeedButtonEffect", QStringLiteral("特效"));
    add("SpeedButtonShadow", QStringLiteral("阴影"));
    bar->addSeparator();
    add("SpeedButtonSavePic", QStringLiteral("保存效果图"), actions.savePicture);
    add("SpeedButtonTotal", QStringLiteral("产品报表"));
    bar->addSeparator();
    FollowEnabling(add("ToolButtonUndo", QStringLiteral("撤销"), actions.undo), actions.undo);
    FollowEnabling(add("ToolButtonRedo", QStringLiteral("重做"), actions.redo), actions.redo);
    add("ToolButtonExit", QStringLiteral("退出软件"), actions.exit);
    effect->setEnabled(false);
}

QMenu* BuildSceneMenu(QMainWindow& window, const MainActions& actions, QMenu* recent) {
    QMenu* menu = Named(new QMenu(&window), QStringLiteral("PopupMenu2"));
    menu->addAction(QStringLiteral("编辑模板"))->setObjectName("N3");
    menu->addAction(QStringLiteral("保存为模板"))->setObjectName("N4");
    menu->addAction(actions.open);
    menu->addAction(QStringLiteral("从照片新建方案"))->setObjectName("ActionNewSchemeFromPhoto");
    menu->addMenu(recent);
    menu->addAction(actions.save);
    menu->addAction(actions.saveAs);
    menu->addSeparator();
    menu->addAction(actions.maintenance);
    menu->addSeparator();
    menu->addAction(actions.exit);
    return menu;
}

void BuildMainMenuBar(QMainWindow& window, const MainActions& actions, QMenu* recent) {
    QMenuBar* bar = window.menuBar();
    bar->setObjectName("MainMenu");
    QMenu* file = Named(bar->addMenu(QStringLiteral("文件(&F)")), QStringLiteral("MenuFile"));
    file->addAction(actions.open);
    file->addMenu(recent);
    file->addAction(actions.save);
    file->addAction(actions.saveAs);
    file->addSeparator();
    file->addAction(actions.savePicture);
    file->addSeparator();
    file->addAction(actions.exit);
    QMenu* edit = Named(bar->addMenu(QStringLiteral("编辑(&E)")), QStringLiteral("MenuEdit"));
    edit->addAction(actions.undo);
    edit->addAction(actions.redo);
    QMenu* products = Named(bar->addMenu(QStringLiteral("产品(&P)")), QStringLiteral("MenuProducts"));
    products->addAction(actions.maintenance);
    QMenu* help = Named(bar->addMenu(QStringLiteral("帮助(&H)")), QStringLiteral("MenuHelp"));
    help->addAction(actions.help);
}

}  // namespace v2d
