// The report template of the demo workspace: one printable A4 sheet with the
// rendering on top, the products and the quote below, and the dealer's texts.
#include "demo/workspace.h"

#include <string_view>

#include "base/atomic_file.h"
#include "base/workspace_settings.h"

namespace v2d::demo {
namespace fs = std::filesystem;

namespace {

// Each placeholder stands on a line of its own but the header's.
constexpr std::string_view kReportTemplate = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>装修效果与产品清单</title>
<style>
@page { size: A4; margin: 12mm; }
* { box-sizing: border-box; }
body { margin: 0; background: #e8e4de; color: #2f2a24; font: 13px/1.5 "Noto Sans CJK SC", "Source Han Sans SC", sans-serif; }
.sheet { width: 210mm; min-height: 297mm; margin: 16px auto; padding: 12mm; background: #fff; box-shadow: 0 2px 14px rgba(0,0,0,.18); }
header { display: flex; justify-content: space-between; align-items: flex-end; border-bottom: 3px solid #8a6a45; padding-bottom: 8px; }
h1 { margin: 0; font-size: 24px; letter-spacing: 3px; color: #5a4128; }
.shop { color: #8a6a45; font-size: 13px; }
.meta { text-align: right; font-size: 12px; color: #6d6257; }
.rendering { margin: 14px 0 10px; }
.rendering img { display: block; width: 100%; height: auto; border: 1px solid #d8d0c4; }
h2 { margin: 14px 0 6px; font-size: 15px; color: #5a4128; border-left: 4px solid #8a6a45; padding-left: 8px; }
table.products { width: 100%; border-collapse: collapse; }
table.products th { background: #8a6a45; color: #fff; font-weight: normal; padding: 6px; text-align: left; white-space: nowrap; }
td.tbox01 { padding: 5px 6px; border-bottom: 1px solid #e4ddd2; vertical-align: middle; }
tbody tr:nth-child(even) td.tbox01 { background: #faf7f2; }
td.tbox01 img { display: block; width: 96px; height: 64px; object-fit: cover; border: 1px solid #ddd; }
table.quote { width: 100%; border-collapse: collapse; font-size: 12px; }
table.quote th { background: #8a6a45; color: #fff; font-weight: normal; padding: 5px 4px; text-align: center; }
table.quote td { padding: 4px; border-bottom: 1px solid #e4ddd2; vertical-align: middle; }
table.quote td.num { text-align: right; white-space: nowrap; font-variant-numeric: tabular-nums; }
table.quote td.no { text-align: center; }
table.quote .code { color: #8a7a68; font-size: 11px; }
table.quote td.excluded { color: #a3412a; }
table.quote tbody tr:nth-child(even) td { background: #faf7f2; }
table.quote tfoot td { border-top: 2px solid #8a6a45; border-bottom: none; font-weight: bold; color: #5a4128; padding-top: 6px; }
footer { display: flex; justify-content: space-between; margin-top: 16px; padding-top: 8px; border-top: 1px solid #d8d0c4; font-size: 12px; color: #6d6257; }
@media print {
  body { background: #fff; }
  .sheet { width: auto; min-height: 0; margin: 0; padding: 0; box-shadow: none; }
  tr { break-inside: avoid; }
  h2 { break-after: avoid; }
}
</style>
</head>
<body>
<div class="sheet">
<header>
<div><h1>装修效果与产品清单</h1><div class="shop">$SaleName$</div></div>
<div class="meta">制作：$UserName$<br>日期：$ReportDate$</div>
</header>
<section class="rendering">
$PrjImage3D$
</section>
<h2>所用产品</h2>
<table class="products">
<thead><tr><th>序号</th><th>装饰部位</th><th>产品名称</th><th>品牌</th><th>产品编号</th><th>规格(mm)</th><th>图片</th></tr></thead>
<tbody>
$ReportData$
</tbody>
</table>
$QuoteData$
<footer>
<span>经销商地址：$SaleAdd$</span>
<span>联系电话：$SaleTel$</span>
</footer>
</div>
</body>
</html>
)";

constexpr std::string_view kDealerAddress = "上海市徐汇区漕溪北路 88 号 家居建材城 2 楼 A-215";
constexpr std::string_view kDealerTelephone = "021-6488 1234";

bool Write(const fs::path& path, std::string_view text) {
    return WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace

Status WriteDemoReportTemplate(const fs::path& workspace) {
    if (!Write(workspace / "report" / "index.htm", kReportTemplate))
        return Error{"cannot write " + (workspace / "report").string()};
    if (Status s = WriteSetting(workspace, "SaleAdd", kDealerAddress); !s) return s;
    return WriteSetting(workspace, "SaleTel", kDealerTelephone);
}

}  // namespace v2d::demo
