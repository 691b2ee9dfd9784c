#include "document/edits/scene_edit.h"

#include <QCoreApplication>

#include <algorithm>

namespace v2d {
namespace {

std::vector<RecordId> RecordsOf(const SceneState& state) {
    std::vector<RecordId> records;
    for (const RecordState& r : state.records) records.push_back(r.id());
    std::sort(records.begin(), records.end());
    return records;
}

}  // namespace

QString EditName(EditKind kind) {
    switch (kind) {
        case EditKind::Tiling: return QCoreApplication::translate("Messages", "铺贴");
        case EditKind::LayInRectangle: return QCoreApplication::translate("Messages", "局部铺贴");
        case EditKind::DropMaterial: return QCoreApplication::translate("Messages", "放入材质");
        case EditKind::Brightness: return QCoreApplication::translate("Messages", "亮度");
        case EditKind::Reflection: return QCoreApplication::translate("Messages", "反光");
        case EditKind::Painting: return QCoreApplication::translate("Messages", "涂色");
        case EditKind::ColourCard: return QCoreApplication::translate("Messages", "色卡涂色");
        case EditKind::EffectOffsets: return QCoreApplication::translate("Messages", "铺贴效果");
        case EditKind::DropModel: return QCoreApplication::translate("Messages", "放置模型");
        case EditKind::ReplaceModel: return QCoreApplication::translate("Messages", "替换模型");
        case EditKind::PlaceModel: return QCoreApplication::translate("Messages", "绘制模型");
        case EditKind::MoveModel: return QCoreApplication::translate("Messages", "移动模型");
        case EditKind::ShapeModel: return QCoreApplication::translate("Messages", "变形模型");
        case EditKind::MirrorModel: return QCoreApplication::translate("Messages", "镜像模型");
        case EditKind::ResetModel: return QCoreApplication::translate("Messages", "重置模型");
        case EditKind::CopyModel: return QCoreApplication::translate("Messages", "复制模型");
        case EditKind::DeleteRecords: return QCoreApplication::translate("Messages", "删除");
        case EditKind::RotationFrame: return QCoreApplication::translate("Messages", "旋转模型");
        case EditKind::Shadow: return QCoreApplication::translate("Messages", "阴影设置");
        case EditKind::DecorationLine: return QCoreApplication::translate("Messages", "装饰线");
        case EditKind::Reorder: return QCoreApplication::translate("Messages", "调整顺序");
        case EditKind::Light: return QCoreApplication::translate("Messages", "光照");
    }
    return {};
}

SceneEdit::SceneEdit(std::shared_ptr<EditPayload> payload, EditApplier& applier, bool applied)
    : QUndoCommand(EditName(payload->kind)), payload_(std::move(payload)), applier_(applier), skipRedo_(applied) {}

void SceneEdit::undo() {
    if (!replaying_) applier_.ApplyState(*payload_, payload_->before);
}

void SceneEdit::redo() {
    if (skipRedo_ || replaying_) {
        skipRedo_ = false;
        return;
    }
    applier_.ApplyState(*payload_, payload_->after);
}

int SceneEdit::id() const { return payload_->gesture != 0 ? static_cast<int>(payload_->kind) : -1; }

bool SceneEdit::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const SceneEdit*>(other);
    if (!next || replaying_ || next->replaying_ || next->payload_->kind != payload_->kind || next->payload_->gesture != payload_->gesture) return false;
    const EditPayload& later = *next->payload_;
    if (later.before.order || payload_->before.order || RecordsOf(later.after) != RecordsOf(payload_->after))
        return false;
    // Records the later step touched first are captured in their state
    // before this step's start only if this step left them alone.
    for (const RecordState& r : later.before.records)
        if (!payload_->before.Of(r.id())) return false;
    payload_->after = later.after;
    payload_->aspects |= later.aspects;
    return true;
}

}  // namespace v2d
