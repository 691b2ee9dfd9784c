#pragma once
// QR codes of a page's address, for a customer's phone camera: the modules
// worked out by libqrencode, drawn as an inline SVG element.
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace v2d {

// The longest text encoded; an address is far shorter.
inline constexpr size_t kMaxQrTextBytes = 1024;
// The light margin around the symbol that readers need, in modules.
inline constexpr int kQrQuietZone = 4;

// The symbol's modules row by row, without the quiet zone.
struct QrCode {
    int size = 0;  // modules across and down
    std::vector<bool> dark;
    bool at(int x, int y) const { return dark[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)]; }
};

// The text's bytes in 8-bit mode at error correction level M, in the
// smallest version that holds them. Refused: an empty text, one holding a
// NUL byte or longer than kMaxQrTextBytes.
Result<QrCode> EncodeQrCode(std::string_view text);

// An <svg> element drawing the code dark on white with its quiet zone; its
// viewBox counts modules, so it scales to any size the page gives it
// without blurring. `label` is its accessible name (escaped).
std::string QrCodeSvg(const QrCode& code, std::string_view label);

}  // namespace v2d
