#pragma once
// The main window: owns the one scene document for the whole run and puts
// the work area, the region list, the product panel, the toolbar and the
// bottom bar around it. It builds and connects; the pieces call the
// document and follow its signals. Other windows reach the scene through
// document() and the commands as QActions.
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_commands.h"
#include "app/scene_handouts.h"
#include "widgets/user_prompts.h"
#include "document/scene_document.h"
#include "imagelib/image_library.h"

class QMenu;
class QTimer;
class QToolButton;

namespace v2d {

class LocalTemplates;
class MainWindowKeys;
class MaterialFiling;
class OnlineTemplates;
class ProductPanelWidget;
class RecentSchemesMenu;
class RegionListWidget;
class SceneView;
class StatusStrip;
class TFormProductIE;
class TFormWebTemp;
class TDataModule_Manager;
class TFormColor;
class TFormEffect;
class TFormLoadType;
class TFormSample;
class TFormSelParts;
class TFormTemple;
class WindowHold;
class WindowJob;

// The banner's page and the tutorial page of the web service. Nothing serves
// them yet: the banner falls back to its local page at once.
inline constexpr const char* kAdvertisementUrl = "http://127.0.0.1:9/ad";
inline constexpr const char* kTutorialUrl = "http://127.0.0.1:9/video";

struct MainWindowSetup {
    QString programFolder;           // the executable's folder; empty: ExecutableFolder()
    UserPrompts* prompts = nullptr;  // not owned; null: the real message boxes
    QString advertisementUrl = QString::fromUtf8(kAdvertisementUrl);
    int templateBrowserDelayMs = 1000;  // TimerShowWeb's interval
    QString libraryFolder;  // where VexellDll.so lies; empty: programFolder
    QString startFile;      // a scheme or model file to open first; empty: the start scheme
};

// Where an opened scheme came from: the user's own file, which saving
// writes back to and the recent list keeps, or a template (the start
// scheme included), which is saved under a new name.
enum class SchemeOrigin { File, Template };

inline constexpr const char* kAskSaveBeforeOpen = QT_TRANSLATE_NOOP("Messages", "打开前你要保存当前方案吗 ?");
inline constexpr const char* kAskSaveBeforeExit = QT_TRANSLATE_NOOP("Messages", "退出软件前你要保存方案吗 ?");
inline constexpr const char* kAskExit = QT_TRANSLATE_NOOP("Messages", "是否退出软件?");
inline constexpr const char* kStartSchemeName = QT_TRANSLATE_NOOP("Messages", "新方案");

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // Runs the creation step: titles, the image library, temp/, the view
    // layers and the handle panels. No database work here.
    explicit TFormMain(MainWindowSetup setup, QWidget* parent = nullptr);
    ~TFormMain() override;

    // True when the image library or one of its exports was missing; the
    // program then ends without showing the window.
    bool terminateRequested() const { return terminateRequested_; }
    // The data module is created after the main window; the first showing uses it.
    void setDataModule(TDataModule_Manager* module);
    // The colour-card window, created once at start-up; not owned.
    void setColourCards(TFormColor* cards);
    // The product browser and the product source chooser; not owned.
    void setProductWindows(TFormSelParts* browser, TFormLoadType* loadType);
    // The template browser, the template name window and the maintenance
    // rights check of deleting and storing templates; not owned.
    void setTemplateWindows(TFormSample* browser, TFormTemple* names,
                            std::function<bool(QWidget*, const QString&)> rights);
    // The online windows and the service's catalogue pages; not owned.
    void setOnlineWindows(TFormWebTemp* templates, TFormProductIE* products, bool materialsOnline,
                          const QString& productCatalogue, const QString& modelCatalogue);
    // The threaded download into `target` with the progress bar; "下载失败。"
    // on failure, `completed` after success. The window stops and joins it
    // when it goes.
    void StartDownload(const QString& url, const QString& target, std::function<void()> completed);
    bool downloadFailed() const;
    bool downloading() const;
    // "开始铺贴" or the start-up merge is running off the window's thread.
    bool busy() const;
    const QString& programFolder() const { return programFolder_; }
    UserPrompts& prompts() { return *prompts_; }
    SceneDocument& document() { return document_; }

