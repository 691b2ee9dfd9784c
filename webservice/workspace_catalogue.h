#pragma once
// A shop's own catalogue: the products, models and templates of its
// workspace (the program's folder) published in the catalogue folder's
// format (demo/web_catalogue.h), so that the service sells what the shop
// sells.
#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"

namespace v2d::web {

// Writes root/catalogue.txt and root/files/ from the workspace: every
// material with its map and thumbnail, every model with its file and
// preview, every local template with its scheme and thumbnail, in the
// category order of the product browser. A missing workspace or database,
// a database that does not open with the key, or a picture or model file
// that does not read stops it with the message. Templates that have no
// scheme file or thumbnail cannot be served; each is named in `skipped`.
Status WriteWorkspaceCatalogue(const std::filesystem::path& workspace, const std::filesystem::path& root,
                               std::vector<std::string>& skipped);

}  // namespace v2d::web
