#pragma once
// Scheme files (*.v2d): the whole scene with background, records, outlines,
// pictures, rotation frames, warp meshes and groups. Readers parse into a new
// scene, so a bad file never costs the scene that was open.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "base/picture_codec.h"
#include "base/progress.h"
#include "base/result.h"
#include "scene/scene.h"

namespace v2d {

inline constexpr char kSchemeSignature[4] = {'d', '2', 'v', '.'};
inline constexpr int32_t kSchemeVersion = 13;
inline constexpr size_t kSchemeHeaderSize = 20;
inline constexpr size_t kGroupRecordSize = 60;
inline constexpr size_t kGroupNameBytes = 52;

// The messages of the scheme reader and writer.
inline constexpr const char* kMsgBadFormat = "文件格式不正确";
inline constexpr const char* kMsgBackgroundFailed = "读底图数据失败";
inline constexpr const char* kMsgWriteFailed = "写文件失败。";

struct SchemeFile {
    Scene scene;
    std::string signature;
    int32_t version = 0;
    int32_t backgroundType = 0;  // 0 BMP, 1 JPEG; other values load no background
    uint32_t backgroundLength = 0;
};

// Parses a scheme held in memory.
Result<SchemeFile> ParseScheme(std::span<const uint8_t> bytes);
// Whether a scheme held in memory opens with its photo, as a template must
// (the update merge's check).
bool SchemeReads(std::span<const uint8_t> bytes);
// Reads and parses a scheme file; half way once the bytes are in.
Result<SchemeFile> ReadSchemeFile(const std::filesystem::path& path, const Progress& progress = {});

// Serialises the scene as version 13.
Result<Bytes> SerializeScheme(const Scene& scene);
// Writes the scene as version 13 beside the target and renames it over the
// target only when everything was written; the old file stays otherwise.
Status WriteSchemeFile(const Scene& scene, const std::filesystem::path& path);

}  // namespace v2d
