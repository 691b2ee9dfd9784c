#include "v2dtool/outline_editor.h"

#include <algorithm>

#include "scene/outline_geometry.h"
#include "scene/scheme_file.h"
#include "vision/room_region.h"

namespace v2d::tool {
namespace {

constexpr const char* kMsgNotEditable = QT_TRANSLATE_NOOP("Messages", "只能编辑普通区域和阴影区域。");
constexpr const char* kMsgTooFewPoints = QT_TRANSLATE_NOOP("Messages", "区域至少需要三个点。");
constexpr const char* kMsgInGroup = QT_TRANSLATE_NOOP("Messages", "区域是组成员,请解组后再删除。");

// The fields an outline change touches.
void CopyOutlineFields(const V2dPolygon& from, V2dPolygon& to) {
    to.name = from.name;
    to.points = from.points;
    to.indexList = from.indexList;
    std::copy(std::begin(from.corners), std::end(from.corners), to.corners);
    to.realWidth = from.realWidth;
    to.realHeight = from.realHeight;
}

cv::Point2d PointOf(V2d_Point p) { return {double(p.x), double(p.y)}; }

// A surface of the found room as a draft: its visible outline (on the
// photo), corners, name and size as the room's region is made.
std::optional<OutlineDraft> DraftOfSurface(const vision::RoomLayout& room, int surface, QSize photo) {
    const vision::RoomSurface& found = room.surfaces[size_t(surface)];
    if (found.outline.empty() || found.outline.front().size() < 3) return std::nullopt;
    RegionOutline region = vision::RegionOfSurface(room, found);
    OutlineDraft draft;
    for (V2d_Point p : region.points)
        draft.points.push_back({std::clamp(p.x, 0, photo.width() - 1), std::clamp(p.y, 0, photo.height() - 1)});
    draft.ends = std::move(region.indexList);
    draft.corners = region.corners;
    draft.name = std::move(region.name);
    draft.realWidth = region.realWidth;
    draft.realHeight = region.realHeight;
    draft.surface = surface;
    return draft;
}

const OutlineDraft kNoDraft;

}  // namespace

void OutlineEditor::Replace(Scene scene) {
    scene_ = std::move(scene);
    drafts_.clear();
    currentDraft_ = -1;
    room_.reset();
    auto analysis = vision::PhotoAnalysis::Of(scene_.background);
    analysis_ = analysis ? std::move(*analysis) : nullptr;
    cameraFocal_ = 0;
    undo_.clear();
    modified_ = false;
}

Status OutlineEditor::OpenScheme(const std::filesystem::path& path) {
    Result<SchemeFile> file = ReadSchemeFile(path);
    if (!file) return Error{file.error()};
    if (file->scene.background.isNull()) return Error{kMsgBadFormat};
    Replace(std::move(file->scene));
    return Status::Ok();
}

Status OutlineEditor::StartFromPhoto(const std::filesystem::path& path) {
    Result<QImage> photo = ReadPhoto(path);
    if (!photo) return Error{photo.error()};
    Scene scene;
    scene.background = std::move(*photo);
    Replace(std::move(scene));
    return Status::Ok();
}

Status OutlineEditor::Save(const std::filesystem::path& path) {
    if (Status written = WriteSchemeFile(scene_, path); !written) return written;
    modified_ = false;
    return Status::Ok();
}

bool OutlineEditor::IsEditable(int index) const {
    if (index < 0 || index >= scene_.count()) return false;
    return scene_.at(index)->isRegion();
}

int OutlineEditor::RegionAt(V2d_Point point) const {
    for (int i = scene_.count() - 1; i >= 0; --i) {
        if (!IsEditable(i)) continue;
        const V2dPolygon& r = *scene_.at(i);
        const QPointF shift = r.kind == RecordKind::ShadowRegion ? QPointF(r.originX, r.originY) : QPointF();
        if (OutlinePath(r, shift).contains(QPointF(point.x, point.y))) return i;
    }
    return -1;
}

Status OutlineEditor::CheckInPhoto(V2d_Point p) const {
    if (p.x < 0 || p.y < 0 || p.x >= photo().width() || p.y >= photo().height())
        return Error{"点(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")在照片之外。"};
    return Status::Ok();
}

const OutlineDraft& OutlineEditor::Current() const {
    return currentDraft_ >= 0 && currentDraft_ < int(drafts_.size()) ? drafts_[size_t(currentDraft_)] : kNoDraft;
}

OutlineDraft& OutlineEditor::Current() {
    if (drafts_.empty()) drafts_.emplace_back();
    currentDraft_ = std::clamp(currentDraft_, 0, int(drafts_.size()) - 1);
    return drafts_[size_t(currentDraft_)];
}

void OutlineEditor::SetDrafts(std::vector<OutlineDraft> list, std::optional<vision::RoomLayout> room) {
    drafts_ = std::move(list);
    currentDraft_ = drafts_.empty() ? -1 : 0;
    room_ = std::move(room);
}

void OutlineEditor::SelectDraft(int index) {
    if (index >= 0 && index < int(drafts_.size())) currentDraft_ = index;
}

int OutlineEditor::DraftAt(V2d_Point point) const {
    for (int i = int(drafts_.size()) - 1; i >= 0; --i) {
        const OutlineDraft& d = drafts_[size_t(i)];
        if (!d.ends.empty() && OutlinePath(d.points, d.ends).contains(QPointF(point.x, point.y))) return i;
    }
    return -1;
}

void OutlineEditor::RememberDraft() {
    Step step;
    step.kind = Step::Kind::Draft;
    step.drafts = {drafts_, currentDraft_, room_};
    undo_.push_back(std::move(step));
}

void OutlineEditor::DropDraftSteps() {
    std::erase_if(undo_, [](const Step& step) { return step.kind == Step::Kind::Draft; });
}

Status OutlineEditor::AddDraftPoint(V2d_Point point) {
    if (Status inside = CheckInPhoto(point); !inside) return inside;
    RememberDraft();
    if (!draft().empty() && !draftEnds().empty()) SetDrafts({}, std::nullopt);  // found outlines give way to one clicked by hand
    Current().points.push_back(point);
    return Status::Ok();
}

Result<OutlineEditor::FindWork> OutlineEditor::BeginSmartClick(V2d_Point point, bool takeAway) const {
    if (photo().isNull() || !analysis_ || !CheckInPhoto(point).ok()) return Error{vision::kMsgClickOutsidePhoto};
    vision::SurfaceClicks clicks = smartClicks();
    std::vector<V2d_Point>& list = takeAway ? clicks.outside : clicks.inside;
    if (std::find(list.begin(), list.end(), point) != list.end()) return FindWork{};  // a double click's second press
    list.push_back(point);
    return FindWork([analysis = analysis_, clicks = std::move(clicks)](const CancelToken& cancel) -> Result<FoundChange> {
        if (!analysis->WorkOut(cancel)) return Error{vision::kMsgFindCancelled};
        Result<vision::FoundSurface> found = vision::FindSurface(*analysis, clicks, cancel);
        if (!found) return Error{found.error()};
        // The finder's rings lie on the photo, three points or more each.
        vision::FlatRings flat = vision::Flattened(found->rings);
        OutlineDraft next;
        next.points = std::move(flat.points);
        next.ends = std::move(flat.ends);
        next.corners = found->corners;
        next.clicks = clicks;
        return FoundChange([analysis, focal = found->focal, next = std::move(next)](OutlineEditor& editor) {
            if (editor.analysis_ != analysis) return false;
            if (focal > 0) editor.cameraFocal_ = focal;
            editor.RememberDraft();
            editor.SetDrafts({next}, std::nullopt);
            return true;
        });
    });
}

Result<OutlineEditor::FindWork> OutlineEditor::BeginFindRoom(std::optional<V2d_Point> floorClick) const {
    if (!analysis_) return Error{vision::kMsgClickOutsidePhoto};
    if (floorClick && !CheckInPhoto(*floorClick).ok()) return Error{vision::kMsgClickOutsidePhoto};
    return FindWork([analysis = analysis_, floorClick, photo = photo().size()](const CancelToken& cancel) -> Result<FoundChange> {
        if (!analysis->WorkOut(cancel)) return Error{vision::kMsgFindCancelled};
        Result<vision::RoomLayout> room = vision::FindRoom(*analysis, vision::RoomRequest{floorClick, std::nullopt}, cancel);
        if (!room) return Error{room.error()};
        std::vector<OutlineDraft> list;
        for (int i = 0; i < int(room->surfaces.size()); ++i)
            if (std::optional<OutlineDraft> draft = DraftOfSurface(*room, i, photo)) list.push_back(std::move(*draft));
        if (list.empty()) return Error{vision::kMsgNoRoomFound};
        return FoundChange([analysis, list = std::move(list), room = std::move(*room)](OutlineEditor& editor) {
            if (editor.analysis_ != analysis) return false;
            if (room.camera.focal > 0) editor.cameraFocal_ = room.camera.focal;
            editor.RememberDraft();
            editor.SetDrafts(list, room);
            editor.SizeRoomDrafts();
            return true;
        });
    });
}

bool OutlineEditor::Apply(const FoundChange& change) {
    return change && change(*this);
}

void OutlineEditor::SizeRoomDrafts() {
    if (!room_) return;
    for (OutlineDraft& d : drafts_) {
        if (d.surface < 0 || d.surface >= int(room_->surfaces.size())) continue;
        const RegionOutline region = vision::RegionOfSurface(*room_, room_->surfaces[size_t(d.surface)]);
        d.realWidth = region.realWidth;
        d.realHeight = region.realHeight;
    }
}

Status OutlineEditor::DeleteDraft() {
    if (currentDraft_ < 0 || currentDraft_ >= int(drafts_.size())) return Error{kMsgNotEditable};
    RememberDraft();
    drafts_.erase(drafts_.begin() + currentDraft_);
    currentDraft_ = std::min(currentDraft_, int(drafts_.size()) - 1);
    return Status::Ok();
}

Status OutlineEditor::SetDraftFields(const std::string& name, int realWidth, int realHeight) {
    if (currentDraft_ < 0 || currentDraft_ >= int(drafts_.size())) return Error{kMsgNotEditable};
    OutlineDraft& d = Current();
    if (d.name == name && d.realWidth == realWidth && d.realHeight == realHeight) return Status::Ok();
    if (d.surface >= 0) RememberDraft();  // a room's draft keeps its own fields; others take them when finished
    d.name = name;
    d.realWidth = realWidth;
    d.realHeight = realHeight;
    return Status::Ok();
}

Status OutlineEditor::MoveDraftPoint(int point, V2d_Point to, bool recordUndo) {
    if (point < 0 || point >= static_cast<int>(draft().size())) return Error{kMsgNotEditable};
    if (Status inside = CheckInPhoto(to); !inside) return inside;
    if (recordUndo) RememberDraft();
    Current().points[static_cast<size_t>(point)] = to;
    return Status::Ok();
}

Status OutlineEditor::MoveDraftCorner(int corner, V2d_Point to, bool recordUndo) {
    if (!draftCorners() || corner < 0 || corner > 3) return Error{kMsgNotEditable};
    if (recordUndo) RememberDraft();
    (*Current().corners)[static_cast<size_t>(corner)] = to;  // a perspective corner may lie beyond the photo
    return Status::Ok();
}

void OutlineEditor::CancelDraft() {
    SetDrafts({}, std::nullopt);
    DropDraftSteps();
}

Result<int> OutlineEditor::FinishDraft(const std::string& name, int realWidth, int realHeight) {
    const std::vector<OutlineDraft> none(1);  // refused below as too few points
    const std::vector<OutlineDraft>& list = drafts_.empty() ? none : drafts_;
    const int current = std::clamp(currentDraft_, 0, int(list.size()) - 1);
    std::vector<PolygonPtr> records;
    for (int i = 0; i < int(list.size()); ++i) {
        const OutlineDraft& d = list[size_t(i)];
        RegionOutline outline{i == current ? name : d.name, d.points, i == current ? realWidth : d.realWidth,
                              i == current ? realHeight : d.realHeight, d.corners, d.ends};
        Result<PolygonPtr> record = NewRegionRecord(outline, photo().size());
        if (!record) {
            if (!drafts_.empty()) currentDraft_ = i;
            return Error{record.error()};
        }
        records.push_back(std::move(*record));
    }
    const int first = scene_.count();
    for (PolygonPtr& record : records) scene_.Append(std::move(record));
    CancelDraft();
    Step added;
    added.kind = Step::Kind::Added;
    added.index = first;
    added.count = int(records.size());
    undo_.push_back(std::move(added));
    modified_ = true;
    return first + current;
}

std::optional<Quad> OutlineEditor::CornersOf(int index) const {
    if (index >= 0) {
        if (!IsEditable(index)) return std::nullopt;
        return QuadOf(scene_.at(index)->corners);
    }
    if (draftCorners()) return draftCorners();
    if (draft().size() < 3) return std::nullopt;
    return BoxOf(draft()).corners();
}

Result<MeasuredSize> OutlineEditor::Calibrate(int index, V2d_Point a, V2d_Point b, double millimetres) {
    if (index < 0 && room_) {
        Result<vision::RoomLayout> sized = vision::Calibrated(*room_, vision::RoomLength{a, b, millimetres});
        if (!sized) return Error{sized.error()};
        RememberDraft();
        room_ = std::move(*sized);
        SizeRoomDrafts();
        return MeasuredSize{Current().realWidth, Current().realHeight};
    }
    const std::optional<Quad> corners = CornersOf(index);
    if (!corners) return Error{kMsgNothingToCalibrate};
    Result<MeasuredSize> size =
        vision::SizeFromKnownLength(*corners, photo().size(), PointOf(a), PointOf(b), millimetres, cameraFocal_);
    if (!size || index < 0) return size;
    const std::string name = scene_.at(index)->name;
    if (Status set = SetRegionFields(index, name, size->width, size->height); !set) return Error{set.error()};
    return size;
}

Result<V2dPolygon*> OutlineEditor::Editable(int index) {
    if (!IsEditable(index)) return Error{kMsgNotEditable};
    return scene_.at(index);
}

void OutlineEditor::RememberChange(int index) {
    Step step;
    step.kind = Step::Kind::Changed;
    step.index = index;
    CopyOutlineFields(*scene_.at(index), step.before);
    undo_.push_back(std::move(step));
}

Status OutlineEditor::MovePoint(int index, int point, V2d_Point to, bool recordUndo) {
    Result<V2dPolygon*> record = Editable(index);
    if (!record) return Error{record.error()};
    if (point < 0 || point >= (*record)->pointCount()) return Error{kMsgNotEditable};
    if (Status inside = CheckInPhoto(to); !inside) return inside;
    if (recordUndo) RememberChange(index);
    (*record)->points[static_cast<size_t>(point)] = to;
    modified_ = true;
    return Status::Ok();
}

Status OutlineEditor::DeletePoint(int index, int point) {
    Result<V2dPolygon*> found = Editable(index);
    if (!found) return Error{found.error()};
    V2dPolygon& r = **found;
    if (point < 0 || point >= r.pointCount()) return Error{kMsgNotEditable};
    // The ring holding the point must keep three points.
    int32_t first = 0;
    for (int32_t last : r.indexList) {
        if (point <= last) {
            if (last - first + 1 <= 3) return Error{kMsgTooFewPoints};
            break;
        }
        first = last + 1;
    }
    if (r.pointCount() <= 3) return Error{kMsgTooFewPoints};
    RememberChange(index);
    r.points.erase(r.points.begin() + point);
    for (int32_t& last : r.indexList)
        if (last >= point) --last;
    modified_ = true;
    return Status::Ok();
}

Status OutlineEditor::MoveCorner(int index, int corner, V2d_Point to, bool recordUndo) {
    Result<V2dPolygon*> record = Editable(index);
    if (!record) return Error{record.error()};
    if (corner < 0 || corner > 3) return Error{kMsgNotEditable};
    if (recordUndo) RememberChange(index);
    (*record)->corners[corner] = to;  // a perspective corner may lie beyond the photo
    modified_ = true;
    return Status::Ok();
}

Status OutlineEditor::SetRegionFields(int index, const std::string& name, int realWidth, int realHeight) {
    Result<V2dPolygon*> record = Editable(index);
    if (!record) return Error{record.error()};
    V2dPolygon& r = **record;
    if (r.name == name && r.realWidth == realWidth && r.realHeight == realHeight) return Status::Ok();
    RegionOutline outline = OutlineOfRecord(r);
    outline.name = name;
    outline.realWidth = realWidth;
    outline.realHeight = realHeight;
    if (Status checked = CheckRegionOutline(outline, photo().size()); !checked) return checked;
    RememberChange(index);
    r.name = name;
    r.realWidth = realWidth;
    r.realHeight = realHeight;
    modified_ = true;
    return Status::Ok();
}

Status OutlineEditor::DeleteRegion(int index) {
    Result<V2dPolygon*> record = Editable(index);
    if (!record) return Error{record.error()};
    for (const V2dGroupPL& group : scene_.groups())
        if (std::find(group.members.begin(), group.members.end(), *record) != group.members.end())
            return Error{kMsgInGroup};
    Step step;
    step.kind = Step::Kind::Deleted;
    step.index = index;
    step.mesh = scene_.TakeMesh(*record);
    step.removed = scene_.Take(*record);
    undo_.push_back(std::move(step));
    modified_ = true;
    return Status::Ok();
}

bool OutlineEditor::Undo() {
    if (undo_.empty()) return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    switch (step.kind) {
        case Step::Kind::Added:
            for (int i = std::min(step.index + step.count, scene_.count()) - 1; i >= step.index; --i)
                scene_.FreePolygon(scene_.at(i));
            break;
        case Step::Kind::Changed:
            if (step.index < scene_.count()) CopyOutlineFields(step.before, *scene_.at(step.index));
            break;
        case Step::Kind::Deleted:
            scene_.Insert(step.index, std::move(step.removed));
            if (step.mesh) scene_.AddMesh(std::move(step.mesh));
            break;
        case Step::Kind::Draft:
            drafts_ = std::move(step.drafts.list);
            currentDraft_ = step.drafts.current;
            room_ = std::move(step.drafts.room);
            return true;  // the scheme itself did not change
    }
    modified_ = true;
    return true;
}

}  // namespace v2d::tool
