// The main window's pieces and how they are joined: the commands as
// actions, the toolbar, the work area, the side panel, the bottom bar and
// the document's signals.
#include <QAction>
#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/model_menu.h"
#include "widgets/page_browser.h"
#include "app/product_panel_widget.h"
#include "app/history_panel.h"
#include "app/region_list_widget.h"
#include "app/scene_view.h"
#include "app/template_tool_launch.h"
#include "app/uformshadow.h"
#include "app/uformeffect.h"
#include "tools/uformmatedit.h"
#include "app/uformmain.h"
#include "widgets/widget_helpers.h"
#include "base/process_setup.h"
#include "online/http_get_thread.h"
#include "render/tiling.h"

namespace v2d {

namespace {

// A button that stands for an action is enabled only when the action is.
void FollowEnabling(QToolButton* button, QAction* action) {
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
}

// The scene picture before any scheme is opened.
QImage DesignTimeScenePicture() {
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xee, 0xee));
    QPainter p(&image);
    p.setPen(QColor(0x99, 0x99, 0x99));
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(24);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Vexel2D\n请打开方案或选择样板房"));
    return image;
}

QString ProgramFolderOf(const MainWindowSetup& setup) {
    QString folder = setup.programFolder.isEmpty() ? QString::fromStdString(ExecutableFolder().string())
                                                   : setup.programFolder;
    while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
    return folder;
}

}  // namespace

