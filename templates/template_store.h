#pragma once
// Storing the scene as a local template and deleting one: the row and its
// two files (the scheme and the 200 x 150 thumbnail) appear and go together.
#include <QImage>
#include <QSize>

#include <cstdint>
#include <filesystem>
#include <string>

#include "library/data_module.h"
#include "scene/scene.h"

namespace v2d {

inline constexpr QSize kTemplateThumbnailSize{200, 150};
inline constexpr const char* kNewTemplateName = "新模板";

struct NewTemplate {
    std::string name;  // stored as typed, empty too
    int64_t roomTypeID = 0;
    int64_t styleID = 0;
};

// The scene picture stretched to 200 x 150 (aspect not kept).
QImage TemplateThumbnail(const QImage& picture);

// Writes temple/local/<SampleID>.v2d and temple/TempData/<SampleID>.jpg
// (making the folders), and only then lets the new row be seen: the row is
// inserted in a transaction that commits after both files are whole, and a
// failure anywhere leaves neither row nor files. Yields the new SampleID.
Result<int64_t> StoreTemplate(Db& dm, const std::filesystem::path& programFolder, const Scene& scene,
                              const QImage& picture, const NewTemplate& details);

// Deletes the row with this SampleID, then its files (named as the browser
// names them). A row that is not there deletes nothing.
Status RemoveTemplate(Db& dm, const std::filesystem::path& programFolder, int64_t sampleID);

}  // namespace v2d
