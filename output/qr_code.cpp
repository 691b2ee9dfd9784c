#include "output/qr_code.h"

#include <qrencode.h>

#include <memory>

#include "base/html_text.h"

namespace v2d {

Result<QrCode> EncodeQrCode(std::string_view text) {
    if (text.empty() || text.size() > kMaxQrTextBytes || text.find('\0') != std::string_view::npos)
        return Error{"cannot make a QR code of this text"};
    const std::string terminated(text);
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> symbol(
        QRcode_encodeString8bit(terminated.c_str(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!symbol || symbol->width <= 0) return Error{"cannot make a QR code of this text"};
    QrCode code;
    code.size = symbol->width;
    const size_t modules = static_cast<size_t>(code.size) * static_cast<size_t>(code.size);
    code.dark.resize(modules);
    for (size_t i = 0; i < modules; ++i) code.dark[i] = (symbol->data[i] & 1) != 0;  // bit 0: dark
    return code;
}

std::string QrCodeSvg(const QrCode& code, std::string_view label) {
    const int side = code.size + 2 * kQrQuietZone;
    std::string path;
    // One rectangle per run of dark modules along a row.
    for (int y = 0; y < code.size; ++y)
        for (int x = 0; x < code.size;) {
            if (!code.at(x, y)) {
                ++x;
                continue;
            }
            int run = 1;
            while (x + run < code.size && code.at(x + run, y)) ++run;
            path += "M" + std::to_string(x + kQrQuietZone) + " " + std::to_string(y + kQrQuietZone) + "h" +
                    std::to_string(run) + "v1h-" + std::to_string(run) + "z";
            x += run;
        }
    const std::string s = std::to_string(side);
    return "<svg xmlns='http://www.w3.org/2000/svg' class='qr' viewBox='0 0 " + s + " " + s +
           "' shape-rendering='crispEdges' role='img' aria-label='" + EscapeHtml(label) + "'><rect width='" + s +
           "' height='" + s + "' fill='#fff'/><path fill='#000' d='" + path + "'/></svg>";
}

}  // namespace v2d
