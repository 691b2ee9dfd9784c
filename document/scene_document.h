#pragma once
// The scene document: the one owner of the scene, its renderer and caches,
// the history of edits, the region selection and the current product.
// Windows and the command line change the scene only through its
// operations (they read it through const access); every change is made in
// one EditScope that becomes a step of the history. After each edit, undo
// or redo the document draws once what the change needs (PlanRedraw, from
// the records as they were and are) and announces the touched records with
// one `changed` signal. The selection names records by their RecordId.
#include <QImage>
#include <QObject>
#include <QUndoStack>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/cancel_token.h"
#include "base/geometry.h"
#include "base/progress.h"
#include "base/result.h"
#include "document/carried_model.h"
#include "document/edits/edit_history.h"
#include "document/edits/redraw_plan.h"
#include "document/outcome.h"
#include "layout/light_mode.h"
#include "document/tile_command.h"
#include "imagelib/image_operations.h"
#include "models/handle_drag.h"
#include "models/model_operations.h"
#include "models/scene_selection.h"
#include "render/perspective_model_drawer.h"
#include "render/scene_renderer.h"
#include "render/tiling_settings.h"
#include "scene/scene.h"
#include "scene/scheme_file.h"

namespace v2d {

namespace vision {
class PhotoAnalysis;
}

// What the product panel holds: a material to lay, or a model to place.
// The numbers are the program's drag kinds.
enum class DragKind { Model = 1, Material = 2 };

struct CurrentProduct {
    QImage picture;   // ImageParts: the map that is tiled
    Product product;  // read once from its descriptor where it came in
    DragKind dragKind = DragKind::Material;
    int mapTolerance = 10;   // of the product map last loaded
    // The model file as read for the preview; a drop or a drawn rectangle
    // of the product uses it while the file stands as it was read.
    std::optional<CarriedModel> model = std::nullopt;

    const std::string& descriptor() const { return product.descriptor(); }
};

inline constexpr const char* kMsgNoRealSize = "区域或产品的实际尺寸为0，不能放入区域。";

// A model product let go over the scene.
struct ModelDrop {
    std::filesystem::path modelFile;
    Product product;         // its descriptor copied into the model's partsInfo; empty keeps the file's own
    V2d_Point point;         // picture coordinates
    int target = -1;         // ModelDropTarget, or a region chosen by the caller
    bool replace = false;    // the user agreed to replace the target picture model
    // Asked instead of `replace` once the model file has been read, so a
    // file that does not read asks nothing.
    std::function<bool()> confirmReplace;
    bool fitIntoRegion = false;  // fit into a region target even without a category memo
    // The product's size in millimetres; 0 takes it from the product's
    // PartsSpecs.
    int realWidth = 0, realHeight = 0;
};

class SceneDocument : public QObject, private EditApplier {
    Q_OBJECT
public:
    explicit SceneDocument(const ImageOperations& ops, QObject* parent = nullptr);
    ~SceneDocument() override;
    SceneDocument(const SceneDocument&) = delete;
    SceneDocument& operator=(const SceneDocument&) = delete;

    const Scene& scene() const { return scene_; }
    const SceneRenderer& renderer() const { return renderer_; }
    const ImageOperations& ops() const { return ops_; }
    // The picture the scene view shows.
    const QImage& displayed() const { return renderer_.displayed(); }
    // The analysis of the scene's photo (upright photo, reduced copy, line
    // segments, vanishing points, camera), made at the first call for the
    // photo the scene has now and shared by every finder that asks; its parts
    // are worked out at their first use. Refused for a scene without a photo.
    Result<std::shared_ptr<const vision::PhotoAnalysis>> photoAnalysis() const;

    // --- Scene files ------------------------------------------------------
    // Reads the scheme; on success it replaces the scene, every record is
    // rendered, the history emptied and the selection cleared. A file that
    // does not read leaves the open scene as it was. The two parts in turn:
    Outcome OpenScheme(const std::filesystem::path& path);
    // The file's part: reads and decodes, touching no document (any thread).
    static Result<SchemeFile> ReadScheme(const std::filesystem::path& path, const Progress& progress = {});
    // The scene's part, on the document's thread: what was read replaces the
    // scene; a refusal leaves the scene as it was.
    Outcome InstallScheme(Result<SchemeFile> file);
    // Writes the scene; a failure leaves any old file as it was. It reads the
    // scene only, so it may run on another thread while the scene is held
    // still. Cancelled before the file is replaced, it writes nothing and
    // answers "nothing to do".
    Outcome SaveScheme(const std::filesystem::path& path, const CancelToken& cancel = {}) const;
    // Puts a scene in place of the current one, as opening a scheme does.
    void LoadScene(Scene scene);
    // The photo alone, no records (the window's picture before any scheme).
    void LoadBackground(QImage background);
    // True when the scene differs from what was opened, loaded or saved.
    bool isModified() const { return !history_.stack().isClean(); }
    // The scene as it stands is in its file now.
    void SetSaved() { history_.stack().setClean(); }

