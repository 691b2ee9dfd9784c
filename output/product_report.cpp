#include "output/product_report.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <cmath>
#include <system_error>

#include "base/atomic_file.h"
#include "library/product.h"
#include "library/product_pictures.h"
#include "library/pub_functions.h"
#include "base/html_text.h"
#include "layout/laying_plan.h"
#include "output/rendered_picture.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUnknown = "—";

// The report's folder, made with its missing parents; unless kept, the
// folders it made go again, so a report that fails leaves none behind.
class FolderMadeForReport {
public:
    explicit FolderMadeForReport(const fs::path& folder) {
        std::error_code error;
        // A folder that cannot be looked at counts as there: only what this
        // made can go.
        for (fs::path p = folder; !p.empty() && fs::symlink_status(p, error).type() == fs::file_type::not_found;
             p = p.parent_path()) {
            top_ = p;
            if (p == p.parent_path()) break;
        }
        fs::create_directories(folder, error);
    }
    ~FolderMadeForReport() {
        std::error_code error;
        if (!top_.empty()) fs::remove_all(top_, error);
    }
    FolderMadeForReport(const FolderMadeForReport&) = delete;
    FolderMadeForReport& operator=(const FolderMadeForReport&) = delete;
    void keep() { top_.clear(); }

private:
    fs::path top_;  // the outermost folder that was missing
};

constexpr uint64_t kMaxTemplateBytes = 16u << 20;

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string Money(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return kUnknown;
    std::string text = FormatDecimals(*value, 2);
    if (text.empty()) return kUnknown;
    const size_t first = text[0] == '-' ? 1 : 0;
    for (size_t at = text.find('.'); at > first + 3;) {
        at -= 3;
        text.insert(at, ",");
    }
    return text;
}

namespace {

std::string Area(double m2) {
    const std::string text = std::isfinite(m2) ? FormatDecimals(m2, 2) : std::string();
    return text.empty() ? kUnknown : text;
}

// "8%", "7.5%".
std::string Percent(double value) {
    const std::string text = std::isfinite(value) ? FormatDecimals(value, 1) : std::string();
    if (text.empty()) return kUnknown;
    return (text.ends_with(".0") ? text.substr(0, text.size() - 2) : text) + "%";
}

std::string Cell(std::string_view cls, const std::string& html) {
    return "<td class='" + std::string(cls) + "'>" + html + "</td>";
}

void SubstituteQuote(std::vector<std::string>& lines, const Scene& scene, const std::optional<SchemeQuote>& quote) {
    auto line = std::find_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find(kQuotePlaceholder) != std::string::npos; });
    if (!quote) {
        // A line of the placeholder alone goes whole.
        if (line != lines.end() && TrimBlanks(*line) == kQuotePlaceholder) lines.erase(line);
        else SubstitutePlaceholder(lines, kQuotePlaceholder, "");
        return;
    }
    const std::string section = "<h2 class='quote'>报价单</h2>\n" + QuoteTableHtml(*quote) + LayingPlansHtml(scene, *quote);
    if (line != lines.end()) {
        SubstitutePlaceholder(lines, kQuotePlaceholder, section);
        return;
    }
    // A template of its own without the placeholder: after its last table
    // (the products), so the quote stays on the page; else before the end.
    auto table = std::find_if(lines.rbegin(), lines.rend(),
                              [](const std::string& l) { return l.find("</table>") != std::string::npos; });
    if (table != lines.rend()) {
        lines.insert(table.base(), section);
        return;
    }
    auto body = std::find_if(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.find("</body>") != std::string::npos; });
    lines.insert(body, section);
}

}  // namespace

