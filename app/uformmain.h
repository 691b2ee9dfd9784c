#pragma once
// The main window: owns the scene for the whole run, shows it in the layered
// picture view with the region list beside it, and carries the product panel,
// the toolbar and the bottom bar. Other windows change the scene only through
// the public operations below.
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "models/scene_selection.h"
#include "app/user_prompts.h"
#include "base/process_setup.h"
#include "imagelib/image_library.h"
#include "render/tiling_settings.h"
#include "render/scene_renderer.h"
#include "scene/scene.h"
#include "scene/undo.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTimer;
class QToolButton;
class QWidget;

namespace v2d {

class PictureLayer;
class TCppWebBrowser;
class TFormColor;
class TDataModule_Manager;

// The banner's page and the tutorial page of the web service. Nothing serves
// them yet: the banner falls back to its local page at once.
inline constexpr const char* kAdvertisementUrl = "http://127.0.0.1:9/ad";
inline constexpr const char* kTutorialUrl = "http://127.0.0.1:9/video";

struct MainWindowSetup {
    QString programFolder;           // the executable's folder, without a trailing "/"
    UserPrompts* prompts = nullptr;  // not owned; null: the real message boxes
    QString advertisementUrl = QString::fromUtf8(kAdvertisementUrl);
    int templateBrowserDelayMs = 1000;  // TimerShowWeb's interval
};

// What the save command came to.
enum class SaveOutcome { Saved, NoRecords, Cancelled, Failed };

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // Runs the creation step: titles, current directory, the image library,
    // temp/, the view layers and the handle panels. No database work here.
    explicit TFormMain(MainWindowSetup setup, QWidget* parent = nullptr);
    ~TFormMain() override;

    // --- Start-up -----------------------------------------------------------
    // True when the image library or one of its exports was missing; the
    // program then ends without showing the window.
    bool terminateRequested() const { return terminateRequested_; }
    // The data module is created after the main window; the first showing uses it.
    void setDataModule(TDataModule_Manager* module) { dataModule_ = module; }
    const QString& programFolder() const { return programFolder_; }
    const ImageLibrary& imageLibrary() const { return imageLibrary_; }
    UserPrompts& prompts() { return *prompts_; }
    // The first showing's work (banner, start scheme, timer, update databases,
    // newest material); runs once, from the first show event.
    void FormShow();

    // --- Scene --------------------------------------------------------------
    Scene& scene() { return scene_; }
    const Scene& scene() const { return scene_; }
    // Reads the scheme and replaces the scene, every record rendered and the
    // undo stack emptied; a bad file shows its message and keeps the open
    // scene. True when the scene was replaced.
    bool OpenScheme(const QString& path);
    // Writes the scene; a failure shows its message and leaves any old file.
    bool SaveScheme(const QString& path);
    // Puts a scene in place of the current one: selection cleared, list
    // rebuilt, view laid out, "开始铺贴" and "特效" enabled, every record
    // rendered, undo stack emptied.
    void LoadScene(Scene scene);
    // ListBoxPoly from PolyList, item for item; keeps the selection marks.
    void RefreshRegionList();
    // Rebuilds the displayed scene (Image2) from every record's cache, or
    // with the composer when one was set.
    void RedrawScene();
    // After `changed` was modified: it (and the shadow regions above it) is
    // rendered again with tone, the others come from their caches.
    void RedrawScene(V2dPolygon* changed);
    // Puts other drawing in place of the renderer's quick redraw.
    void setSceneComposer(std::function<QImage(const Scene&)> composer);
    const QImage& displayedScene() const;
    // The renderer over this window's scene, and the undo stack.
    SceneRenderer& renderer() { return renderer_; }
    UndoList& undoList() { return undoList_; }
    // Long operations report here: ProgressBar1 follows, repainted at once.
    Progress ProgressCallback();
    // Lays out the picture panel for the background: size + 2 pixels, scroll
    // bars when larger than PanelBack, centred otherwise.
    void LayoutView();

