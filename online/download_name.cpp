#include "online/download_name.h"

#include <optional>

namespace v2d {

namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const auto high = HexDigit(text[i + 1]);
        const auto low = HexDigit(text[i + 2]);
        if (!high || !low) return std::nullopt;
        out += static_cast<char>(*high * 16 + *low);
        i += 2;
    }
    return out;
}

}  // namespace

Result<std::string> LocalNameFromUrl(std::string_view url) {
    const Error refused{kMsgBadDownloadName};
    std::string_view path = url;
    if (const size_t scheme = path.find("://"); scheme != std::string_view::npos) {
        path.remove_prefix(scheme + 3);
        const size_t slash = path.find('/');
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
    }
    path = path.substr(0, path.find_first_of("?#"));
    // A "\" is a separator here too, so "a\..\b" cannot smuggle a parent in.
    const size_t last = path.find_last_of("/\\");
    const std::string_view segment = last == std::string_view::npos ? path : path.substr(last + 1);
    const std::optional<std::string> name = PercentDecoded(segment);
    if (!name || name->empty() || *name == "." || *name == "..") return refused;
    for (const char c : *name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return refused;
    return *name;
}

Result<std::filesystem::path> LocalPathIn(const std::filesystem::path& folder, std::string_view url) {
    Result<std::string> name = LocalNameFromUrl(url);
    if (!name) return name.failure();
    return folder / std::filesystem::u8path(*name);
}

}  // namespace v2d