    // --- History ------------------------------------------------------------
    // The steps, for the window's undo and redo actions and history list.
    QUndoStack& history() { return history_.stack(); }
    // "撤销" and "重做": nothing to do when there is no step.
    Outcome Undo();
    Outcome Redo();
    // Back to the scene as it was opened (every step undone).
    void UndoAll();
    // The history keeps at most this many bytes of pictures; older steps go.
    void SetHistoryBudget(size_t bytes) { history_.SetBudget(bytes); }
    size_t historyBytes() const { return history_.keptBytes(); }
    // A drag (slider, handle, offset) starts: the edits it makes until
    // EndGesture are one step.
    void BeginGesture() { gesture_ = ++lastGesture_; }
    void EndGesture() { gesture_ = 0; }

    // --- Selection --------------------------------------------------------
    // The selection as positions in the list now; the document keeps it by
    // identity, so it follows its records when the list changes.
    RegionSelection selection() const;
    // The record the outline and the handles are on; none after
    // "删除装饰边缘线" while the list keeps its selection.
    const V2dPolygon* focusedRecord() const;
    // The list's own selection, with the entries the focused record takes
    // along (its group, its model's parts or owner) added.
    void SelectFromList(int focused, std::vector<int> selected);
    // As a click on record `index` (Ctrl adds); -1 clears the focus.
    void Select(int index, bool addToSelection = false);
    void ClearSelection();
    // "删除装饰边缘线": no record is current while the list keeps its
    // current and selected items, so "开始铺贴" still lays into them.
    void DropCurrentRecord();
    // Exactly these records, nothing taken along (the command line's lists).
    void SetSelection(RegionSelection selection);

    // --- Current product --------------------------------------------------
    const CurrentProduct& product() const { return product_; }
    void SetProduct(CurrentProduct product);
    void SetDragKind(DragKind kind);
    // The panel's controls (size, turn, mirror, fit, colour, pattern and
    // joints); the product itself comes from SetProduct.
    void SetPanelControls(const ProductPanelState& controls);
    // The effect window's offsets and relief, used by the next tiling.
    void SetEffectSettings(const EffectSettings& effect) { laying_.effect = effect; }
    // What the next laying lays: the current product with the panel's
    // controls and the effect window's settings.
    LayingSettings laying() const;

    // --- Operations -------------------------------------------------------
    // "开始铺贴" over the selection: refused by a check that stops it before
    // any region is touched; the messages of single regions are its notes,
    // the number of regions laid its value.
    Outcome TileSelection();
    // The same in two halves, for the window that computes the layings on the
    // pool in between (LayPlannedRegions on scene(), while nothing changes the
    // scene): the checks and the regions to lay, then the computed layings
    // stored in one edit as TileSelection stores them. A plan that stopped is
    // answered here as TileSelection answers it.
    TilingPlan PlanTileSelection() const;
    Outcome StoreTiling(TilingPlan plan);
    // The rubber band released over ordinary region `region`, in the
    // panel's pattern; nothing to do when nothing was laid.
    Outcome LayProductInRectangle(const V2dPolygon* region, V2d_Point start, V2d_Point end);
    // Brightness and reflection of the focused record; nothing to do when
    // nothing changed.
    Outcome SetLighten(int lighten);
    Outcome SetReflect(int reflect);
    // The light the selected ordinary regions are toned with ("照片原样":
    // the photo's, "去除原有纹理": the room's without the old surface's
    // pattern), in one step; the number changed is its value, nothing to do
    // when none changes.
    Outcome SetLightMode(LightMode mode);
    // Colour painting with "前景色", and from the colour cards. Both return
    // the number of records painted as their value.
    Outcome PaintSelection(uint32_t colour);
    Outcome PaintFromColourCard(uint32_t colour);
    // The arrow keys move the focused picture model (or the model of a
    // part) by one pixel; nothing to do when there is none.
    Outcome NudgeFocusedModel(int dx, int dy);
    // Every record from its cache again.
    void Redraw();
    // Every record rendered again, as after opening.
    void RenderAll();
    // The command line's render draws once more and writes out (see SceneRenderer::DrawOnce).
    void DrawOnce(int64_t workingBytes) { renderer_.DrawOnce(workingBytes); }