    // --- Selection ----------------------------------------------------------
    int HitTest(int x, int y) const;
    void ListBoxPolyClick();
    void ClearSelection();
    void DrawOutline(const V2dPolygon* record);
    void PlaceModelHandles(int skip);
    V2dPolygon* CurPoly() const { return scene_.CurPoly; }
    int CurrentIndex() const;
    std::vector<int> SelectedIndices() const;
    // Selects record i as a click in the list would (Ctrl adds); -1 clears.
    void SelectRecord(int index, bool addToSelection = false);
    // The overlay bitmap (white is transparent); null while cleared.
    const QImage& overlay() const { return overlay_; }
    double viewScale() const { return viewScale_; }

    // --- Product panel ------------------------------------------------------
    const std::string& currentProduct() const { return currentProduct_; }
    void setCurrentProduct(std::string descriptor) { currentProduct_ = std::move(descriptor); }
    const QImage& productPicture() const { return productPicture_; }
    void setProductPicture(const QImage& picture);
    int DragKind = 2;  // 2 a material in the product panel, 1 a model
    int mapTolerance() const { return mapTolerance_; }
    // Set by the product loader while it moves the reflection track bar to
    // the product's own value, so that move renders nothing.
    bool LoadingProduct = false;
    // ShapeColor's colour as 0x00BBGGRR.
    uint32_t shapeColour() const;
    void setShapeColour(uint32_t windowsColour);
    // The panel's controls as the tiling and painting operations read them
    // (a size that is no integer reads as 0).
    ProductPanelState ProductPanel() const;
    // False, after the conversion message, when a size edit holds no integer.
    bool ProductSizesAreNumbers();
    // The colour-card window, created once at start-up; not owned.
    void setColourCards(TFormColor* cards) { colourCards_ = cards; }

    // Later work plugs in here; each hook is empty (does nothing) until then.
    struct Hooks {
        std::function<void()> undo;                // Ctrl+Z, "撤销"
        std::function<void()> nextRotationFrame;   // R
        std::function<void()> showTemplateBrowser; // TimerShowWeb
        std::function<void()> applyProduct;        // "开始铺贴"
        std::function<void()> schemeOpened;        // after a scheme replaced the scene (undo stack)
        // A rubber band released inside a region with a material in the panel.
        std::function<void(QPoint start, QPoint end, V2dPolygon* region)> rectangleDrawn;
        // The live rubber band for model products (fitted to the region's
        // perspective); return false to draw the plain rectangle.
        std::function<bool(QPoint start, QPoint end, V2dPolygon* region, QImage& overlay)> drawModelBand;
        // The effect window's offsets and relief; none until it exists.
        std::function<EffectSettings()> effectSettings;
    };
    Hooks hooks;

    // --- Handlers -----------------------------------------------------------
    void SpeedButtonOpenFileClick();
    SaveOutcome SpeedButtonSaveFileClick();
    void N2Click();
    // True when the window may close.
    bool FormCloseQuery();
    void SpeedButtonClearClick();
    void SpeedButtonVedioClick();
    void CheckBoxHelpClick();
    // Makes the hint line visible with a text (template downloads report here).
    void ShowHelpText(const QString& text);
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
    void Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
    void Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
    void ScrollBarXScroll(int position);
    void ScrollBarYScroll(int position);
    // The window's shortcut hook; true when the key was consumed.
    bool FormShortCut(int key, Qt::KeyboardModifiers modifiers);
    // "开始铺贴" and the rubber band inside a region.
    void BitBtnApplyClick();
    void LayProductInRectangle(QPoint start, QPoint end, V2dPolygon* region);
    // Brightness and reflection of the focused record.
    void TrackBarLightChange();
    void EditLightenChange();
    void TrackBarReflectChange();
    void EditReflectChange();
    // Colour painting: the colour dialog and the colour cards.
    void ShapeColorMouseDown();
    void SButtonColorClick();
    // "撤销" and Ctrl+Z.
    void SpeedButtonUndoClick();

