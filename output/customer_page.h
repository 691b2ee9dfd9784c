#pragma once
// The customer page: one folder of static files a salesperson sends to the
// customer's phone. The page puts the photo as it was and the scene as laid
// one over the other with a handle to drag across, shows the rendering at
// full size, the products laid with their pictures, the quote, the laying
// plans, the shop's details and, given the page's address, its QR code; a
// print stylesheet makes it an A4 handout, printed beside it as a PDF.
// Every address in it is relative, so the folder works opened as files and
// from any web server.
#include <QImage>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "layout/scheme_quote.h"
#include "output/product_report.h"
#include "output/shop_details.h"
#include "scene/scene.h"

namespace v2d {

inline constexpr const char* kCustomerPageName = "index.html";
inline constexpr const char* kCustomerPdfName = "index.pdf";
inline constexpr const char* kCustomerPhotoName = "photo.jpg";          // the photo as it was, full size
inline constexpr const char* kCustomerRenderingName = "rendering.jpg";  // the scene as laid, full size
inline constexpr const char* kCustomerBeforeName = "before.jpg";        // the photo for the screen
inline constexpr const char* kCustomerAfterName = "after.jpg";          // the rendering for the screen
inline constexpr const char* kCustomerProductFolder = "products";
// The longer side of the screen copies.
inline constexpr int kCustomerScreenSide = 1600;
inline constexpr const char* kMsgNothingLaid = "方案中尚未铺贴产品";

// The page's own address: `base` with its trailing slashes dropped, then
// "/index.html". Refused unless it starts with http:// or https:// and a
// host, and holds no space, control character, "?" or "#".
Result<std::string> CustomerPageAddress(std::string_view base);

// Everything the page shows; the pictures are named relative to the page.
struct CustomerPageContent {
    ShopDetails shop;
    std::string date;
    QSize pictureSize;                // the photo's and the rendering's
    // The pictures the screen shows: their copies no larger than
    // kCustomerScreenSide, or the full-size files when those are no larger.
    std::string before = kCustomerBeforeName, after = kCustomerAfterName;
    std::vector<ReportRow> products;  // thumbnails relative to the page
    std::optional<SchemeQuote> quote;
    std::string plansHtml;  // LayingPlansHtml of the quoted regions
    std::string address;  // the page's address; empty: no QR code
    std::string qrSvg;    // the address's QR code (QrCodeSvg)
    bool pdf = false;     // a PDF of the page lies beside it
};

// The page, UTF-8, its stylesheet and script inline.
std::string CustomerPageHtml(const CustomerPageContent& content);

// Prints a page to a PDF of A4 pages (output/report_pdf.h's printer, or the
// command line's module of it).
using PagePrinter = std::function<Status(const std::filesystem::path& page, const std::filesystem::path& pdf)>;

struct CustomerPageRequest {
    std::filesystem::path workspace;  // the products' thumbnails, the shop's details, the quote's allowances
    std::filesystem::path folder;     // replaced whole or not at all
    std::string address;              // CustomerPageAddress, or empty
    std::string date;                 // empty: today, as the program prints dates
    PagePrinter print;                // empty: no PDF
};

struct CustomerPageFiles {
    std::filesystem::path page;
    std::filesystem::path pdf;  // empty without a printer
    size_t products = 0;        // the products listed; 0: kMsgNothingLaid
};

// Writes the page, the photo (the scene's background), the rendering, their
// screen copies (when they are larger than kCustomerScreenSide), the products' thumbnails and the PDF into a new folder
// that then takes request.folder's place; on any failure the old folder
// stays as it was. Refused for a scene without a photo or a rendering of
// another size.
Result<CustomerPageFiles> WriteCustomerPage(const Scene& scene, const QImage& rendering,
                                            const CustomerPageRequest& request);

}  // namespace v2d
