#include "webservice/pages.h"

#include <filesystem>

#include "base/html_text.h"

namespace v2d::web {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

constexpr const char* kStyle = R"CSS(
body{margin:0;font-family:"Noto Sans CJK SC",sans-serif;background:#f6f2ec;color:#3d3327}
header{background:#7a5a3a;color:#fff;padding:10px 18px;font-size:18px}
header a{color:#fde8c8;margin-left:16px;font-size:14px;text-decoration:none}
nav{padding:8px 18px;background:#efe6da;border-bottom:1px solid #dccbb4}
nav a{margin-right:14px;color:#7a5a3a;text-decoration:none;font-size:14px}
nav a.on{font-weight:bold;border-bottom:2px solid #7a5a3a}
.grid{display:flex;flex-wrap:wrap;padding:10px}
.card{width:150px;margin:8px;background:#fff;border:1px solid #e0d4c2;border-radius:4px;text-decoration:none;color:#3d3327}
.card:hover{border-color:#7a5a3a}
.card img{width:150px;height:112px;object-fit:cover;display:block;border-radius:4px 4px 0 0}
.card div{padding:4px 6px;font-size:12px;line-height:1.5}
.chosen{padding:16px 18px}.chosen img{width:400px;border:1px solid #dccbb4}
)CSS";

std::string Head(std::string_view title) {
    return "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" + EscapeHtml(title) +
           "</title><style>" + kStyle + "</style>";
}

std::string Header(std::string_view title) {
    return "<header>" + EscapeHtml(title) +
           "<a href=\"/webbase/webpartst.asp\">材料</a><a href=\"/webbase/webmodel.asp\">家具模型</a>"
           "<a href=\"/vexel/Skim/Goods.aspx?id=2\">装修模板</a></header>";
}

std::string CategoryPath(EntryKind kind, size_t index) {
    const char* folder = kind == EntryKind::Material ? "/webbase/parts/" : kind == EntryKind::Model ? "/webbase/models/" : "/vexel/Skim/GoodsList.aspx/style-";
    return folder + std::to_string(index + 1) + ".htm";
}

std::string Nav(const Catalogue& catalogue, EntryKind kind, int current) {
    std::string nav = "<nav>";
    const std::vector<std::string> categories = catalogue.Categories(kind);
    for (size_t i = 0; i < categories.size(); ++i)
        nav += "<a href=\"" + CategoryPath(kind, i) + "\"" + (int(i) == current ? " class=\"on\"" : "") + ">" +
               EscapeHtml(categories[i]) + "</a>";
    return nav + "</nav>";
}

std::string Card(const CatalogueEntry& e, const std::string& link) {
    std::string text = "<b>" + EscapeHtml(e.name) + "</b>";
    if (!e.number.empty()) text += "<br>" + EscapeHtml(e.number);
    return "<a class=\"card\" href=\"" + link + "\"><img src=\"/files/" + e.thumb + "\" alt=\"\"><div>" + text +
           "</div></a>";
}

std::string Link(const CatalogueEntry& e) {
    return e.kind == EntryKind::Template ? TemplateListPagePath(e) : ProductPagePath(e);
}

// A catalogue page: the category bar and the cards of one category (all
// when `category` is empty).
std::string Listing(const Catalogue& catalogue, EntryKind kind, std::string_view title, int current,
                    std::string_view script) {
    const std::vector<std::string> categories = catalogue.Categories(kind);
    std::string page = Head(title) + std::string(script) + "</head><body>" + Header(title) + Nav(catalogue, kind, current) +
                       "<div class=\"grid\">";
    for (const CatalogueEntry& e : catalogue.entries)
        if (e.kind == kind && (current < 0 || e.category == categories[size_t(current)])) page += Card(e, Link(e));
    return page + "</div></body></html>";
}

std::string CxDataScript(std::string_view address) {
    return "<script>function getCxData(){return \"" + std::string(address) + "\";}</script>";
}

}  // namespace

std::string ProductPagePath(const CatalogueEntry& entry) {
    return std::string(kProductPagePrefix) + entry.number + ".htm";
}

std::string TemplateListPagePath(const CatalogueEntry& entry) {
    return "/vexel/Skim/GoodsList.aspx/" + std::filesystem::path(entry.file).stem().string() + ".htm";
}

std::map<std::string, Page> BuildSitePages(const Catalogue& catalogue, std::string_view base) {
    std::map<std::string, Page> pages;
    auto add = [&](const std::string& path, std::string body) { pages[path] = Page{kHtml, std::move(body)}; };
    add("/webbase/ad.htm",
        Head("广告") + "</head><body style=\"margin:0;background:#7a5a3a;color:#fff\"><div style=\"padding:6px 12px;"
                       "font-size:14px\">网上展厅已开通：上千款瓷砖、地板、墙纸与家具模型，在线选购，一键铺贴。</div></body></html>");
    add("/", Head("网上展厅") + "</head><body>" + Header("网上展厅") + "</body></html>");

    const struct {
        EntryKind kind;
        const char* top;
        const char* title;
    } catalogues[] = {{EntryKind::Material, "/webbase/webpartst.asp", "网上材料展厅"},
                      {EntryKind::Model, "/webbase/webmodel.asp", "网上家具模型"}};
    for (const auto& c : catalogues) {
        add(c.top, Listing(catalogue, c.kind, c.title, -1, ""));
        for (size_t i = 0; i < catalogue.Categories(c.kind).size(); ++i)
            add(CategoryPath(c.kind, i), Listing(catalogue, c.kind, c.title, int(i), ""));
    }
    for (const CatalogueEntry& e : catalogue.entries) {
        if (e.kind == EntryKind::Template) continue;
        const std::string descriptor = e.descriptor + "&PicUrl=" + std::string(base) + "/files/" + e.file;
        add(ProductPagePath(e), Head(e.name) + "</head><body>" + EscapeHtml(descriptor) + "</body></html>");
    }

    // Templates: the catalogue, a list page per style (nothing chosen) and
    // one per template (that template chosen).
    add("/vexel/Skim/Goods.aspx", Listing(catalogue, EntryKind::Template, "网上装修模板", -1, ""));
    const std::vector<std::string> styles = catalogue.Categories(EntryKind::Template);
    for (size_t i = 0; i < styles.size(); ++i)
        add(CategoryPath(EntryKind::Template, i),
            Listing(catalogue, EntryKind::Template, "网上装修模板", int(i), CxDataScript("")));
    for (const CatalogueEntry& e : catalogue.entries) {
        if (e.kind != EntryKind::Template) continue;
        const std::string address = std::string(base) + "/files/" + e.file;
        add(TemplateListPagePath(e), Head(e.name) + CxDataScript(address) + "</head><body>" + Header("网上装修模板") +
                                         "<div class=\"chosen\"><p>已选模板：<b>" + EscapeHtml(e.name) + "</b>（" +
                                         EscapeHtml(e.category) + "）</p><img src=\"/files/" + e.thumb +
                                         "\" alt=\"\"><p>点击“确  定”下载并打开此模板。</p></div></body></html>");
    }
    return pages;
}

}  // namespace v2d::web
