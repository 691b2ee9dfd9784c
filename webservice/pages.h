#pragma once
// The service's pages, built once from the catalogue: the banner, the
// product and model catalogues with their category pages, the product pages
// whose body is the product descriptor with "PicUrl", and the template
// catalogue with its list pages offering getCxData(). The same pages are
// served live and written out as a static site.
#include <map>
#include <string>
#include <string_view>

#include "webservice/catalogue.h"

namespace v2d::web {

struct Page {
    std::string contentType;
    std::string body;
};

// Path (no query) to page. `base` is the address the downloads are named
// by ("http://127.0.0.1:8080"), as clients reach the service.
std::map<std::string, Page> BuildSitePages(const Catalogue& catalogue, std::string_view base);

// The page addresses that the program and the tests know.
inline constexpr const char* kProductPagePrefix = "/webbase/productt.asp/";
std::string ProductPagePath(const CatalogueEntry& entry);  // /webbase/productt.asp/<number>.htm
std::string TemplateListPagePath(const CatalogueEntry& entry);  // /vexel/Skim/GoodsList.aspx/<stem>.htm

}  // namespace v2d::web
