#include "app/main_window_commands.h"

#include <QCoreApplication>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "app/key_table.h"
#include "widgets/widget_helpers.h"

namespace v2d {

MainActions MakeMainActions(QObject* owner, QUndoStack& history) {
    auto action = [owner](const char* name, const QString& text) {
        auto* made = new QAction(text, owner);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    MainActions a;
    a.open = action("ActionOpenScheme", QCoreApplication::translate("MainWindow", "打开方案"));
    a.save = action("ActionSaveScheme", QCoreApplication::translate("MainWindow", "保存方案"));
    // Named after the step they take: "撤销 铺贴", "重做 移动模型".
    a.undo = history.createUndoAction(owner, QCoreApplication::translate("MainWindow", "撤销"));
    a.undo->setObjectName("ActionUndo");
    a.redo = history.createRedoAction(owner, QCoreApplication::translate("MainWindow", "重做"));
    a.redo->setObjectName("ActionRedo");
    a.exit = action("N2", QCoreApplication::translate("MainWindow", "退出软件"));
    a.nextRotationFrame = action("ActionNextRotationFrame", QString());
    a.saveAs = action("ActionSaveSchemeAs", QCoreApplication::translate("MainWindow", "方案另存为..."));
    a.savePicture = action("ActionSavePicture", QCoreApplication::translate("MainWindow", "保存效果图"));
    a.maintenance = action("ActionProductMaintenance", QCoreApplication::translate("MainWindow", "产品维护"));
    a.help = action("ActionHelp", QCoreApplication::translate("MainWindow", "使用说明"));
    a.shareWithCustomer = action("ActionShareWithCustomer", QCoreApplication::translate("MainWindow", "发送给客户"));
    a.shopSettings = action("ActionShopSettings", QCoreApplication::translate("MainWindow", "店铺设置..."));
    a.deleteModel = action("ActionDeleteModel", QCoreApplication::translate("MainWindow", "删除模型"));
    a.open->setShortcuts(KeysOf(MainKey::OpenScheme));
    a.save->setShortcuts(KeysOf(MainKey::SaveScheme));
    a.saveAs->setShortcuts(KeysOf(MainKey::SaveSchemeAs));
    a.savePicture->setShortcuts(KeysOf(MainKey::SavePicture));
    a.help->setShortcuts(KeysOf(MainKey::Help));
    a.deleteModel->setShortcuts(KeysOf(MainKey::DeleteModel));
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
    add("SpeedButtonLocalTemp", QCoreApplication::translate("MainWindow", "本地模板"));
    add("SpeedButtonWebTemp", QCoreApplication::translate("MainWindow", "在线模板"));
    add("SpeedButtonOpenFile", QCoreApplication::translate("MainWindow", "打开方案"), actions.open);
    add("SpeedButtonSaveFile", QCoreApplication::translate("MainWindow", "保存方案"), actions.save);
    bar->addSeparator();
    add("SpeedButtonSelParts", QCoreApplication::translate("MainWindow", "选择材料"));
    add("SpeedButtonAdd", QCoreApplication::translate("MainWindow", "材料编辑"));
    QToolButton* effect = add("SpeedButtonEffect", QCoreApplication::translate("MainWindow", "特效"));
    add("SpeedButtonShadow", QCoreApplication::translate("MainWindow", "阴影"));
    bar->addSeparator();
    add("SpeedButtonSavePic", QCoreApplication::translate("MainWindow", "保存效果图"), actions.savePicture);
    add("SpeedButtonTotal", QCoreApplication::translate("MainWindow", "产品报表"));
    add("SpeedButtonShare", QCoreApplication::translate("MainWindow", "发送给客户"), actions.shareWithCustomer);
    bar->addSeparator();
    FollowEnabling(add("ToolButtonUndo", QCoreApplication::translate("MainWindow", "撤销"), actions.undo), actions.undo);
    FollowEnabling(add("ToolButtonRedo", QCoreApplication::translate("MainWindow", "重做"), actions.redo), actions.redo);
    add("ToolButtonExit", QCoreApplication::translate("MainWindow", "退出软件"), actions.exit);
    effect->setEnabled(false);
}

QMenu* BuildSceneMenu(QMainWindow& window, const MainActions& actions, QMenu* recent) {
    QMenu* menu = Named(new QMenu(&window), QStringLiteral("PopupMenu2"));
    menu->addAction(QCoreApplication::translate("MainWindow", "编辑模板"))->setObjectName("N3");
    menu->addAction(QCoreApplication::translate("MainWindow", "保存为模板"))->setObjectName("N4");
    menu->addAction(actions.open);
    menu->addAction(QCoreApplication::translate("MainWindow", "从照片新建方案"))->setObjectName("ActionNewSchemeFromPhoto");
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
    QMenu* file = Named(bar->addMenu(QCoreApplication::translate("MainWindow", "文件(&F)")), QStringLiteral("MenuFile"));
    file->addAction(actions.open);
    file->addMenu(recent);
    file->addAction(actions.save);
    file->addAction(actions.saveAs);
    file->addSeparator();
    file->addAction(actions.savePicture);
    file->addAction(actions.shareWithCustomer);
    file->addAction(actions.shopSettings);
    file->addSeparator();
    file->addAction(actions.exit);
    QMenu* edit = Named(bar->addMenu(QCoreApplication::translate("MainWindow", "编辑(&E)")), QStringLiteral("MenuEdit"));
    edit->addAction(actions.undo);
    edit->addAction(actions.redo);
    QMenu* products = Named(bar->addMenu(QCoreApplication::translate("MainWindow", "产品(&P)")), QStringLiteral("MenuProducts"));
    products->addAction(actions.maintenance);
    QMenu* help = Named(bar->addMenu(QCoreApplication::translate("MainWindow", "帮助(&H)")), QStringLiteral("MenuHelp"));
    help->addAction(actions.help);
}

}  // namespace v2d
