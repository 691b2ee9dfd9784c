#pragma once
// The demo workspace's local templates: each sample room furnished through
// the scene document as a salesperson would ("开始铺贴" of the catalogue's
// materials, its models dropped on regions) and stored as "保存为模板"
// stores a template, with a thumbnail of the room as the program renders it.
#include <filesystem>

#include "document/scene_document.h"
#include "demo/sample_rooms.h"
#include "library/data_module.h"

namespace v2d::demo {

// The size the sample rooms are photographed at.
inline constexpr int kSampleRoomWidth = 1024, kSampleRoomHeight = 768;

// The room in the document: built, its products laid and its furniture
// placed, nothing selected.
Status FurnishSampleRoom(SceneDocument& doc, Db& dm, const std::filesystem::path& workspace, const SampleRoom& room);

// Every sample room stored as a template of the workspace's database.
Status WriteDemoTemplates(Db& dm, const std::filesystem::path& workspace, const ImageOperations& ops);

}  // namespace v2d::demo