    // --- Models -------------------------------------------------------------
    // Loads a model file at the end of PolyList (an owner first for a model
    // with parts) and clears the selection; its value is the number of
    // records added, nothing to do (0) when the file does not exist.
    Outcome LoadModelFile(const std::filesystem::path& path);
    // The record a model dropped at the picture point lands on: the hit
    // record, or the owner of a hit part; -1 for none. The window asks
    // whether to replace it when it is a picture model.
    int ModelDropTarget(V2d_Point point) const;
    // Loads and places the model: fitted into the target region at the
    // product's size, in the place of the target picture model when
    // `replace` is set (taking its place in the drawing order too), else
    // free and centred on the point; furniture let go on a carpet or a
    // picture stands on the region beneath instead. A model not replacing
    // one goes in front of what it stands on (BringToFront). The model is
    // drawn and selected; its position in PolyList is the outcome's value
    // (nothing to do when the file does not exist). A decoration line
    // ("装饰线") is not placed but drawn across the target region at the
    // point, with undo; the region's position is the value.
    Outcome DropModel(const ModelDrop& drop);
    // A model drawn as a rectangle inside a region: loaded with the
    // product's descriptor, its quad set to `corners` (picture coordinates),
    // in front of what it stands on (BringToFront). Drawn and selected; its
    // position is the value (nothing to do: no file).
    Outcome PlaceModelInRectangle(const std::filesystem::path& modelFile, const Product& product,
                                  const Quad& corners);
    // A material let go over the scene: the record under the point (for a
    // model with parts, the part under it) receives the product as
    // "开始铺贴" lays it. Nothing to do for no hit, a shadow or a cut-out;
    // the tiling's refusal, if any, is the outcome's.
    Outcome DropMaterial(V2d_Point point);
    // The centre handle: the focused model (the owner of a part) moves by a
    // step in picture pixels; the first step of a drag starts the edit,
    // FinishModelMove draws the picture and makes the drag one step.
    Outcome MoveFocusedModel(int dx, int dy, bool firstStep);
    void FinishModelMove();
    // A corner or edge handle moved: the focused model's corners follow the
    // handles; on release the model is drawn again (a cut-out settles its
    // origin and scale first).
    Outcome ShapeFocusedModel(const HandlePositions& handles, QPoint viewOffset, double zoom);
    void FinishModelShaping();

    // --- Model menu, shadows and the region list (scene_document_operations.cpp)
    // "横向镜像" / "竖向镜像" of the selected picture model, "重置模型" of the
    // selected record; nothing to do when nothing changed.
    Outcome MirrorSelected(MirrorAxis axis);
    Outcome ResetSelected();
    // "复制模型": a copy of the focused model (the whole model for a part or
    // an owner), 20 pixels right of and below it (the other way where the
    // picture ends) and in front of what it stands on, drawn and selected; its position is the value, nothing to
    // do when there is none.
    Outcome CopyFocusedModel();
    // "删除模型" for every selected entry: "请先选择区域。" without a focused
    // entry; `confirm` is asked next and anything but true stops; a member
    // of a region group refuses. Owners take their parts along.
    Outcome DeleteSelection(const std::function<bool()>& confirm);
    // The focused cut-out model's next (+1) or previous (-1) rotation frame.
    Outcome StepFocusedFrame(int direction);
    // The focused model's shadow settings; the scene is redrawn only when
    // one of them changed.
    struct ShadowSettings {
        bool castShadow = true;
        int shadowX = 5, shadowY = 5, shadowRadius = 10;
        uint32_t shadowColor = kDefaultShadowColor;
        friend bool operator==(const ShadowSettings&, const ShadowSettings&) = default;
    };
    std::optional<ShadowSettings> FocusedShadow() const;
    Outcome SetFocusedShadow(const ShadowSettings& settings);
    // The record at `from` moves to `to` (a drag in the region list) and is
    // selected; a model part, or a position outside the list, stays put.
    Outcome MoveRecord(int from, int to);
    // --- Effect window --------------------------------------------------------
    const EffectSettings& effectSettings() const { return laying_.effect; }
    // An offset changed: the focused record, when it is a plain region, is
    // tiled again with the current product and the effect settings, and the
    // scene redrawn for it alone. Nothing to do when nothing was tiled; the
    // tiling's refusal, if any, comes back as the outcome's.
    Outcome TileFocusedRegion();

    // The progress of the operation running now, as a callback for code
    // that reports it; it starts the bar at 0.
    Progress StartProgress();

signals:
    // The scene was replaced: list, layout and selection start afresh.
    void sceneReplaced();
    // After every apply, undo and redo, and every selection change: which
    // records, which aspects. The displayed picture is up to date.
    void changed(const v2d::SceneChange& change);
    void productChanged();
    void progressChanged(int percent);
    // The scene became changed, or saved or replaced.
    void modifiedChanged(bool modified);

private:
    // Tests arrange records no operation makes (a region without a size, a
    // picture set beforehand) through it; nothing else writes past the edits.
    friend struct SceneDocumentAccess;

