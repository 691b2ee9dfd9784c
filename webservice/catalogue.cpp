#include "webservice/catalogue.h"

#include <algorithm>
#include <sstream>

#include "base/atomic_file.h"
#include "demo/web_catalogue.h"
#include "library/product_descriptor.h"

namespace v2d::web {

namespace {

constexpr uint64_t kMaxIndexBytes = 64u << 20;

// Descriptor keys that belong to the index, not to the product.
bool IsIndexKey(std::string_view item) {
    for (std::string_view key : {"Kind=", "Category=", "File=", "Thumb="})
        if (item.substr(0, key.size()) == key) return true;
    return false;
}

bool SafeFileName(const std::string& file) {
    if (file.empty() || file.front() == '/' || file.find('\\') != std::string::npos) return false;
    for (const std::string& piece : SplitText(file, "/"))
        if (piece.empty() || piece == "." || piece == "..") return false;
    return true;
}

}  // namespace

std::vector<std::string> Catalogue::Categories(EntryKind kind) const {
    std::vector<std::string> names;
    for (const CatalogueEntry& e : entries)
        if (e.kind == kind && std::find(names.begin(), names.end(), e.category) == names.end())
            names.push_back(e.category);
    return names;
}

Result<Catalogue> ReadCatalogue(const std::filesystem::path& root) {
    const auto index = ReadWholeFile(root / demo::kWebCatalogueIndex, kMaxIndexBytes);
    if (!index) return Error{"cannot read " + (root / demo::kWebCatalogueIndex).string()};
    Catalogue catalogue;
    catalogue.root = root;
    std::istringstream in(std::string(index->begin(), index->end()));
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        CatalogueEntry e;
        const ProductDescriptor item = ProductDescriptor::Parse(line);
        const std::string kind = item.Value("Kind");
        if (kind == "material") e.kind = EntryKind::Material;
        else if (kind == "model") e.kind = EntryKind::Model;
        else if (kind == "template") e.kind = EntryKind::Template;
        else return Error{"catalogue line " + std::to_string(number) + ": unknown kind \"" + kind + "\""};
        e.category = item.Value("Category");
        e.name = item.name;
        e.number = item.number;
        e.file = item.Value("File");
        e.thumb = item.Value("Thumb");
        if (e.name.empty() || !SafeFileName(e.file) || !SafeFileName(e.thumb) ||
            (e.kind != EntryKind::Template && e.number.empty()))
            return Error{"catalogue line " + std::to_string(number) + ": name, number or file missing or unsafe"};
        for (const std::string& item : SplitText(line, "&")) {
            if (IsIndexKey(item)) continue;
            if (!e.descriptor.empty()) e.descriptor += "&";
            e.descriptor += item;
        }
        catalogue.entries.push_back(std::move(e));
    }
    return catalogue;
}

}  // namespace v2d::web