    // --- Components, by their names -----------------------------------------
    QWidget* PanelBack = nullptr;
    QWidget* PanelImage = nullptr;
    PictureLayer* Image1 = nullptr;  // overlay, receives the mouse
    PictureLayer* Image2 = nullptr;  // the composed scene
    PictureLayer* Image3 = nullptr;  // overlay shared with Image1
    QScrollBar* ScrollBarX = nullptr;
    QScrollBar* ScrollBarY = nullptr;
    std::array<QLabel*, 9> handles{};  // node1..node8, NodeMove
    QFrame* PanelHelp = nullptr;
    QLabel* LabelHelp = nullptr;
    QCheckBox* CheckBoxHelp = nullptr;
    QGroupBox* GroupBoxPoly = nullptr;
    QListWidget* ListBoxPoly = nullptr;
    QToolButton* SpeedButtonClear = nullptr;
    QLabel* ImageParts = nullptr;
    QLabel* LabelName = nullptr;
    QLabel* LabelNumber = nullptr;
    QLabel* LabelFact = nullptr;
    QLabel* LabelPrice = nullptr;
    QLineEdit* EditPartsWidth = nullptr;
    QLineEdit* EditPartsHeight = nullptr;
    QSlider* TrackBarLight = nullptr;
    QLineEdit* EditLighten = nullptr;
    QLabel* LabelReflect = nullptr;
    QSlider* TrackBarReflect = nullptr;
    QLineEdit* EditReflect = nullptr;
    QCheckBox* CheckBoxFit = nullptr;
    QCheckBox* CheckBoxRot = nullptr;
    QCheckBox* CheckBoxMirror = nullptr;
    QCheckBox* CheckBoxMix = nullptr;
    QFrame* ShapeColor = nullptr;
    QToolButton* SButtonColor = nullptr;
    QRadioButton* RadioButtonFront = nullptr;
    QRadioButton* RadioButtonBack = nullptr;
    QToolButton* BitBtnApply = nullptr;
    QToolButton* SpeedButtonEffect = nullptr;
    QToolButton* SpeedButtonOpenFile = nullptr;
    QToolButton* SpeedButtonSaveFile = nullptr;
    QToolButton* SpeedButtonUndo = nullptr;
    QToolButton* SpeedButtonVedio = nullptr;
    QLabel* LabelPro = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    TCppWebBrowser* CppWebBrowserAd = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenuModel = nullptr;
    QTimer* TimerShowWeb = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildComponents();  // the design-time form
    void FormCreate();
    void BuildToolBar();
    QWidget* BuildPictureArea();
    QWidget* BuildSidePanel();
    QWidget* BuildProductPanel();
    QWidget* BuildBottomBar();
    void BuildHandles();
    void BuildMenus();
    void ConnectRenderingControls();
    bool FilterRenderingControls(QObject* watched, QEvent* event);

    void MergeUpdateDatabases();
    void ShowNewestMaterial();
    void CppWebBrowserAdNavigateError();
    void CppWebBrowserAdNavigateComplete();

    QString ProgramPath(const QString& relative) const;
    void SetHint(const QString& text);
    void SetSliders(const V2dPolygon& record);
    void UpdateScrollBarsForHandles();
    void MoveHandlesBy(QPoint delta);
    QPoint ViewOffsetInPanelBack() const;
    void DrawModelFrame();
    QImage FreshOverlay() const;
    void ShowOverlay(const QImage& overlay);
    void ClearOverlay();
    // Image2 shows what the renderer drew last.
    void ShowRenderedScene();
    // The rest of a scene change once the scene is in place and rendered.
    void SceneReplaced();
    RegionSelection CurrentSelection() const;

    MainWindowSetup setup_;
    QString programFolder_;
    std::unique_ptr<UserPrompts> ownPrompts_;
    UserPrompts* prompts_ = nullptr;
    TDataModule_Manager* dataModule_ = nullptr;
    ImageLibrary imageLibrary_;
    bool terminateRequested_ = false;
    bool shown_ = false;
    bool closeAllowed_ = false;
    bool bannerFallbackUsed_ = false;

    Scene scene_;
    SceneRenderer renderer_{scene_, imageLibrary_};
    UndoList undoList_;
    TFormColor* colourCards_ = nullptr;
    std::function<QImage(const Scene&)> composer_;
    QImage displayed_;
    QImage overlay_;
    double viewScale_ = 1.0;
    std::vector<V2d_Point> outlinePoints_;
    std::vector<int32_t> outlineIndex_;
    std::array<QPoint, 4> cornerHandleAt_{};
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragCurrent_;
    QMenu* contextMenu_ = nullptr;

    std::string currentProduct_;
    QImage productPicture_;
    int mapTolerance_ = 10;
};

}  // namespace v2d
