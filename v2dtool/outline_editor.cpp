#include "v2dtool/outline_editor.h"

#include <algorithm>

#include "scene/outline_geometry.h"
#include "scene/scheme_file.h"

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

}  // namespace

void OutlineEditor::Replace(Scene scene) {
    scene_ = std::move(scene);
    draft_ = {};
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

void OutlineEditor::RememberDraft() {
    Step step;
    step.kind = Step::Kind::Draft;
    step.draft = draft_;
    undo_.push_back(std::move(step));
}

void OutlineEditor::DropDraftSteps() {
    std::erase_if(undo_, [](const Step& step) { return step.kind == Step::Kind::Draft; });
}

Status OutlineEditor::AddDraftPoint(V2d_Point point) {
    if (Status inside = CheckInPhoto(point); !inside) return inside;
    RememberDraft();
    if (!draft_.ends.empty()) draft_ = {};  // a found outline gives way to one clicked by hand
    draft_.points.push_back(point);
    return Status::Ok();
}

Status OutlineEditor::SmartClick(V2d_Point point, bool takeAway) {
    if (photo().isNull() || point.x < 0 || point.y < 0 || point.x >= photo().width() || point.y >= photo().height())
        return Error{vision::kMsgClickOutsidePhoto};
    vision::SurfaceClicks clicks = draft_.clicks;
    std::vector<V2d_Point>& list = takeAway ? clicks.outside : clicks.inside;
    if (std::find(list.begin(), list.end(), point) != list.end()) return Status::Ok();  // a double click's second press
    list.push_back(point);
    if (!analysis_) return Error{vision::kMsgClickOutsidePhoto};
    Result<vision::FoundSurface> found = vision::FindSurface(*analysis_, clicks);
    if (!found) return Error{found.error()};
    // The finder's rings lie on the photo, three points or more each.
    vision::FlatRings flat = vision::Flattened(found->rings);
    Draft next;
    next.points = std::move(flat.points);
    next.ends = std::move(flat.ends);
    next.corners = found->corners;
    if (found->focal > 0) cameraFocal_ = found->focal;
    next.clicks = std::move(clicks);
    RememberDraft();
    draft_ = std::move(next);
    return Status::Ok();
}

Status OutlineEditor::MoveDraftPoint(int point, V2d_Point to, bool recordUndo) {
    if (point < 0 || point >= static_cast<int>(draft_.points.size())) return Error{kMsgNotEditable};
    if (Status inside = CheckInPhoto(to); !inside) return inside;
    if (recordUndo) RememberDraft();
    draft_.points[static_cast<size_t>(point)] = to;
    return Status::Ok();
}

Status OutlineEditor::MoveDraftCorner(int corner, V2d_Point to, bool recordUndo) {
    if (!draft_.corners || corner < 0 || corner > 3) return Error{kMsgNotEditable};
    if (recordUndo) RememberDraft();
    (*draft_.corners)[static_cast<size_t>(corner)] = to;  // a perspective corner may lie beyond the photo
    return Status::Ok();
}

void OutlineEditor::CancelDraft() {
    draft_ = {};
    DropDraftSteps();
}

Result<int> OutlineEditor::FinishDraft(const std::string& name, int realWidth, int realHeight) {
    RegionOutline outline{name, draft_.points, realWidth, realHeight, draft_.corners, draft_.ends};
    Result<PolygonPtr> record = NewRegionRecord(outline, photo().size());
    if (!record) return Error{record.error()};
    scene_.Append(std::move(*record));
    CancelDraft();
    undo_.push_back(Step{Step::Kind::Added, scene_.count() - 1, {}, nullptr, nullptr, {}});
    modified_ = true;
    return scene_.count() - 1;
}

std::optional<Quad> OutlineEditor::CornersOf(int index) const {
    if (index >= 0) {
        if (!IsEditable(index)) return std::nullopt;
        return QuadOf(scene_.at(index)->corners);
    }
    if (draft_.corners) return draft_.corners;
    if (draft_.points.size() < 3) return std::nullopt;
    return BoxOf(draft_.points).corners();
}

Result<vision::RealSize> OutlineEditor::Calibrate(int index, V2d_Point a, V2d_Point b, double millimetres) {
    const std::optional<Quad> corners = CornersOf(index);
    if (!corners) return Error{kMsgNothingToCalibrate};
    Result<vision::RealSize> size =
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
            if (step.index < scene_.count()) scene_.FreePolygon(scene_.at(step.index));
            break;
        case Step::Kind::Changed:
            if (step.index < scene_.count()) CopyOutlineFields(step.before, *scene_.at(step.index));
            break;
        case Step::Kind::Deleted:
            scene_.Insert(step.index, std::move(step.removed));
            if (step.mesh) scene_.AddMesh(std::move(step.mesh));
            break;
        case Step::Kind::Draft:
            draft_ = std::move(step.draft);
            return true;  // the scheme itself did not change
    }
    modified_ = true;
    return true;
}

}  // namespace v2d::tool
