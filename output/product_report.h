#pragma once
// The product report: the report template's placeholders filled with the
// rendering, the products laid into the scene's regions, optionally their
// quote, and the dealer's address, written beside the rendering for the
// customer's browser.
#include <QImage>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "layout/scheme_quote.h"
#include "output/shop_details.h"
#include "scene/scene.h"

namespace v2d {

inline constexpr const char* kReportFolder = "report";
inline constexpr const char* kReportTemplateName = "index.htm";
inline constexpr const char* kReportName = "report.htm";
inline constexpr const char* kReportPictureName = "效果图.jpg";
// The dealer's texts are the shop's details (output/shop_details.h).
inline constexpr const char* kReportUserName = "VexelV2.0版";

// Placeholder substitution: on the first line holding the placeholder every
// occurrence is replaced, left to right, and the replacement is not searched
// again; later lines keep theirs. False when no line holds it.
bool SubstitutePlaceholder(std::vector<std::string>& lines, std::string_view placeholder,
                           std::string_view replacement);

// One listed region: its name and the product values of its descriptor.
struct ReportRow {
    std::string regionName;
    std::string PartsName, SalesName, PartsNumber, PartsSpecs;
    std::filesystem::path thumbnail;  // product/xjpg/<PartsNumber>.jpg
};

// The regions in PolyList order whose descriptor names a product with a
// thumbnail file; the same product in several regions gives several rows.
std::vector<ReportRow> ListReportRows(const Scene& scene, const std::filesystem::path& programFolder);
// The table rows, numbered from 1, texts escaped, thumbnails as file URLs.
std::string ReportRowsHtml(const std::vector<ReportRow>& rows);

// The quote as a table: per region its number in the list, name, product
// (name and number), area in m², pieces (or rolls) laid, of them whole and
// cut (tiles only), waste, pieces (or rolls) to order, boxes, the quantity the price counts, unit price per unit
// and amount; then one line per model (one piece); then the total, which
// names how many lines it leaves out. Texts escaped, area and money with two
// decimals (money grouped by thousands), "—" for what is unknown, and in
// place of a missing amount its reason ("价格未定").
std::string QuoteTableHtml(const SchemeQuote& quote);
// Two decimals with "," between thousands ("12,345.60"); "—" for no number.
std::string Money(std::optional<double> value);
// Under a heading, the laying plan of each region the quote counts in whole
// and cut tiles, as inline SVG (vector in the printed PDF); empty when there
// is none.
std::string LayingPlansHtml(const Scene& scene, const SchemeQuote& quote);

struct ReportRequest {
    std::filesystem::path programFolder;
    std::filesystem::path outputFolder;  // empty: programFolder/report
    ShopDetails shop;  // its address and telephone are printed
    std::string date;  // empty: today, as the program prints dates
};

struct ReportFiles {
    std::filesystem::path report;   // <output>/report.htm
    std::filesystem::path picture;  // <output>/效果图.jpg
};

inline constexpr const char* kQuotePlaceholder = "$QuoteData$";

// HtmlReport's work: reads programFolder/report/index.htm, writes the
// rendering and the report (each whole or not at all). A missing template
// writes nothing.
// With a quote, its section (a heading, QuoteTableHtml and LayingPlansHtml) goes where the
// template has kQuotePlaceholder, or before "</body>" in a template without
// it. Without one, a line holding only the placeholder goes, and the report
// is what it was before quotes.
Result<ReportFiles> WriteProductReport(const Scene& scene, const QImage& picture, const ReportRequest& request,
                                       const std::optional<SchemeQuote>& quote = std::nullopt);

}  // namespace v2d