TFormMain::TFormMain(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), programFolder_(ProgramFolderOf(setup_)) {
    setObjectName("FormMain");
    if (setup_.prompts == nullptr) {
        ownPrompts_ = std::make_unique<WidgetPrompts>();
        prompts_ = ownPrompts_.get();
    } else {
        prompts_ = setup_.prompts;
    }
    document_.LoadBackground(DesignTimeScenePicture());

    BuildActions();
    BuildToolBar();
    auto* central = Named(new QWidget(this), QStringLiteral("PanelMain"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    view_ = new SceneView(document_, central);
    row->addWidget(view_, 1);
    row->addWidget(BuildSidePanel());
    column->addLayout(row, 1);
    column->addWidget(BuildBottomBar());
    setCentralWidget(central);
    BuildMenus();
    BuildMenuBar();
    ConnectDocument();
    resize(1280, 860);
    FormCreate();
}

TFormMain::~TFormMain() {
    downloads_.clear();  // stops and joins the workers: no partial file stays
    if (qApp != nullptr) qApp->removeEventFilter(this);
    // The pieces hold the document; they go while it is still there.
    delete centralWidget();
}

QString TFormMain::ProgramPath(const QString& relative) const { return programFolder_ + "/" + relative; }

void TFormMain::BuildActions() {
    auto action = [this](const char* name, const QString& text) {
        auto* made = new QAction(text, this);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    openAction_ = action("ActionOpenScheme", QStringLiteral("打开方案"));
    saveAction_ = action("ActionSaveScheme", QStringLiteral("保存方案"));
    // Named after the step they take: "撤销 铺贴", "重做 移动模型".
    undoAction_ = document_.history().createUndoAction(this, QStringLiteral("撤销"));
    undoAction_->setObjectName("ActionUndo");
    redoAction_ = document_.history().createRedoAction(this, QStringLiteral("重做"));
    redoAction_->setObjectName("ActionRedo");
    exitAction_ = action("N2", QStringLiteral("退出软件"));
    nextRotationFrameAction_ = action("ActionNextRotationFrame", QString());
    saveAsAction_ = action("ActionSaveSchemeAs", QStringLiteral("方案另存为..."));
    savePictureAction_ = action("ActionSavePicture", QStringLiteral("保存效果图"));
    maintenanceAction_ = action("ActionProductMaintenance", QStringLiteral("产品维护"));
    helpAction_ = action("ActionHelp", QStringLiteral("使用说明"));
    deleteModelAction_ = action("ActionDeleteModel", QStringLiteral("删除模型"));
    openAction_->setShortcut(QKeySequence::Open);
    saveAction_->setShortcut(QKeySequence::Save);
    saveAsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    savePictureAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    helpAction_->setShortcut(QKeySequence(Qt::Key_F1));
    deleteModelAction_->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteModelAction_->setEnabled(false);
    addAction(deleteModelAction_);  // a key of the window, in no menu
    connect(openAction_, &QAction::triggered, this, &TFormMain::SpeedButtonOpenFileClick);
    connect(saveAction_, &QAction::triggered, this, [this] { SpeedButtonSaveFileClick(); });
    connect(saveAsAction_, &QAction::triggered, this, [this] { SaveSchemeAsClick(); });
    connect(savePictureAction_, &QAction::triggered, this, [this] { SpeedButtonSavePicClick(); });
    connect(maintenanceAction_, &QAction::triggered, this, &TFormMain::ProductMaintenanceClick);
    connect(helpAction_, &QAction::triggered, this, &TFormMain::HelpClick);
    connect(exitAction_, &QAction::triggered, this, &TFormMain::N2Click);
}

void TFormMain::BuildToolBar() {
    auto* bar = Named(new QToolBar(this), QStringLiteral("ToolBarMain"));
    bar->setMovable(false);
    bar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    auto add = [&](const char* name, const QString& caption, QAction* command = nullptr) {
        QToolButton* button = MakeButton(QString::fromLatin1(name), caption, bar);
        bar->addWidget(button);
        if (command != nullptr) connect(button, &QToolButton::clicked, command, &QAction::trigger);
        return button;
    };
    add("SpeedButtonLocalTemp", QStringLiteral("本地模板"));
    add("SpeedButtonWebTemp", QStringLiteral("在线模板"));
    add("SpeedButtonOpenFile", QStringLiteral("打开方案"), openAction_);
    add("SpeedButtonSaveFile", QStringLiteral("保存方案"), saveAction_);
    bar->addSeparator();
    add("SpeedButtonSelParts", QStringLiteral("选择材料"));
    add("SpeedButtonAdd", QStringLiteral("材料编辑"));
    SpeedButtonEffect = add("SpeedButtonEffect", QStringLiteral("特效"));
    add("SpeedButtonShadow", QStringLiteral("阴影"));
    bar->addSeparator();
    add("SpeedButtonSavePic", QStringLiteral("保存效果图"), savePictureAction_);
    add("SpeedButtonTotal", QStringLiteral("产品报表"));
    bar->addSeparator();
    FollowEnabling(add("ToolButtonUndo", QStringLiteral("撤销"), undoAction_), undoAction_);
    FollowEnabling(add("ToolButtonRedo", QStringLiteral("重做"), redoAction_), redoAction_);
    add("ToolButtonExit", QStringLiteral("退出软件"), exitAction_);
    SpeedButtonEffect->setEnabled(false);
}

QWidget* TFormMain::BuildSidePanel() {
    auto* side = Named(new QWidget(this), QStringLiteral("PanelRight"));
    side->setFixedWidth(300);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(4, 4, 4, 4);
    regionList_ = new RegionListWidget(document_, side);
    productPanel_ = new ProductPanelWidget(document_, *prompts_, programFolder_, side);
    column->addWidget(regionList_, 1);
    column->addWidget(new HistoryPanel(document_.history(), side));
    column->addWidget(productPanel_);
    return side;
}

QWidget* TFormMain::BuildBottomBar() {
    auto* bar = Named(new QFrame(this), QStringLiteral("PanelBottom"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    LabelPro = Named(new QLabel(QString::fromUtf8(kProgressCaption), bar), QStringLiteral("LabelPro"));
    ProgressBar1 = Named(new QProgressBar(bar), QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFixedWidth(180);
    QToolButton* undo = MakeButton(QStringLiteral("SpeedButtonUndo"), QStringLiteral("撤销"), bar);
    QToolButton* redo = MakeButton(QStringLiteral("SpeedButtonRedo"), QStringLiteral("重做"), bar);
    QToolButton* tutorial = MakeButton(QStringLiteral("SpeedButtonVedio"), QStringLiteral("视频教学"), bar);
    CppWebBrowserAd = new TCppWebBrowser(QStringLiteral("CppWebBrowserAd"), bar);
    CppWebBrowserAd->setFixedHeight(34);
    CppWebBrowserAd->HideScrollBars();
    row->addWidget(LabelPro);
    row->addWidget(ProgressBar1);
    row->addWidget(undo);
    row->addWidget(redo);
    row->addWidget(tutorial);
    row->addWidget(CppWebBrowserAd, 1);
    view_->AddZoomBoxTo(*row);
    connect(undo, &QToolButton::clicked, undoAction_, &QAction::trigger);
    connect(redo, &QToolButton::clicked, redoAction_, &QAction::trigger);
    FollowEnabling(undo, undoAction_);
    FollowEnabling(redo, redoAction_);
    connect(tutorial, &QToolButton::clicked, this, &TFormMain::SpeedButtonVedioClick);
    connect(CppWebBrowserAd, &TCppWebBrowser::navigateError, this, [this] { CppWebBrowserAdNavigateError(); });
    connect(CppWebBrowserAd, &TCppWebBrowser::navigateComplete, this, [this] { CppWebBrowserAdNavigateComplete(); });
    return bar;
}

void TFormMain::BuildMenus() {
    PopupMenu2 = Named(new QMenu(this), QStringLiteral("PopupMenu2"));
    QAction* editTemplate = PopupMenu2->addAction(QStringLiteral("编辑模板"));
    editTemplate->setObjectName("N3");
    connect(editTemplate, &QAction::triggered, this,
            [this] { NEditPolyClick(this, document_, *prompts_, programFolder_); });
    PopupMenu2->addAction(QStringLiteral("保存为模板"))->setObjectName("N4");
    PopupMenu2->addAction(openAction_);
    recentMenu_ = Named(new QMenu(QStringLiteral("最近打开的方案"), this), QStringLiteral("MenuRecentSchemes"));
    PopupMenu2->addMenu(recentMenu_);
    PopupMenu2->addAction(saveAction_);
    PopupMenu2->addAction(saveAsAction_);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(maintenanceAction_);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(exitAction_);
    PopupMenuModel = Named(new QMenu(this), QStringLiteral("PopupMenuModel"));
    auto* shadowDialog = new TFormShadow(document_, *prompts_, this);
    auto* modelMenu = new ModelMenu(PopupMenuModel, document_, *prompts_, shadowDialog, this);
    connect(nextRotationFrameAction_, &QAction::triggered, modelMenu, &ModelMenu::node8Click);
    connect(view_, &SceneView::rotationFrameClicked, modelMenu,
            [modelMenu](int direction) { direction < 0 ? modelMenu->node7Click() : modelMenu->node8Click(); });
    connect(findChild<QToolButton*>(QStringLiteral("SpeedButtonShadow")), &QToolButton::clicked, modelMenu,
            &ModelMenu::NSetShadowClick);
    if (QAction* deleteModel = PopupMenuModel->findChild<QAction*>(QStringLiteral("NDeleteModel")))
        connect(deleteModelAction_, &QAction::triggered, deleteModel, &QAction::trigger);
    view_->setContextMenus(PopupMenu2, PopupMenuModel);

    TimerShowWeb = Named(new QTimer(this), QStringLiteral("TimerShowWeb"));
    TimerShowWeb->setSingleShot(true);
    TimerShowWeb->setInterval(setup_.templateBrowserDelayMs);
    connect(TimerShowWeb, &QTimer::timeout, this, &TFormMain::templateBrowserDue);
}

// The window's commands with their keys; the scene menu shares them.
void TFormMain::BuildMenuBar() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    QMenu* file = Named(bar->addMenu(QStringLiteral("文件(&F)")), QStringLiteral("MenuFile"));
    file->addAction(openAction_);
    file->addMenu(recentMenu_);
    file->addAction(saveAction_);
    file->addAction(saveAsAction_);
    file->addSeparator();
    file->addAction(savePictureAction_);
    file->addSeparator();
    file->addAction(exitAction_);
    QMenu* edit = Named(bar->addMenu(QStringLiteral("编辑(&E)")), QStringLiteral("MenuEdit"));
    edit->addAction(undoAction_);
    edit->addAction(redoAction_);
    QMenu* products = Named(bar->addMenu(QStringLiteral("产品(&P)")), QStringLiteral("MenuProducts"));
    products->addAction(maintenanceAction_);
    QMenu* help = Named(bar->addMenu(QStringLiteral("帮助(&H)")), QStringLiteral("MenuHelp"));
    help->addAction(helpAction_);
}

void TFormMain::ConnectDocument() {
    // Repainting only the bar keeps the window from handling other input or
    // timers in the middle of a render.
    connect(&document_, &SceneDocument::progressChanged, ProgressBar1, [bar = ProgressBar1](int percent) {
        if (percent == bar->value()) return;
        bar->setValue(percent);
        bar->repaint();
    });
    connect(&document_, &SceneDocument::sceneReplaced, this, [this] {
        SpeedButtonEffect->setEnabled(true);
        ResetProgressCaption();
    });
    connect(&document_, &SceneDocument::changed, this, [this](const SceneChange& change) {
        if (!change.touches(ChangeAspect::Selection)) return;
        SpeedButtonEffect->setEnabled(document_.focusedRecord() != nullptr);
        deleteModelAction_->setEnabled(IsPlacedModel(document_.focusedRecord()));
        ResetProgressCaption();
    });
    connect(&document_, &SceneDocument::sceneReplaced, this, [this] { deleteModelAction_->setEnabled(false); });
    connect(&document_, &SceneDocument::modifiedChanged, this, &TFormMain::UpdateTitle);
    connect(productPanel_, &ProductPanelWidget::tilingStarted, this, [this] {
        ResetProgressCaption();
        LabelPro->repaint();
    });
    connect(productPanel_, &ProductPanelWidget::helpTextReady, view_, &SceneView::ShowHelpText);
    // A model product cannot be given effects; a material can again.
    connect(productPanel_, &ProductPanelWidget::productKindChosen, SpeedButtonEffect, &QToolButton::setEnabled);
    connect(findChild<QToolButton*>(QStringLiteral("SpeedButtonSelParts")), &QToolButton::clicked, productPanel_,
            &ProductPanelWidget::BitBtnPartsClick);
    effectWindow_ = new TFormEffect(
        document_, *prompts_, [this] { return productPanel_->Controls(); }, [this] { productPanel_->BitBtnApplyClick(); },
        this);
    connect(SpeedButtonEffect, &QToolButton::clicked, this, &TFormMain::SpeedButtonEffectClick);
    materialEditor_ = MakeMaterialEditor();
    connect(findChild<QToolButton*>(QStringLiteral("SpeedButtonAdd")), &QToolButton::clicked, this,
            &TFormMain::SpeedButtonAddClick);
    connect(regionList_, &RegionListWidget::hintsHiddenChanged, view_, &SceneView::SetHintsHidden);
    connect(regionList_, &RegionListWidget::outlineRemoved, this, [this] {
        view_->ClearSelection();
        deleteModelAction_->setEnabled(false);
    });
    view_->setDropSupport({prompts_, programFolder_, [this] { return productPanel_->Controls(); }});
    connect(view_, &SceneView::rectangleDrawn, this, [this](QPoint start, QPoint end, V2dPolygon* region) {
        // The band is gone; the region's outline comes back.
        if (productPanel_->LayProductInRectangle(start, end, region)) view_->DrawOutline(region);
    });
    ConnectTemplatesAndOutput();
}

void TFormMain::SpeedButtonEffectClick() { effectWindow_->exec(); }

void TFormMain::ResetProgressCaption() { LabelPro->setText(QString::fromUtf8(kProgressCaption)); }

void TFormMain::setColourCards(TFormColor* cards) {
    productPanel_->setColourCards(cards);
    materialEditor_->setColourCards(cards);
}

void TFormMain::setProductWindows(TFormSelParts* browser, TFormLoadType* loadType) {
    productPanel_->setProductWindows(browser, loadType);
    productBrowser_ = browser;
}

void TFormMain::ShowHelpText(const QString& text) { view_->ShowHelpText(text); }

}  // namespace v2d