std::string QuoteTableHtml(const SchemeQuote& quote) {
    std::string html =
        "<table class='quote'>\n<thead><tr><th>序号</th><th>装饰部位</th><th>产品</th><th>面积(m²)</th>"
        "<th>铺贴</th><th>整砖</th><th>切割砖</th><th>损耗</th><th>订购</th><th>箱数</th><th>计价数量</th><th>单价(元)</th><th>金额(元)</th>"
        "</tr></thead>\n<tbody>\n";
    int number = 0;
    auto product = [](const std::string& name, const std::string& code) {
        std::string text = name.empty() && code.empty() ? kUnknown : EscapeHtml(name);
        if (!code.empty()) text += "<br><span class='code'>" + EscapeHtml(code) + "</span>";
        return text;
    };
    // The amount, or why there is none: "价格未定" for an unknown price.
    auto amount = [](const std::optional<double>& value, const std::string& excluded) {
        return value ? Cell("num", Money(value)) : Cell("num excluded", EscapeHtml(excluded));
    };
    double area = 0;
    for (const RegionQuote& r : quote.regions) {
        const std::string counted(PriceUnitCaption(r.unit == PriceUnit::Roll ? PriceUnit::Roll : PriceUnit::Piece));
        auto count = [&](const std::optional<long long>& n) {
            return n ? std::to_string(*n) + " " + counted : std::string(kUnknown);
        };
        std::string quantity = kUnknown;
        if (r.quantity)
            quantity = (r.unit == PriceUnit::SquareMetre ? Area(*r.quantity) : FormatDecimals(*r.quantity, 0)) + " " +
                       std::string(PriceUnitCaption(r.unit));
        html += "<tr>" + Cell("no", std::to_string(++number)) + Cell("text", EscapeHtml(r.regionName)) +
                Cell("text", product(r.name, r.number)) + Cell("num", Area(r.areaM2)) + Cell("num", count(r.laid)) +
                Cell("num", count(r.whole)) + Cell("num", count(r.cut)) + Cell("num", Percent(r.wastePercent)) + Cell("num", count(r.order)) +
                Cell("num", r.boxes ? std::to_string(*r.boxes) : kUnknown) + Cell("num", quantity) +
                Cell("num", r.unitPrice ? Money(r.unitPrice) + "/" + std::string(PriceUnitCaption(r.unit)) : kUnknown) +
                amount(r.amount, r.excluded) + "</tr>\n";
        if (std::isfinite(r.areaM2)) area += r.areaM2;
    }
    for (const ModelQuote& m : quote.models) {
        html += "<tr>" + Cell("no", std::to_string(++number)) + Cell("text", EscapeHtml(m.recordName)) +
                Cell("text", product(m.name, m.number)) + Cell("num", kUnknown) + Cell("num", "1 件") +
                Cell("num", kUnknown) + Cell("num", kUnknown) + Cell("num", kUnknown) + Cell("num", "1 件") + Cell("num", kUnknown) + Cell("num", "1 件") +
                Cell("num", m.unitPrice ? Money(m.unitPrice) + "/件" : kUnknown) + amount(m.amount, m.excluded) +
                "</tr>\n";
    }
    const std::string caption =
        quote.excluded > 0 ? "合计（另有 " + std::to_string(quote.excluded) + " 项未计价，不含在内）" : "合计";
    html += "</tbody>\n<tfoot><tr><td class='text' colspan='3'>" + caption + "</td>" + Cell("num", Area(area)) +
            "<td colspan='8'></td>" + Cell("num", Money(quote.total)) + "</tr></tfoot>\n</table>";
    return html;
}

std::string LayingPlansHtml(const Scene& scene, const SchemeQuote& quote) {
    std::string html;
    for (const RegionQuote& r : quote.regions) {
        if (!r.whole) continue;  // not counted in tiles
        const Result<LayingPlan> plan = MakeLayingPlan(scene, r.index);
        if (!plan) continue;
        // The heading inside the first plan's figure, so a printed page never ends with it alone.
        html += "<figure class='plan' style='margin:10px 0;break-inside:avoid'>" +
                std::string(html.empty() ? "<h2 class='plan'>铺贴图</h2>\n" : "") + LayingPlanSvgElement(*plan) +
                "</figure>\n";
    }
    return html.empty() ? html : "\n" + html;
}

