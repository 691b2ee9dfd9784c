#include "output/product_report.h"

#include <QDate>
#include <QString>

#include <system_error>

#include "base/atomic_file.h"
#include "base/workspace_settings.h"
#include "library/product_descriptor.h"
#include "library/product_pictures.h"
#include "base/html_text.h"
#include "output/rendered_picture.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace fs = std::filesystem;

namespace {

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
    for (const PolygonPtr& record : scene.PolyList) {
        ProductDescriptor product = ProductDescriptor::Parse(record->partsInfo);
        if (product.number.empty()) continue;
        fs::path thumbnail = PicturePathsOf(programFolder, product.number).thumbnail;
        std::error_code error;
        if (!fs::is_regular_file(thumbnail, error)) continue;
        rows.push_back(ReportRow{record->name, std::move(product.name), std::move(product.salesName),
                                 std::move(product.number), std::move(product.specs), std::move(thumbnail)});
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

DealerInfo ReadDealerInfo(const fs::path& programFolder) {
    return DealerInfo{ReadSetting(programFolder, kDealerAddressKey).value_or(""),
                      ReadSetting(programFolder, kDealerTelephoneKey).value_or("")};
}

Status WriteDealerInfo(const fs::path& programFolder, const DealerInfo& dealer) {
    if (Status s = WriteSetting(programFolder, kDealerAddressKey, dealer.address); !s) return s;
    return WriteSetting(programFolder, kDealerTelephoneKey, dealer.telephone);
}

Result<ReportFiles> WriteProductReport(const Scene& scene, const QImage& picture, const ReportRequest& request) {
    const fs::path templateFile = request.programFolder / kReportFolder / kReportTemplateName;
    const std::optional<Bytes> templateBytes = ReadWholeFile(templateFile, kMaxTemplateBytes);
    if (!templateBytes) return Error{"报表模板文件不存在：" + templateFile.string()};
    std::vector<std::string> lines =
        SplitLines(std::string_view(reinterpret_cast<const char*>(templateBytes->data()), templateBytes->size()));

    const fs::path folder = request.outputFolder.empty() ? request.programFolder / kReportFolder : request.outputFolder;
    std::error_code error;
    fs::create_directories(folder, error);
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
    SubstitutePlaceholder(lines, "$SaleAdd$", EscapeHtml(request.dealer.address));
    SubstitutePlaceholder(lines, "$SaleTel$", EscapeHtml(request.dealer.telephone));

    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    if (!WriteFileAtomically(files.report, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())))
        return Error{kMsgWriteFailed};
    return files;
}

}  // namespace v2d
