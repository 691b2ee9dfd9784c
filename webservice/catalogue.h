#pragma once
// The catalogue the web service serves, read from its folder's index: one
// "&"-joined descriptor line per product or template (see demo/web_catalogue.h).
#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"

namespace v2d::web {

enum class EntryKind { Material, Model, Template };

struct CatalogueEntry {
    EntryKind kind = EntryKind::Material;
    std::string category;
    std::string name;
    std::string number;      // empty for templates
    std::string descriptor;  // the product descriptor without PicUrl
    std::string file;        // below files/, e.g. "jpg/WS-8101.jpg"
    std::string thumb;       // below files/
};

struct Catalogue {
    std::filesystem::path root;
    std::vector<CatalogueEntry> entries;
    // Category names of one kind in their first-seen order.
    std::vector<std::string> Categories(EntryKind kind) const;
};

// Reads root/catalogue.txt. Lines with an unknown kind, no name or a file
// name that could leave files/ are refused with their line number.
Result<Catalogue> ReadCatalogue(const std::filesystem::path& root);

}  // namespace v2d::web
