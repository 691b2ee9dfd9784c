// The main window's pieces and how they are joined: the commands as
// actions, the work area, the side panel, the bottom bar and the
// document's signals.
#include <QAction>
#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

#include "app/compare_in_scene.h"
#include "app/shop_settings_dialog.h"
#include "app/history_panel.h"
#include "app/local_templates.h"
#include "app/main_window_keys.h"
#include "app/material_filing.h"
#include "app/model_menu.h"
#include "app/online_templates.h"
#include "app/product_panel_widget.h"
#include "app/recent_schemes_menu.h"
#include "app/region_list_widget.h"
#include "app/scene_view.h"
#include "app/status_strip.h"
#include "app/photo_scheme_launcher.h"
#include "app/template_tool_launch.h"
#include "app/uformeffect.h"
#include "app/uformmain.h"

#include "app/compare_in_scene.h"
#include "app/shop_settings_dialog.h"
#include "app/uformshadow.h"
#include "app/window_hold.h"
#include "app/window_job.h"
#include "base/process_setup.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {

// The scene picture before any scheme is opened.
QImage DesignTimeScenePicture() {
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xee, 0xee));
    QPainter p(&image);
    p.setPen(QColor(0x99, 0x99, 0x99));
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(24);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QCoreApplication::translate("v2d::TFormMain", "Vexel2D\n请打开方案或选择样板房"));
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

    actions_ = MakeMainActions(this, document_.history());
    addAction(actions_.deleteModel);  // a key of the window, in no menu
    ConnectActions();
    BuildMainToolBar(*this, actions_);
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
    strip_ = new StatusStrip(*view_, actions_.undo, actions_.redo, programFolder_, this);
    column->addWidget(strip_);
    setCentralWidget(central);
    recent_ = new RecentSchemesMenu(programFolder_, this);
    connect(recent_, &RecentSchemesMenu::chosen, this, &TFormMain::OpenRecentScheme);
    PopupMenu2 = BuildSceneMenu(*this, actions_, recent_->menu());
    BuildModelMenu();
    BuildMainMenuBar(*this, actions_, recent_->menu());
    ConnectDocument();
    ConnectPieces();
    ConnectWindowJob();
    resize(1280, 860);
    FormCreate();
}

TFormMain::~TFormMain() {
    delete std::exchange(job_, nullptr);  // cancels and waits: its work reads the scene
    hold_.reset();
    online_.reset();  // stops and joins the workers: no partial file stays
    delete keys_;
    // The pieces hold the document; they go while it is still there.
    delete centralWidget();
}

