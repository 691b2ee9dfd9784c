#pragma once
// Pieces of the demo product database, written by make-workspace and
// make-update-db.
#include <filesystem>

#include "library/sqlite_database.h"
#include "base/picture_codec.h"
#include "base/result.h"

namespace v2d::demo {

// The three colour-card tables: over a thousand paint colours (with "OW"
// and "A" series), 300 building colours and ten recommended colours.
Status WriteDemoColourCards(const SqlDatabase& db);

// Categories, dealers, surface materials, products and their pictures
// under workspace/product.
Status WriteDemoCatalogue(const SqlDatabase& db, const std::filesystem::path& workspace);

// Styles, room types, template rows with thumbnails and their scheme files
// under workspace/temple.
Status WriteDemoTemplates(const SqlDatabase& db, const std::filesystem::path& workspace);

// The administrator and two users.
Status WriteDemoUsers(const SqlDatabase& db);

// The scheme of a demo template: the workspace's start scheme when there is
// one, else the demo room.
Result<Bytes> DemoTemplateScheme(const std::filesystem::path& workspace);
// A template thumbnail (200 x 150 JPEG), tinted per template.
Result<Bytes> DemoTemplateThumbnail(int variant);

}  // namespace v2d::demo
