#pragma once
// The outline tool's document, without widgets: a scheme (or a photo that
// starts one) whose ordinary and shadow regions are outlined point by
// point, named, sized and given their perspective corners, with undo. It
// reads and writes through the same core as the main program.
#include <QImage>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "scene/photo_scheme.h"
#include "scene/scene.h"

namespace v2d::tool {

class OutlineEditor {
public:
    // A scheme file as the main program writes it, or a photo for a new one.
    Status OpenScheme(const std::filesystem::path& path);
    Status StartFromPhoto(const std::filesystem::path& path);
    // Version 13, written whole or not at all.
    Status Save(const std::filesystem::path& path);

    const Scene& scene() const { return scene_; }
    const QImage& photo() const { return scene_.background; }
    bool modified() const { return modified_; }
    // Regions the tool edits: ordinary regions and shadow regions.
    bool IsEditable(int index) const;
    // The topmost editable region whose outline holds the point; -1 for none.
    int RegionAt(V2d_Point point) const;

    // The outline being clicked, point by point.
    const std::vector<V2d_Point>& draft() const { return draft_; }
    Status AddDraftPoint(V2d_Point point);
    void CancelDraft() { draft_.clear(); }
    // The draft becomes a region at the end of the list; refused (and the
    // draft kept) for fewer than three points or a size that is not positive.
    Result<int> FinishDraft(const std::string& name, int realWidth, int realHeight);

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
    struct Step {
        enum class Kind { Added, Changed, Deleted } kind = Kind::Changed;
        int index = 0;
        V2dPolygon before;         // Changed: the record's outline fields before
        PolygonPtr removed;        // Deleted: the record itself
        std::unique_ptr<V2dPolygonMesh> mesh;
    };
    Result<V2dPolygon*> Editable(int index);
    void RememberChange(int index);
    Status CheckInPhoto(V2d_Point point) const;
    void Replace(Scene scene);

    Scene scene_;
    std::vector<V2d_Point> draft_;
    std::vector<Step> undo_;
    bool modified_ = false;
};

}  // namespace v2d::tool
