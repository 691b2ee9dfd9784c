#include "base/gbk_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace v2d {
namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return IconvHandle(cd);
}

// Converts byte by byte; an input sequence the target cannot hold is
// replaced and skipped so a text never gets lost as a whole.
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, size_t skipOnError) {
    IconvHandle cd = OpenConverter(to, from);
    if (!cd) return std::string(in);
    std::string out;
    out.reserve(in.size() * 2 + 4);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace the offending sequence.
            out.append(replacement);
            size_t skip = std::min(skipOnError, srcLeft);
            if (from == std::string_view("UTF-8")) {
                // Skip one whole UTF-8 character.
                skip = 1;
                while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
            }
            src += skip;
            srcLeft -= skip;
            iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8, "?", 1); }

std::string GbkToUtf8(std::string_view gbk) {
    return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", 1);
}

std::string GbkForField(std::string_view utf8, size_t width) {
    std::string gbk = Utf8ToGbk(utf8);
    size_t length = 0;
    while (length < gbk.size()) {
        const bool lead = static_cast<unsigned char>(gbk[length]) >= 0x81 && length + 1 < gbk.size();
        const size_t step = lead ? 2 : 1;
        if (width == 0 || length + step > width - 1) break;
        length += step;
    }
    gbk.resize(length);
    return gbk;
}

std::string_view FixedFieldText(const char* field, size_t width) {
    const void* zero = std::memchr(field, 0, width);
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : width;
    return std::string_view(field, length);
}

std::string_view Utf8Prefix(std::string_view text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace v2d