    // The scheme commands with their messages: a bad file keeps the open
    // scene; a failed write leaves any old file. True on success. The
    // title follows; `name` is a template's (a file is named by itself).
    bool OpenScheme(const QString& path, SchemeOrigin origin = SchemeOrigin::File, const QString& name = {});
    bool SaveScheme(const QString& path);
    // Before the scene is replaced: a changed scene asks whether to save
    // it first. False when the user keeps it (Cancel, or no save made).
    bool ConfirmReplaceScene();
    // The window's place as the user left it (vexel2d.ini), inside the
    // screen it opens on; maximised on the first start. Before showing.
    void RestorePlacement();
    // "最近打开的方案", newest first.
    QStringList recentSchemes() const;
    // Makes the hint line visible with a text (template downloads report here).
    void ShowHelpText(const QString& text);
    // True when the window may close.
    bool FormCloseQuery();

public slots:
    void SpeedButtonOpenFileClick();
    // "保存方案": back into the user's scheme file, else as "方案另存为".
    SaveOutcome SpeedButtonSaveFileClick();
    // "方案另存为": the save dialog, asking before overwriting.
    SaveOutcome SaveSchemeAsClick();
    // One of "最近打开的方案"; a file that is gone leaves the list.
    void OpenRecentScheme(const QString& path);
    // "产品维护": the product browser for maintenance.
    void ProductMaintenanceClick();
    // "使用说明" (F1).
    void HelpClick();
    void N2Click();
    // The template browser, modal but without blocking; OK opens its scheme.
    void SpeedButtonLocalTempClick();
    // "保存效果图": the scene picture as JPEG.
    SaveOutcome SpeedButtonSavePicClick();
    // "在线模板": choose a template online; open it, or download it first.
    void SpeedButtonWebTempClick();

signals:
    // TimerShowWeb ran out: time for the template browser.
    void templateBrowserDue();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectActions();
    QWidget* BuildSidePanel();
    void BuildModelMenu();
    void SetSchemeIdentity(const QString& path, const QString& name);
    void UpdateTitle();
    // Changes since the last open or save, in a scene that can be saved.
    bool HasUnsavedWork() const { return document_.isModified() && document_.scene().count() > 0; }
    void ConnectDocument();
    void ConnectPieces();
    // The window's long work: its progress, "取消" and Esc, and the input held meanwhile.
    void ConnectWindowJob();
    // The start-up merge of updatedb/ on the pool; then its messages, the
    // newest material and the template browser's timer (`greet`).
    void MergeUpdates(bool greet);
    void FormCreate();
    // The first showing's work (banner, start scheme, timer, update
    // databases, newest material); runs once, from the first show event.
    void FormShow();
    void ShowNewestMaterial();
    QString ProgramPath(const QString& relative) const { return programFolder_ + "/" + relative; }
    // A handout's note in the status bar.
    HandoutNote Noted() const;

    MainWindowSetup setup_;
    QString programFolder_;
    std::unique_ptr<UserPrompts> ownPrompts_;
    UserPrompts* prompts_ = nullptr;
    TDataModule_Manager* dataModule_ = nullptr;
    ImageLibrary imageLibrary_;
    SceneDocument document_{imageLibrary_};
    bool terminateRequested_ = false;
    bool shown_ = false;

    MainActions actions_;
    SceneView* view_ = nullptr;
    RegionListWidget* regionList_ = nullptr;
    ProductPanelWidget* productPanel_ = nullptr;
    StatusStrip* strip_ = nullptr;
    RecentSchemesMenu* recent_ = nullptr;
    MainWindowKeys* keys_ = nullptr;
    // The file "保存方案" writes to; empty for a template or the start scheme.
    QString schemePath_;
    QString schemeName_;  // in the title
    QToolButton* SpeedButtonEffect = nullptr;
    TFormEffect* effectWindow_ = nullptr;
    MaterialFiling* materialFiling_ = nullptr;
    LocalTemplates* templates_ = nullptr;
    TFormSelParts* productBrowser_ = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenuModel = nullptr;
    QTimer* TimerShowWeb = nullptr;
    WindowJob* job_ = nullptr;  // deleted first: it waits for its work
    std::unique_ptr<WindowHold> hold_;
    // Destroyed first, so each worker is stopped and joined while the
    // window is still whole.
    std::unique_ptr<OnlineTemplates> online_;
};

}  // namespace v2d