bool SubstitutePlaceholder(std::vector<std::string>& lines, std::string_view placeholder,
                           std::string_view replacement) {
    if (placeholder.empty()) return false;
    for (std::string& line : lines) {
        size_t at = line.find(placeholder);
        if (at == std::string::npos) continue;
        std::string out;
        size_t from = 0;
        for (; at != std::string::npos; at = line.find(placeholder, from)) {
            out.append(line, from, at - from);
            out += replacement;
            from = at + placeholder.size();
        }
        out.append(line, from);
        line = std::move(out);
        return true;
    }
    return false;
}

std::vector<ReportRow> ListReportRows(const Scene& scene, const fs::path& programFolder) {
    std::vector<ReportRow> rows;
    for (const V2dPolygon* record : scene.records()) {
        const Product& product = record->partsInfo.product();
        if (product.number().empty()) continue;
        fs::path thumbnail = product.paths(programFolder).thumbnail;
        std::error_code error;
        if (!fs::is_regular_file(thumbnail, error)) continue;
        rows.push_back(ReportRow{record->name, product.name(), product.brand(), product.number(), product.specs(),
                                 std::move(thumbnail)});
    }
    return rows;
}

std::string ReportRowsHtml(const std::vector<ReportRow>& rows) {
    std::string html;
    int number = 0;
    for (const ReportRow& r : rows) {
        html += "<tr><td class='tbox01'>" + std::to_string(++number) + "</td>";
        html += "<td class='tbox01'>" + EscapeHtml(r.regionName) + "</td>";
        html += "<td class='tbox01'>" + EscapeHtml(r.PartsName) + "</td>";
        html += "<td class='tbox01'>" + EscapeHtml(r.SalesName) + "</td>";
        html += "<td class='tbox01'>" + EscapeHtml(r.PartsNumber) + "</td>";
        html += "<td class='tbox01'>&nbsp;" + EscapeHtml(r.PartsSpecs) + "</td>";
        html += "<td class='tbox01'><img src='" + FileUrl(r.thumbnail) + "' width='100'></td>";
    }
    return html;
}

Result<ReportFiles> WriteProductReport(const Scene& scene, const QImage& picture, const ReportRequest& request,
                                       const std::optional<SchemeQuote>& quote) {
    const fs::path templateFile = request.programFolder / kReportFolder / kReportTemplateName;
    const std::optional<Bytes> templateBytes = ReadWholeFile(templateFile, kMaxTemplateBytes);
    if (!templateBytes) return Error{"报表模板文件不存在：" + templateFile.string()};
    std::vector<std::string> lines =
        SplitLines(std::string_view(reinterpret_cast<const char*>(templateBytes->data()), templateBytes->size()));

    const fs::path folder = request.outputFolder.empty() ? request.programFolder / kReportFolder : request.outputFolder;
    FolderMadeForReport made(folder);
    const ReportFiles files{folder / kReportName, folder / kReportPictureName};

    std::string date = request.date;
    if (date.empty()) {
        const QDate today = QDate::currentDate();
        date = FormatShortDate(today.year(), today.month(), today.day());
    }
    SubstitutePlaceholder(lines, "$SaleName$", "");
    SubstitutePlaceholder(lines, "$UserName$", kReportUserName);
    SubstitutePlaceholder(lines, "$ReportDate$", EscapeHtml(date));
    if (Status saved = SaveRenderedPicture(picture, files.picture); !saved) return saved.failure();
    SubstitutePlaceholder(lines, "$PrjImage3D$", std::string("<img src='") + kReportPictureName + "' width='640' >");
    SubstitutePlaceholder(lines, "$ReportData$", ReportRowsHtml(ListReportRows(scene, request.programFolder)));
    SubstitutePlaceholder(lines, "$SaleAdd$", EscapeHtml(request.shop.address));
    SubstitutePlaceholder(lines, "$SaleTel$", EscapeHtml(request.shop.telephone));
    SubstituteQuote(lines, scene, quote);

    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    if (!WriteFileAtomically(files.report, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())))
        return Error{kMsgWriteFailed};
    made.keep();
    return files;
}

}  // namespace v2d
