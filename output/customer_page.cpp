#include "output/customer_page.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <map>
#include <system_error>

#include "base/atomic_file.h"
#include "base/folder_replacement.h"
#include "base/html_text.h"
#include "base/parallel_for.h"
#include "layout/region_quote.h"
#include "library/price_unit.h"
#include "library/pub_functions.h"
#include "output/qr_code.h"
#include "output/rendered_picture.h"

namespace v2d {
namespace fs = std::filesystem;

namespace {

// The phone first; two columns from a tablet's width up; the handout on A4.
constexpr const char* kStyle = R"css(
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%}
body{margin:0;background:#f3f1ee;color:#26221e;font:16px/1.55 -apple-system,"PingFang SC","Noto Sans CJK SC","Microsoft YaHei",sans-serif}
.inner,main{max-width:1080px;margin:0 auto}
main{padding:0 0 24px}
header.shop{background:#2d3a34;color:#fff;padding:18px 20px 16px}
header.shop h1{margin:0;font-size:22px;letter-spacing:.04em}
header.shop p{margin:4px 0 0;font-size:14px;opacity:.85}
section{background:#fff;margin:12px 0;padding:16px 16px 18px}
h2{font-size:18px;margin:0 0 12px;padding-left:10px;border-left:4px solid #b8874b;line-height:1.2}
.compare{position:relative;overflow:hidden;touch-action:pan-y;user-select:none;-webkit-user-select:none;cursor:ew-resize;background:#ddd;--pos:50%}
.compare img{display:block;width:100%;height:auto;pointer-events:none}
.compare .before{position:absolute;inset:0;clip-path:inset(0 calc(100% - var(--pos)) 0 0)}
.compare .before img{height:100%;object-fit:cover}
.compare .label{position:absolute;top:10px;padding:2px 10px;border-radius:12px;background:rgba(0,0,0,.55);color:#fff;font-size:13px}
.compare .label.was{left:10px}.compare .label.now{right:10px}
.handle{position:absolute;top:0;bottom:0;left:var(--pos);width:44px;margin-left:-22px;touch-action:none}
.handle::before{content:"";position:absolute;top:0;bottom:0;left:21px;width:2px;background:#fff;box-shadow:0 0 4px rgba(0,0,0,.5)}
.handle span{position:absolute;top:50%;left:0;width:44px;height:44px;margin-top:-22px;border-radius:50%;background:#fff;box-shadow:0 1px 6px rgba(0,0,0,.45);display:flex;align-items:center;justify-content:center;color:#2d3a34;font-size:18px;font-weight:bold}
.slider{display:block;width:100%;margin:14px 0 0;accent-color:#b8874b}
.hint{color:#7a736b;font-size:13px;margin:6px 0 0}
.pictures{display:grid;grid-template-columns:1fr 1fr;gap:10px}
figure{margin:0}
figure img{display:block;width:100%;height:auto;border-radius:4px}
figcaption{font-size:13px;color:#7a736b;margin-top:4px}
.products{list-style:none;margin:0;padding:0;display:grid;gap:12px}
.product{display:flex;gap:12px;align-items:flex-start;border:1px solid #ebe6df;border-radius:6px;padding:10px}
.product img{width:88px;height:88px;object-fit:cover;border-radius:4px;flex:none;background:#eee}
.product h3{margin:0 0 4px;font-size:16px}
.product dl{margin:0;display:grid;grid-template-columns:auto 1fr;gap:0 10px;font-size:14px}
.product dt{color:#7a736b}.product dd{margin:0;word-break:break-all}
.empty{color:#7a736b;padding:12px 0;text-align:center}
table.quote{width:100%;border-collapse:collapse;font-size:15px}
.quote th{text-align:left;font-weight:normal;color:#7a736b;border-bottom:1px solid #ddd;padding:6px 4px;font-size:13px}
.quote td{border-bottom:1px solid #eee;padding:9px 4px;vertical-align:top}
.quote tr{break-inside:avoid}
.quote .num{text-align:right;white-space:nowrap}
.quote .code,.quote .calc{color:#7a736b;font-size:13px}
.quote .calc{margin-top:2px}
.quote .excluded{color:#a04030;white-space:normal}
.quote tfoot td{border:0;font-weight:bold;font-size:16px;padding-top:12px}
.quote tfoot .num{color:#b8874b;font-size:20px}
.note{color:#7a736b;font-size:12px;margin:8px 0 0}
.plans{display:grid;gap:12px}.plans svg{width:100%;height:auto}
.contact{display:flex;gap:16px;align-items:center;justify-content:space-between;flex-wrap:wrap}
.contact p{margin:2px 0}
.contact p a{color:#2d3a34}
.qr{width:132px;height:132px;display:block;margin:0 auto}
.scan{text-align:center;font-size:12px;color:#7a736b}
.scan p{margin:2px 0}
.scan .url{word-break:break-all;max-width:220px}
a.download{display:inline-block;margin-top:12px;padding:8px 18px;border-radius:18px;background:#2d3a34;color:#fff;text-decoration:none;font-size:14px}
footer{text-align:center;color:#9a938b;font-size:12px;padding:8px}
@media (min-width:760px){
 header.shop{padding:26px 0}header.shop .inner{padding:0 40px}header.shop h1{font-size:28px}
 section{margin:16px;border-radius:8px;padding:20px 24px}
 .pictures{grid-template-columns:repeat(2,minmax(0,400px))}
 .columns{display:grid;grid-template-columns:1fr 1fr}
 .columns>section:first-child{margin-right:8px}.columns>section:nth-child(2){margin-left:8px}
}
@media print{
 @page{size:A4;margin:12mm}
 body{background:#fff;font-size:9.5pt;position:relative}
 .inner,main{max-width:none}
 header.shop{background:none;color:#000;padding:0 62mm 3mm 0;border-bottom:.6mm solid #2d3a34;min-height:34mm}
 header.shop h1{font-size:18pt}header.shop p{font-size:10pt}
 section{margin:0;padding:2.5mm 0}
 #plans{break-before:page}
 h2{font-size:11pt;margin:0 0 2mm}
 .screen{display:none!important}
 .pictures{grid-template-columns:60fr 40fr;gap:3mm;align-items:start;break-inside:avoid}
 figcaption{font-size:8pt;margin-top:1mm}
 .products{grid-template-columns:1fr 1fr 1fr;gap:2mm}
 .product{padding:1.5mm;gap:2mm;break-inside:avoid}.product img{width:14mm;height:14mm}
 .product h3{font-size:9pt;margin:0}.product dl{font-size:7.5pt;gap:0 2mm}
 .columns{display:block}
 table.quote{font-size:8.5pt}.quote td{padding:1mm}.quote th{padding:1mm;font-size:8pt}
 .quote .code,.quote .calc{font-size:7.5pt}.quote .calc{display:inline;margin-left:2mm}
 .quote tfoot td{font-size:10pt;padding-top:1.5mm}.quote tfoot .num{font-size:11pt}
 .note{font-size:7.5pt;margin-top:1mm}
 #contact{position:absolute;top:0;right:0;width:60mm;padding:0;background:none;flex-wrap:nowrap;gap:2mm;align-items:flex-start;font-size:7.5pt}
 #contact h2{display:none}#contact b{font-size:8.5pt}
 .qr{width:28mm;height:28mm}.scan{font-size:6.5pt;flex:none;width:28mm}.scan .url{display:none}
 a{color:inherit;text-decoration:none}
 footer{display:none}
}
)css";

// The handle follows a mouse or a finger (pointer events) and the range
// input follows the keyboard; each moves the other.
constexpr const char* kScript = R"js(
(function(){
var box=document.getElementById('compare'),range=document.getElementById('compare-range');
if(!box||!range)return;
function set(p){p=Math.max(0,Math.min(100,p));box.style.setProperty('--pos',p+'%');range.value=p;box.setAttribute('data-pos',p.toFixed(1));}
function at(e){var r=box.getBoundingClientRect();if(r.width>0)set((e.clientX-r.left)/r.width*100);}
var dragging=false;
box.addEventListener('pointerdown',function(e){dragging=true;try{box.setPointerCapture(e.pointerId);}catch(x){}at(e);});
box.addEventListener('pointermove',function(e){if(dragging)at(e);});
function stop(){dragging=false;}
box.addEventListener('pointerup',stop);box.addEventListener('pointercancel',stop);
range.addEventListener('input',function(){set(parseFloat(range.value));});
set(parseFloat(range.value));
})();
)js";

std::string Quantity(const RegionQuote& r) {
    if (!r.quantity || !std::isfinite(*r.quantity)) return "—";
    return FormatDecimals(*r.quantity, r.unit == PriceUnit::SquareMetre ? 2 : 0) + " " +
           std::string(PriceUnitCaption(r.unit));
}

// One line of the quote: where and what on top, the quantity times the
// price below it, the amount (or why there is none) on the right.
std::string QuoteLine(const std::string& where, const std::string& name, const std::string& number,
                      const std::string& quantity, const std::optional<double>& price, std::string_view unit,
                      const std::optional<double>& amount, const std::string& excluded) {
    std::string html = "<tr><td><b>" + EscapeHtml(where) + "</b> " + EscapeHtml(name);
    if (!number.empty()) html += " <span class='code'>" + EscapeHtml(number) + "</span>";
    html += "<div class='calc'>" + quantity;
    if (price) html += " × " + Money(price) + " 元/" + std::string(unit);
    html += "</div></td>";
    if (amount) return html + "<td class='num'>" + Money(amount) + "</td></tr>\n";
    return html + "<td class='num excluded'>" + EscapeHtml(excluded.empty() ? kQuotePriceUnknown : excluded) +
           "</td></tr>\n";
}

std::string QuoteSection(const SchemeQuote& quote) {
    std::string html = "<section id='quote'><h2>报价单</h2><table class='quote'><thead><tr><th>项目</th>"
                       "<th class='num'>金额(元)</th></tr></thead><tbody>\n";
    for (const RegionQuote& r : quote.regions)
        html += QuoteLine(r.regionName, r.name, r.number, Quantity(r), r.unitPrice, PriceUnitCaption(r.unit), r.amount,
                          r.excluded);
    for (const ModelQuote& m : quote.models)
        html += QuoteLine(m.recordName, m.name, m.number, "1 件", m.unitPrice, "件", m.amount, m.excluded);
    const std::string caption =
        quote.excluded > 0 ? "合计（另有 " + std::to_string(quote.excluded) + " 项未计价）" : "合计";
    html += "</tbody><tfoot><tr><td>" + caption + "</td><td class='num'>¥" + Money(quote.total) +
            "</td></tr></tfoot></table><p class='note'>数量已含铺贴损耗，最终价格以门店确认为准。</p></section>\n";
    return html;
}

// The same product laid in several regions is one entry naming them all.
std::vector<ReportRow> ByProduct(std::vector<ReportRow> rows) {
    std::vector<ReportRow> products;
    for (ReportRow& r : rows) {
        auto same = std::find_if(products.begin(), products.end(),
                                 [&](const ReportRow& p) { return p.PartsNumber == r.PartsNumber; });
        if (same == products.end()) products.push_back(std::move(r));
        else same->regionName += "、" + r.regionName;
    }
    return products;
}

std::string ProductsSection(const std::vector<ReportRow>& rows) {
    std::string html = "<section id='products'><h2>铺贴产品</h2>";
    if (rows.empty()) return html + "<p class='empty'>" + std::string(kMsgNothingLaid) + "</p></section>\n";
    html += "<ul class='products'>\n";
    auto item = [](const char* term, const std::string& text) {
        return text.empty() ? std::string() : "<dt>" + std::string(term) + "</dt><dd>" + EscapeHtml(text) + "</dd>";
    };
    for (const ReportRow& r : rows)
        html += "<li class='product'><img src='" + EscapeHtml(r.thumbnail.generic_string()) + "' alt='" +
                EscapeHtml(r.PartsName) + "'><div><h3>" + EscapeHtml(r.PartsName) + "</h3><dl>" +
                item("型号", r.PartsNumber) + item("品牌", r.SalesName) + item("规格", r.PartsSpecs) +
                item("位置", r.regionName) + "</dl></div></li>\n";
    return html + "</ul></section>\n";
}

std::string PlansSection(const std::string& plansHtml) {
    if (plansHtml.empty()) return {};
    return "<section id='plans' class='plans'>" + plansHtml + "</section>\n";
}

std::string ContactSection(const CustomerPageContent& c) {
    std::string html = "<section id='contact' class='contact'><div><h2>联系我们</h2>";
    if (!c.shop.name.empty()) html += "<p><b>" + EscapeHtml(c.shop.name) + "</b></p>";
    if (!c.shop.address.empty()) html += "<p>地址：" + EscapeHtml(c.shop.address) + "</p>";
    if (!c.shop.telephone.empty()) {
        std::string dial;
        for (char ch : c.shop.telephone)
            if ((ch >= '0' && ch <= '9') || ch == '+') dial += ch;
        html += "<p>电话：<a href='tel:" + dial + "'>" + EscapeHtml(c.shop.telephone) + "</a></p>";
    }
    if (c.pdf)
        html += "<a class='download screen' href='" + std::string(kCustomerPdfName) + "' download>下载 PDF 方案</a>";
    html += "</div>";
    if (!c.qrSvg.empty())
        html += "<div class='scan'>" + c.qrSvg + "<p>扫码在手机上查看</p><p class='url'>" + EscapeHtml(c.address) +
                "</p></div>";
    return html + "</section>\n";
}

// The thumbnails copied under products/, one file per picture however many
// rows show it; the rows then name their copies.
Status CopyThumbnails(std::vector<ReportRow>& rows, const fs::path& folder) {
    if (rows.empty()) return Status::Ok();
    std::error_code error;
    fs::create_directory(folder / kCustomerProductFolder, error);
    if (error) return Error{"cannot create " + (folder / kCustomerProductFolder).string() + ": " + error.message()};
    std::map<fs::path, fs::path> copies;
    for (ReportRow& r : rows) {
        auto [copy, fresh] = copies.try_emplace(r.thumbnail);
        if (fresh) {
            copy->second = fs::path(kCustomerProductFolder) /
                           ("p" + std::to_string(copies.size()) + r.thumbnail.extension().string());
            fs::copy_file(r.thumbnail, folder / copy->second, error);
            if (error) return Error{"cannot copy " + r.thumbnail.string() + ": " + error.message()};
        }
        r.thumbnail = copy->second;
    }
    return Status::Ok();
}

// The full-size pictures and, where they are larger than the screen needs,
// their screen copies, which the content then names; the photo and the
// rendering each on a thread of the pool.
Status WritePictures(const QImage& photo, const QImage& rendering, const fs::path& folder, CustomerPageContent& c) {
    const bool large = std::max(photo.width(), photo.height()) > kCustomerScreenSide;
    if (!large) {
        c.before = kCustomerPhotoName;
        c.after = kCustomerRenderingName;
    }
    const struct {
        const QImage* picture;
        const char *full, *screen;
    } pictures[] = {{&photo, kCustomerPhotoName, kCustomerBeforeName},
                    {&rendering, kCustomerRenderingName, kCustomerAfterName}};
    Status written[2];
    ParallelFor(2, [&](size_t i) {
        const auto& p = pictures[i];
        written[i] = SaveRenderedPicture(*p.picture, folder / p.full);
        if (written[i] && large)
            written[i] = SaveRenderedPicture(p.picture->scaled(kCustomerScreenSide, kCustomerScreenSide,
                                                               Qt::KeepAspectRatio, Qt::SmoothTransformation),
                                             folder / p.screen);
    });
    return written[0] ? written[1] : written[0];
}

}  // namespace

Result<std::string> CustomerPageAddress(std::string_view base) {
    const auto refused = [&] {
        return Error{"页面地址须以 http:// 或 https:// 开头，且不含空格、控制字符、\"?\" 和 \"#\"：" + std::string(base)};
    };
    std::string lower(base.substr(0, std::min<size_t>(base.size(), 8)));
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const size_t scheme = lower.starts_with("https://") ? 8 : lower.starts_with("http://") ? 7 : 0;
    if (scheme == 0) return refused();
    for (unsigned char ch : base)
        if (ch <= 0x20 || ch == 0x7f || ch == '?' || ch == '#') return refused();
    while (base.size() > scheme && base.back() == '/') base.remove_suffix(1);
    if (base.size() == scheme || base[scheme] == '/') return refused();  // no host
    std::string address = std::string(base) + "/" + kCustomerPageName;
    if (address.size() > kMaxQrTextBytes) return Error{"页面地址太长：" + address.substr(0, 80) + "…"};
    return address;
}

std::string CustomerPageHtml(const CustomerPageContent& c) {
    const std::string shop = c.shop.name.empty() ? std::string("装修效果方案") : c.shop.name;
    const std::string w = std::to_string(std::max(1, c.pictureSize.width())),
                      h = std::to_string(std::max(1, c.pictureSize.height()));
    std::string html = "<!DOCTYPE html>\n<html lang='zh-CN'>\n<head>\n<meta charset='utf-8'>\n"
                       "<meta name='viewport' content='width=device-width, initial-scale=1'>\n"
                       "<meta name='format-detection' content='telephone=no'>\n<title>" +
                       EscapeHtml(shop) + " · 装修效果方案</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<header class='shop'><div class='inner'><h1>" + EscapeHtml(shop) + "</h1><p>装修效果方案 · " +
            EscapeHtml(c.date) + "</p></div></header>\n<main>\n";
    const auto picture = [&](const std::string& file, const char* alt) {
        return "<img src='" + EscapeHtml(file) + "' width='" + w + "' height='" + h + "' alt='" + alt + "'>";
    };
    html += "<section id='compare-section' class='screen'><h2>装修前后对比</h2>"
            "<div class='compare' id='compare' data-pos='50'>" + picture(c.after, "效果图") +
            "<div class='before'>" + picture(c.before, "原图") + "</div>"
            "<span class='label was'>原图</span><span class='label now'>效果图</span>"
            "<div class='handle' id='compare-handle'><span>⇆</span></div></div>"
            "<input class='slider' id='compare-range' type='range' min='0' max='100' step='0.1' value='50' "
            "aria-label='拖动对比装修前后'>"
            "<p class='hint'>左右拖动中间的圆钮，对比装修前后的效果</p></section>\n";
    const auto figure = [&](const char* full, const std::string& shown, const char* caption) {
        return "<figure><a href='" + std::string(full) + "'>" + picture(shown, caption) + "</a><figcaption>" + caption +
               "<span class='screen'>（点击查看原尺寸大图）</span></figcaption></figure>";
    };
    html += "<section id='pictures'><h2>效果图</h2><div class='pictures'>" +
            figure(kCustomerRenderingName, c.after, "效果图") + figure(kCustomerPhotoName, c.before, "原图") +
            "</div></section>\n";
    html += "<div class='columns'>\n" + ProductsSection(c.products);
    html += c.quote ? QuoteSection(*c.quote) : std::string();
    html += "</div>\n" + PlansSection(c.plansHtml) + ContactSection(c);
    html += "<footer>" + EscapeHtml(shop) + " · " + EscapeHtml(c.date) + "</footer>\n</main>\n<script>" + kScript +
            "</script>\n</body>\n</html>\n";
    return html;
}

Result<CustomerPageFiles> WriteCustomerPage(const Scene& scene, const QImage& rendering,
                                            const CustomerPageRequest& request) {
    const QImage& photo = scene.background;
    if (photo.isNull()) return Error{"the scheme has no background picture"};
    if (rendering.size() != photo.size()) return Error{"the rendering is not the photo's size"};
    CustomerPageContent content{.shop = ReadShopDetails(request.workspace),
                                .date = request.date,
                                .pictureSize = photo.size(),
                                .products = ByProduct(ListReportRows(scene, request.workspace)),
                                .quote = QuoteForReport(scene, request.workspace),
                                .plansHtml = {},
                                .address = request.address,
                                .qrSvg = {},
                                .pdf = static_cast<bool>(request.print)};
    if (content.quote) content.plansHtml = LayingPlansHtml(scene, *content.quote);
    if (content.date.empty()) {
        const QDate today = QDate::currentDate();
        content.date = FormatShortDate(today.year(), today.month(), today.day());
    }
    if (!content.address.empty()) {
        Result<QrCode> code = EncodeQrCode(content.address);
        if (!code) return code.failure();
        content.qrSvg = QrCodeSvg(*code, "本页地址的二维码");
    }
    CustomerPageFiles files{request.folder / kCustomerPageName,
                            request.print ? request.folder / kCustomerPdfName : fs::path(), content.products.size()};
    const Status replaced = ReplaceFolder(request.folder, [&](const fs::path& folder) -> Status {
        if (Status copied = CopyThumbnails(content.products, folder); !copied) return copied;
        if (Status written = WritePictures(photo, rendering, folder, content); !written) return written;
        const std::string html = CustomerPageHtml(content);
        if (!WriteFileAtomically(folder / kCustomerPageName,
                                 std::span(reinterpret_cast<const uint8_t*>(html.data()), html.size())))
            return Error{"cannot write " + (folder / kCustomerPageName).string()};
        if (request.print) return request.print(folder / kCustomerPageName, folder / kCustomerPdfName);
        return Status::Ok();
    });
    if (!replaced) return replaced.failure();
    return files;
}

}  // namespace v2d
