#pragma once
// The shop catalogue that vexel2d-web serves: products and templates that
// the demo workspace does not hold locally, so choosing them online really
// downloads them. A folder of files plus its index "catalogue.txt", one
// descriptor line per product or template.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace v2d::demo {

inline constexpr const char* kWebCatalogueIndex = "catalogue.txt";

// Writes root/catalogue.txt and the files under root/files/: jpg/ (material
// pictures), xjpg/ (thumbnails and model previews), c2d/ (model files),
// temple/ (template schemes) and TempData/ (template thumbnails).
Status WriteWebCatalogue(const std::filesystem::path& root);

// One line of the index: "Kind=…&Category=…&<descriptor>&File=…&Thumb=…",
// the files named below files/.
std::string CatalogueLine(std::string_view kind, std::string_view category, std::string_view descriptor,
                          std::string_view file, std::string_view thumb);
// Writes root/catalogue.txt whole.
Status WriteCatalogueIndex(const std::filesystem::path& root, const std::string& index);

// The workspace's page "say/qrnv2010.html", shown by the online windows
// when the service cannot be reached.
Status WriteOnlineErrorPage(const std::filesystem::path& workspace);

}  // namespace v2d::demo