void TFormMain::ConnectActions() {
    connect(actions_.open, &QAction::triggered, this, &TFormMain::SpeedButtonOpenFileClick);
    connect(actions_.save, &QAction::triggered, this, [this] { SpeedButtonSaveFileClick(); });
    connect(actions_.saveAs, &QAction::triggered, this, [this] { SaveSchemeAsClick(); });
    connect(actions_.savePicture, &QAction::triggered, this, [this] { SpeedButtonSavePicClick(); });
    connect(actions_.maintenance, &QAction::triggered, this, &TFormMain::ProductMaintenanceClick);
    connect(actions_.help, &QAction::triggered, this, &TFormMain::HelpClick);
    connect(actions_.shareWithCustomer, &QAction::triggered, this,
            [this] { SendToCustomer(*prompts_, document_, programFolder_, this, Noted()); });
    connect(actions_.shopSettings, &QAction::triggered, this, [this] {
        ShopSettingsDialog dialog(programFolder_, *prompts_, this);
        dialog.Edit();
    });
    connect(actions_.exit, &QAction::triggered, this, &TFormMain::N2Click);
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

void TFormMain::BuildModelMenu() {
    connect(PopupMenu2->findChild<QAction*>(QStringLiteral("N3")), &QAction::triggered, this,
            [this] { NEditPolyClick(this, document_, *prompts_, programFolder_); });
    auto* fromPhoto = new PhotoSchemeLauncher(this, *prompts_, [this](const QString& path) {
        if (ConfirmReplaceScene()) OpenScheme(path);
    });
    connect(PopupMenu2->findChild<QAction*>(QStringLiteral("ActionNewSchemeFromPhoto")), &QAction::triggered,
            fromPhoto, &PhotoSchemeLauncher::ActionNewSchemeFromPhotoClick);
    PopupMenuModel = Named(new QMenu(this), QStringLiteral("PopupMenuModel"));
    auto* shadowDialog = new TFormShadow(document_, *prompts_, this);
    auto* modelMenu = new ModelMenu(PopupMenuModel, document_, *prompts_, shadowDialog, this);
    connect(actions_.nextRotationFrame, &QAction::triggered, modelMenu, &ModelMenu::node8Click);
    connect(view_, &SceneView::rotationFrameClicked, modelMenu,
            [modelMenu](int direction) { direction < 0 ? modelMenu->node7Click() : modelMenu->node8Click(); });
    connect(findChild<QToolButton*>(QStringLiteral("SpeedButtonShadow")), &QToolButton::clicked, modelMenu,
            &ModelMenu::NSetShadowClick);
    if (QAction* deleteModel = PopupMenuModel->findChild<QAction*>(QStringLiteral("NDeleteModel")))
        connect(actions_.deleteModel, &QAction::triggered, deleteModel, &QAction::trigger);
    view_->setContextMenus(PopupMenu2, PopupMenuModel);

    TimerShowWeb = Named(new QTimer(this), QStringLiteral("TimerShowWeb"));
    TimerShowWeb->setSingleShot(true);
    TimerShowWeb->setInterval(setup_.templateBrowserDelayMs);
    connect(TimerShowWeb, &QTimer::timeout, this, &TFormMain::templateBrowserDue);
}

void TFormMain::ConnectDocument() {
    connect(&document_, &SceneDocument::progressChanged, strip_, &StatusStrip::ShowRenderProgress);
    connect(&document_, &SceneDocument::sceneReplaced, this, [this] {
        SpeedButtonEffect->setEnabled(true);
        strip_->ResetCaption();
    });
    connect(&document_, &SceneDocument::changed, this, [this](const SceneChange& change) {
        if (!change.touches(ChangeAspect::Selection)) return;
        SpeedButtonEffect->setEnabled(document_.focusedRecord() != nullptr);
        actions_.deleteModel->setEnabled(IsPlacedModel(document_.focusedRecord()));
        strip_->ResetCaption();
    });
    connect(&document_, &SceneDocument::sceneReplaced, this, [this] { actions_.deleteModel->setEnabled(false); });
    connect(&document_, &SceneDocument::modifiedChanged, this, &TFormMain::UpdateTitle);
    connect(productPanel_, &ProductPanelWidget::tilingStarted, this, [this] {
        strip_->ResetCaption();
        strip_->RepaintCaption();
    });
    connect(productPanel_, &ProductPanelWidget::helpTextReady, view_, &SceneView::ShowHelpText);
    SpeedButtonEffect = findChild<QToolButton*>(QStringLiteral("SpeedButtonEffect"));
    // A model product cannot be given effects; a material can again.
    connect(productPanel_, &ProductPanelWidget::productKindChosen, SpeedButtonEffect, &QToolButton::setEnabled);
    connect(regionList_, &RegionListWidget::hintsHiddenChanged, view_, &SceneView::SetHintsHidden);
    connect(regionList_, &RegionListWidget::refused, this,
            [this](const QString& message) { prompts_->Show(this, message); });
    connect(regionList_, &RegionListWidget::outlineRemoved, this, [this] {
        view_->ClearSelection();
        actions_.deleteModel->setEnabled(false);
    });
    view_->setDropSupport({prompts_, programFolder_});
    connect(view_, &SceneView::rectangleDrawn, this, [this](QPoint start, QPoint end, const V2dPolygon* region) {
        // The band is gone; the region's outline comes back.
        if (productPanel_->LayProductInRectangle(start, end, region)) view_->DrawOutline(region);
    });
}

// The pieces with their own commands: each button starts its piece's work.
void TFormMain::ConnectPieces() {
    auto button = [this](const char* name) { return findChild<QToolButton*>(QString::fromLatin1(name)); };
    connect(button("SpeedButtonSelParts"), &QToolButton::clicked, productPanel_, &ProductPanelWidget::BitBtnPartsClick);
    auto* compare = new CompareInScene(*view_, document_, *productPanel_, *prompts_, this);
    connect(productPanel_, &ProductPanelWidget::comparisonChosen, compare, &CompareInScene::Show);
    // The effect window lays while it is open: on this thread, done when it returns.
    effectWindow_ = new TFormEffect(document_, *prompts_, [this] { productPanel_->ApplyOnThisThread(); }, this);
    connect(SpeedButtonEffect, &QToolButton::clicked, effectWindow_, [this] { effectWindow_->exec(); });
    materialFiling_ = new MaterialFiling(*this, document_, *prompts_, *productPanel_, programFolder_);
    connect(button("SpeedButtonAdd"), &QToolButton::clicked, materialFiling_, &MaterialFiling::SpeedButtonAddClick);
    templates_ = new LocalTemplates(*this, document_, *prompts_, programFolder_,
                                    [this](const QString& path, const QString& name) {
                                        if (ConfirmReplaceScene()) OpenScheme(path, SchemeOrigin::Template, name);
                                    });
    connect(templates_, &LocalTemplates::helpTextReady, this, &TFormMain::ShowHelpText);
    connect(button("SpeedButtonLocalTemp"), &QToolButton::clicked, this, &TFormMain::SpeedButtonLocalTempClick);
    connect(button("SpeedButtonTotal"), &QToolButton::clicked, this,
            [this] { ShowProductReport(*prompts_, document_, programFolder_, this, Noted(), *job_); });
    connect(PopupMenu2->findChild<QAction*>(QStringLiteral("N4")), &QAction::triggered, templates_,
            &LocalTemplates::Store);
    // The one-shot timer of the first showing brings the browser up once.
    connect(TimerShowWeb, &QTimer::timeout, this, &TFormMain::SpeedButtonLocalTempClick);
    online_ = std::make_unique<OnlineTemplates>(*this, *prompts_, programFolder_, *strip_, [this](const QString& path) {
        if (!ConfirmReplaceScene()) return false;
        OpenScheme(path, SchemeOrigin::Template);
        return true;
    });
    connect(online_.get(), &OnlineTemplates::helpTextReady, this, &TFormMain::ShowHelpText);
    connect(button("SpeedButtonWebTemp"), &QToolButton::clicked, this, &TFormMain::SpeedButtonWebTempClick);
}

void TFormMain::ConnectWindowJob() {
    job_ = new WindowJob(this);
    connect(job_, &WindowJob::progressed, strip_, &StatusStrip::ShowRenderProgress);
    connect(job_, &WindowJob::runningChanged, this, [this](bool running) {
        if (running) {
            hold_ = std::make_unique<WindowHold>(*this, strip_->cancelButton(), findChild<QWidget*>(QStringLiteral("PanelRight")));
            strip_->BeginCancellable([this] { job_->Cancel(); });
        } else {
            strip_->EndCancellable();
            hold_.reset();
        }
    });
    productPanel_->setWindowJob(job_);
}

bool TFormMain::busy() const { return job_ != nullptr && job_->running(); }

void TFormMain::setDataModule(TDataModule_Manager* module) {
    dataModule_ = module;
    materialFiling_->setDataModule(module);
    templates_->setDataModule(module);
}

void TFormMain::setColourCards(TFormColor* cards) {
    productPanel_->setColourCards(cards);
    materialFiling_->setColourCards(cards);
}

void TFormMain::setProductWindows(TFormSelParts* browser, TFormLoadType* loadType) {
    productPanel_->setProductWindows(browser, loadType);
    productBrowser_ = browser;
    materialFiling_->setProductBrowser(browser);
}

void TFormMain::setTemplateWindows(TFormSample* browser, TFormTemple* names,
                                   std::function<bool(QWidget*, const QString&)> rights) {
    templates_->setWindows(browser, names, std::move(rights));
}

void TFormMain::setOnlineWindows(TFormWebTemp* templates, TFormProductIE* products, bool materialsOnline,
                                 const QString& productCatalogue, const QString& modelCatalogue) {
    online_->setWindow(templates);
    productPanel_->setOnlineWindow(products, materialsOnline, productCatalogue, modelCatalogue);
    connect(productPanel_, &ProductPanelWidget::downloadProgress, strip_, &StatusStrip::ShowDownloadProgress);
    connect(productPanel_, &ProductPanelWidget::downloadStarted, strip_,
            [this] { strip_->BeginCancellable([this] { productPanel_->CancelDownload(); }); });
    connect(productPanel_, &ProductPanelWidget::downloadEnded, strip_, &StatusStrip::EndCancellable);
}

void TFormMain::StartDownload(const QString& url, const QString& target, std::function<void()> completed) {
    online_->StartDownload(url, target, std::move(completed));
}
bool TFormMain::downloadFailed() const { return online_->failed(); }
bool TFormMain::downloading() const { return online_->busy(); }
void TFormMain::SpeedButtonWebTempClick() { online_->Choose(); }
void TFormMain::SpeedButtonLocalTempClick() { templates_->Browse(); }
SaveOutcome TFormMain::SpeedButtonSavePicClick() {
    return SaveScenePicture(this, *prompts_, document_, programFolder_, Noted(), *job_);
}
void TFormMain::ShowHelpText(const QString& text) { view_->ShowHelpText(text); }
HandoutNote TFormMain::Noted() const {
    return [strip = strip_](const QString& text) { strip->ShowNote(text); };
}

}  // namespace v2d
