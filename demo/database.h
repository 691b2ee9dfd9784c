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

// Styles and room types, the filters of the template browser.
Status WriteDemoStyles(const SqlDatabase& db);

// The administrator and two users.
Status WriteDemoUsers(const SqlDatabase& db);


}  // namespace v2d::demo
