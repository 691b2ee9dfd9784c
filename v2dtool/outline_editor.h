#pragma once
// The outline tool's document, without widgets: a scheme (or a photo that
// starts one) whose ordinary and shadow regions are outlined point by
// point, named, sized and given their perspective corners, with undo. It
// reads and writes through the same core as the main program.
#include <QImage>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/cancel_token.h"
#include "base/result.h"
#include "scene/photo_scheme.h"
#include "scene/scene.h"
#include "vision/perspective.h"
#include "vision/room_finder.h"
#include "vision/surface_finder.h"

namespace v2d::tool {

// The size a known length gives a surface.
using MeasuredSize = vision::RealSize;

inline constexpr const char* kMsgNothingToCalibrate = QT_TRANSLATE_NOOP("Messages", "请先选出表面或选择一个区域，再画出已知长度的线。");

// An outline being made: clicked point by point, found by smart selection,
// or one surface of a found room (named, sized, standing for `surface` of
// the room found).
struct OutlineDraft {
    std::vector<V2d_Point> points;  // ring after ring
    std::vector<int32_t> ends;      // last point of each ring; empty while clicked one by one
    std::optional<Quad> corners;
    vision::SurfaceClicks clicks;
    std::string name;                   // empty: named when finished
    int realWidth = 0, realHeight = 0;  // millimetres; 0: given when finished
    int surface = -1;                   // index in the room's surfaces; -1: no room's
};

class OutlineEditor {
public:
    // A scheme file as the main program writes it, or a photo for a new one.
    Status OpenScheme(const std::filesystem::path& path);
    Status StartFromPhoto(const std::filesystem::path& path);
    // Version 13, written whole or not at all.
    Status Save(const std::filesystem::path& path);

    const Scene& scene() const { return scene_; }
    const QImage& photo() const { return scene_.background; }
    // The photo's analysis, one for as long as the photo stays; none without a photo.
    const std::shared_ptr<const vision::PhotoAnalysis>& photoAnalysis() const { return analysis_; }
    bool modified() const { return modified_; }
    // Regions the tool edits: ordinary regions and shadow regions.
    bool IsEditable(int index) const;
    // The topmost editable region whose outline holds the point; -1 for none.
    int RegionAt(V2d_Point point) const;

    // The outlines being made: one clicked point by point or found by smart
    // selection, or one per surface of a found room. The current one is the
    // one edited; draft() and the rest below read it (empty without drafts).
    const std::vector<OutlineDraft>& drafts() const { return drafts_; }
    int currentDraft() const { return currentDraft_; }
    void SelectDraft(int index);
    // The topmost draft whose outline holds the point; -1 for none.
    int DraftAt(V2d_Point point) const;
    const std::vector<V2d_Point>& draft() const { return Current().points; }
    // Last point of each ring; empty while points are clicked one by one.
    const std::vector<int32_t>& draftEnds() const { return Current().ends; }
    const std::optional<Quad>& draftCorners() const { return Current().corners; }
    const vision::SurfaceClicks& smartClicks() const { return Current().clicks; }
    Status AddDraftPoint(V2d_Point point);
    // Smart selection and room finding come in two halves, so the finding
    // may run on a worker thread. The Begin call (on the editor's thread)
    // checks the click and answers the work; the work reads only the
    // photo's analysis and what it holds, asks `cancel` at coarse points,
    // and answers the change, which the editor's thread makes with Apply.
    // A refusal or a stop changes nothing.
    using FoundChange = std::function<bool(OutlineEditor&)>;
    using FindWork = std::function<Result<FoundChange>(const CancelToken& cancel)>;
    // Smart selection: the surface under all inside clicks so far, less
    // what lies under the outside ones (`takeAway`), found again. A click
    // outside the photo is refused; a click already given answers no work.
    // Every click reuses the photo's analysis.
    Result<FindWork> BeginSmartClick(V2d_Point point, bool takeAway) const;
    // The whole room: every surface the room finder sees, each a draft with
    // its name, visible outline, corners and size, as one undo step. The
    // finder's refusals (no room, a dark or blurred photo) come from the work.
    Result<FindWork> BeginFindRoom(std::optional<V2d_Point> floorClick) const;
    // The change a work answered, as one undo step; false (nothing changed)
    // when the photo was replaced meanwhile.
    bool Apply(const FoundChange& change);
    // The room the drafts came from; none when they came otherwise.
    const std::optional<vision::RoomLayout>& room() const { return room_; }
    // The current draft given up, as one undo step.
    Status DeleteDraft();
    // The current draft's name and size, kept with it (an undo step for a room's).
    Status SetDraftFields(const std::string& name, int realWidth, int realHeight);
    Status MoveDraftPoint(int point, V2d_Point to, bool recordUndo = true);
    Status MoveDraftCorner(int corner, V2d_Point to, bool recordUndo = true);
    void CancelDraft();
    // Every draft becomes a region at the end of the list with its rings,
    // corners, name and size (the current one's are `name` and the size
    // given), as one undo step; refused (and the drafts kept, the failing
    // one current) for a ring of fewer than three points or a size that is
    // not positive. Answers the index of the current draft's region.
    Result<int> FinishDraft(const std::string& name, int realWidth, int realHeight);