    // One edit under way. It takes the state of the records it touches when
    // it starts; the operation changes them without drawing. Commit draws the
    // change once, makes it one step of the history (when the records,
    // compared whole, or the list changed) and announces it. A scope left
    // without Commit (a refusal half-way, an exception, also one thrown while
    // Commit draws) puts the scene, the records it took out and the selection
    // back as they were and draws what that needs; the history is untouched.
    class EditScope {
    public:
        // `records` may name records of a model with parts: their owner (and
        // its parts) are captured with them.
        EditScope(SceneDocument& document, EditKind kind, std::vector<V2dPolygon*> records, bool withOrder = false);
        ~EditScope();
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;

        void SetKind(EditKind kind) { kind_ = kind; }
        // A record the edit brought into the list, announced with the change.
        void Add(const V2dPolygon* record) { records_.push_back(record->id); }
        // Records (a model with its parts) go out of the list into the edit.
        void Remove(const std::vector<V2dPolygon*>& records);
        // The change is made: it is drawn (reporting to `progress`), becomes
        // a step and is announced. `laid` names records whose new picture
        // can be laid again from `laying` instead of being kept.
        void Commit(ChangeAspects aspects, const Progress& progress, const std::vector<V2dPolygon*>& laid = {},
                    const LayingSettings& laying = {});

    private:
        void RollBack() noexcept;

        SceneDocument& document_;
        EditKind kind_;
        std::vector<RecordId> records_;
        bool withOrder_;
        SceneState before_;
        ParkedRecords parked_;
        RecordSelection selection_;
        bool currentDropped_;
        bool drawing_ = false;  // Commit began to draw
        bool committed_ = false;
    };

    void ApplyState(EditPayload& edit, const SceneState& state) override;
    // The focused record, for the document's own changes.
    V2dPolygon* Focused();
    // The one place the scene is drawn after a change.
    void Draw(const RedrawPlan& plan, const Progress& progress);
    void Announce(const std::vector<RecordId>& records, ChangeAspects aspects);
    void RelayPicture(V2dPolygon& record, const LayingSettings& laying);
    // Whether the renderer draws a record flat from its own picture (a flat
    // painting of a region; never a model, which its drawer draws).
    DrawnFlat DrawnFlatTest() const;
    // The record's picture is now that laying (a new laying then keeps
    // settings, not pixels, for the picture it replaces).
    void RememberLaying(V2dPolygon& record, const LayingSettings& laying);
    std::vector<V2dPolygon*> SelectedRecords();
    // The selection an edit's state keeps: no focused record while the
    // current one is dropped, only records in the list.
    RecordSelection CapturedSelection() const;
    void RestoreSelection(const RecordSelection& selection);
    // The selection set without announcing it (an edit announces it with
    // its change); the first takes the focused record's companions along.
    void SelectQuietly(int focused, std::vector<int> selected);
    void PutSelection(RegionSelection selection);
    void SceneWasReplaced();
    Result<int> DrawDecorationLineAt(const ModelDrop& drop);
    // Reads the model file and appends its records (an owner first for a
    // model with parts); their count, 0 when the file does not exist.
    Result<int> AppendModelFile(const std::filesystem::path& path);
    // The model file's first record (the owner of a model with parts) with the
    // product string; null when the file does not exist.
    Result<V2dPolygon*> LoadModelForPlacement(const std::filesystem::path& path, const Product& product);
    // What the handles act on: the focused model, or the owner of a part.
    V2dPolygon* FocusedModel();
    // A model just placed: drawn, selected and committed; its position.
    int ShowPlacedModel(V2dPolygon* model, EditScope& edit);
    Result<int> DropModelInto(const ModelDrop& drop, EditScope& edit);

    const ImageOperations& ops_;
    Scene scene_;
    SceneRenderer renderer_{scene_, ops_};
    EditHistory history_{*this};
    RecordSelection selection_;
    bool currentDropped_ = false;
    PerspectiveModelDrawer modelDrawer_;
    CurrentProduct product_;
    LayingSettings laying_;  // the controls; the product is product_
    int lastProgress_ = -1;
    int gesture_ = 0, lastGesture_ = 0;
    // The photo's analysis and the photo it was made of (its cache key).
    mutable std::shared_ptr<const vision::PhotoAnalysis> analysis_;
    mutable qint64 analysedPhoto_ = 0;
    // What each record was last laid with, and the picture that gave, so a
    // new laying keeps settings instead of pixels for the picture it replaces.
    std::vector<std::tuple<RecordId, qint64, LayingSettings>> laidWith_;
    std::optional<EditScope> drag_;  // a model move or shaping under way; goes first
};

}  // namespace v2d
