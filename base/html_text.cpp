#include "base/html_text.h"

namespace v2d {

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            case '$': out += "&#36;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string FileUrl(const std::filesystem::path& path) {
    static const char kHex[] = "0123456789ABCDEF";
    // Linux paths are the bytes of their UTF-8 names.
    const std::string bytes = std::filesystem::absolute(path).lexically_normal().generic_string();
    std::string out = "file://";
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace v2d