    // The perspective corners of region `index`, or of the draft for -1 (the
    // proposed ones, else the box of its points); none without any.
    std::optional<Quad> CornersOf(int index) const;
    // The real size from a line from `a` to `b` of `millimetres` on the
    // surface of region `index` (-1: the draft). A region takes the size as
    // one change; the draft's size is the caller's to keep. With a room's
    // drafts the line may lie on any of its surfaces, and every draft takes
    // its size (one undo step); the current one's is answered.
    Result<MeasuredSize> Calibrate(int index, V2d_Point a, V2d_Point b, double millimetres);

    // Changes to region `index`. `recordUndo` false continues the change the
    // last call started (a drag makes one undo step).
    Status MovePoint(int index, int point, V2d_Point to, bool recordUndo = true);
    Status DeletePoint(int index, int point);
    Status MoveCorner(int index, int corner, V2d_Point to, bool recordUndo = true);
    Status SetRegionFields(int index, const std::string& name, int realWidth, int realHeight);
    Status DeleteRegion(int index);

    bool canUndo() const { return !undo_.empty(); }
    // The newest change taken back; false when there is none.
    bool Undo();

private:
    // The drafts as an undo step keeps them.
    struct Drafts {
        std::vector<OutlineDraft> list;
        int current = -1;
        std::optional<vision::RoomLayout> room;
    };
    struct Step {
        enum class Kind { Added, Changed, Deleted, Draft } kind = Kind::Changed;
        int index = 0;
        int count = 1;             // Added: records from `index` on
        V2dPolygon before;         // Changed: the record's outline fields before
        PolygonPtr removed;        // Deleted: the record itself
        std::unique_ptr<V2dPolygonMesh> mesh;
        Drafts drafts;             // Draft: the drafts before
    };
    const OutlineDraft& Current() const;
    OutlineDraft& Current();
    void SetDrafts(std::vector<OutlineDraft> list, std::optional<vision::RoomLayout> room);
    void SizeRoomDrafts();
    void RememberDraft();
    void DropDraftSteps();
    Result<V2dPolygon*> Editable(int index);
    void RememberChange(int index);
    Status CheckInPhoto(V2d_Point point) const;
    void Replace(Scene scene);

    Scene scene_;
    std::vector<OutlineDraft> drafts_;
    int currentDraft_ = -1;
    std::optional<vision::RoomLayout> room_;
    std::shared_ptr<const vision::PhotoAnalysis> analysis_;  // of the photo; its parts made at the first smart click
    double cameraFocal_ = 0;  // pixels, once a found surface settled the photo's camera; 0 unknown
    std::vector<Step> undo_;
    bool modified_ = false;
};

}  // namespace v2d::tool
