#include "base/picture_codec.h"

#include "base/byte_reader.h"
#include "base/exif_orientation.h"
#include "base/heif_picture.h"

#include <QBuffer>

#include <sys/mman.h>

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include <jpeglib.h>
#include <jerror.h>
#include <png.h>

namespace v2d {
namespace {

// libjpeg's default error handler ends the process; this one jumps back.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool strict = false;
};

void JpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void JpegSilentMessage(j_common_ptr) {}

// The warnings of a file whose rows are not all there: it ends early, a scan
// breaks off, or its entropy-coded data does not decode. Warnings of a whole
// picture (an unknown JFIF revision, a bad colour profile, stray bytes
// before a marker, a progression that skips a refinement) do not count.
bool IsDamageWarning(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
            return true;
        default:
            return false;
    }
}

// Level -1 is a warning; the others are traces. A strict decode stops at
// the first damage warning instead of filling the rest with grey.
void JpegEmitMessage(j_common_ptr info, int level) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    if (level < 0) {
        ++manager->base.num_warnings;
        if (manager->strict && IsDamageWarning(manager->base.msg_code)) std::longjmp(manager->jump, 1);
    }
}

// libjpeg's working memory for one picture (strips, tables, and a progressive
// picture's coefficients; the rows themselves live in the QImage).
constexpr long kJpegWorkingMemory = 256L << 20;

uint32_t BigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

using Size = std::optional<QSize>;

// A size the header states; `Allowed` unless the caller asks for it as stated.
Size Allowed(int64_t width, int64_t height, bool asStated = false) {
    if (asStated)
        return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX ? Size(QSize(int(width), int(height)))
                                                                                    : std::nullopt;
    if (width > kMaxPictureSide || height > kMaxPictureSide || !PictureSizeAllowed(int(width), int(height)))
        return std::nullopt;
    return QSize(int(width), int(height));
}

// The JPEG's markers up to its first frame header fit in the data, and the
// frame names a size a reader accepts: that size.
Size JpegHeaderSize(std::span<const uint8_t> data, bool asStated = false) {
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
    size_t at = 2;
    while (at + 4 <= data.size()) {
        if (data[at] != 0xFF) return std::nullopt;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || length > data.size() - at - 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8) return std::nullopt;
            const int height = data[at + 5] << 8 | data[at + 6], width = data[at + 7] << 8 | data[at + 8];
            // A height of 0 is given later by a DNL marker; libjpeg refuses it.
            return Allowed(width, height, asStated);
        }
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // scan or end before any frame
        at += 2 + length;
    }
    return std::nullopt;
}

// Every chunk of the PNG fits in what is left of it, its header comes first
// and names a size a reader accepts, and it ends: that size. No chunk
// length reaches the decoder before this holds.
Size PngHeaderSize(std::span<const uint8_t> data, bool asStated = false) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (data.size() < 8 + 25 || std::memcmp(data.data(), kSignature, 8) != 0) return std::nullopt;
    size_t at = 8;
    Size size;
    for (bool first = true; data.size() - at >= 12; first = false) {
        const uint32_t length = BigEndian32(data.data() + at);
        const uint8_t* type = data.data() + at + 4;
        if (length > 0x7FFFFFFFu || length > data.size() - at - 12) return std::nullopt;
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return std::nullopt;
            const uint32_t width = BigEndian32(type + 4), height = BigEndian32(type + 8);
            size = Allowed(width, height, asStated);
            if (!size) return std::nullopt;
        }
        if (std::memcmp(type, "IEND", 4) == 0) return size;
        at += 12 + size_t(length);
    }
    return std::nullopt;
}

// libpng reports errors by longjmp from here.
struct PngSource {
    std::span<const uint8_t> data;
    size_t at = 0;
};

void PngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->data.size() - source->at) png_error(png, "truncated");
    std::memcpy(out, source->data.data() + source->at, length);
    source->at += length;
}

void PngSilentWarning(png_structp, png_const_charp) {}
void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Any PNG to 8-bit BGRA rows of a Format_ARGB32 image, with libpng's own
// limits on picture size, chunk sizes (text and profiles decompress into at
// most this much) and the number of ancillary chunks.
// Kept free of C++ objects with destructors across the longjmp.
bool DecodePngInto(std::span<const uint8_t> data, QImage* out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngSilentWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    PngSource source{data, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(png, 8 << 20);
    png_set_chunk_cache_max(png, 1000);
    png_set_read_fn(png, &source, PngRead);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (!PictureSizeAllowed(int(width), int(height))) png_error(png, "size");
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "layout");
    *out = QImage(int(width), int(height), QImage::Format_ARGB32);
    if (out->isNull()) png_error(png, "memory");
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, out->scanLine(int(y)), nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Rows of a turned JPEG decoded before they are placed.
constexpr int kTurnBand = 16;

// A picture this large has its pages made present on another core while
// libjpeg fills its rows: the kernel's zeroing of fresh pages (a good part of
// a large decode) then runs beside the decoder instead of in its way.
constexpr qsizetype kPageInBytes = qsizetype(8) << 20;

// Only the page tables change: the pages' contents are never written, so the
// decoder may fill the same rows meanwhile. A kernel without the advice
// leaves the faults to the decoder, as before.
void PageIn(uchar* bits, qsizetype bytes, std::optional<std::jthread>& pager) {
    constexpr uintptr_t kPage = 4096;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(bits) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(bits) + uintptr_t(bytes)) & ~(kPage - 1);
    if (bytes < kPageInBytes || end <= first) return;
    try {
        pager.emplace([first, end] { madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE); });
    } catch (const std::system_error&) {
        // no thread to spare: the decoder takes the faults itself
    }
}

// Kept free of C++ objects with destructors: longjmp crosses it.
// `longestSide` > 0 lets libjpeg scale by 1/2, 1/4 or 1/8 in its DCT while
// the longer side stays at least that long. `pager` belongs to the caller,
// who keeps `out` until it has joined. A turn other than AsGiven decodes a
// band of rows at a time into `band` (the caller's) and places them turned,
// so the turned photo costs no second copy.
bool DecodeJpegInto(const uint8_t* data, size_t size, QImage* out, int longestSide, PictureCheck check,
                    std::optional<std::jthread>& pager, Orientation turn = Orientation::AsGiven,
                    QImage* band = nullptr) {
    jpeg_decompress_struct info;
    JpegErrorManager error;
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = JpegErrorExit;
    error.base.output_message = JpegSilentMessage;
    error.base.emit_message = JpegEmitMessage;
    error.strict = check == PictureCheck::Strict;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kJpegWorkingMemory;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxPictureSide ||
        info.image_height > kMaxPictureSide ||
        int64_t(info.image_width) * info.image_height > kMaxPicturePixels ||
        int64_t(info.image_width) * info.image_height > int64_t(size) * 1024 + (4 << 20)) {
        // No real JPEG packs more than about a hundred pixels into a byte, so a
        // header promising far more is a lie that would only cost memory.
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRX;
    if (longestSide > 0) {
        const unsigned longer = info.image_width > info.image_height ? info.image_width : info.image_height;
        info.scale_num = 1;
        info.scale_denom = 1;
        for (unsigned denom = 8; denom > 1; denom /= 2)
            if ((longer + denom - 1) / denom >= unsigned(longestSide)) {
                info.scale_denom = denom;
                break;
            }
    }
    jpeg_start_decompress(&info);
    const QSize stored(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    *out = QImage(SwapsSides(turn) ? stored.transposed() : stored, QImage::Format_RGB32);
    if (turn != Orientation::AsGiven) *band = QImage(stored.width(), kTurnBand, QImage::Format_RGB32);
    if (out->isNull() || (turn != Orientation::AsGiven && band->isNull())) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    PageIn(out->bits(), out->sizeInBytes(), pager);
    if (turn == Orientation::AsGiven) {
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = out->scanLine(static_cast<int>(info.output_scanline));
            jpeg_read_scanlines(&info, &row, 1);
        }
    } else {
        while (info.output_scanline < info.output_height) {
            const int first = static_cast<int>(info.output_scanline);
            int rows = 0;
            while (rows < kTurnBand && info.output_scanline < info.output_height) {
                JSAMPROW row = band->scanLine(rows);
                rows += static_cast<int>(jpeg_read_scanlines(&info, &row, 1));
            }
            PlaceTurnedRows(*band, first, rows, stored, turn, *out);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// `stream`, when given, receives the file instead of a memory buffer.
bool EncodeJpegInto(const QImage& image, int quality, unsigned char** buffer, unsigned long* size,
                    jpeg_destination_mgr* stream = nullptr) {
    jpeg_compress_struct info;
    JpegErrorManager error;
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = JpegErrorExit;
    error.base.output_message = JpegSilentMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    if (stream != nullptr)
        info.dest = stream;
    else
        jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// Hands the encoder's output to a sink a chunk at a time.
struct JpegStreamDestination {
    static constexpr size_t kChunk = 256 * 1024;
    jpeg_destination_mgr base{};
    const JpegSink* sink = nullptr;
    bool failed = false;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kChunk);

    void Hand(size_t bytes) {
        if (!failed && bytes > 0) failed = !(*sink)(std::span<const uint8_t>(buffer.data(), bytes));
        base.next_output_byte = buffer.data();
        base.free_in_buffer = buffer.size();
    }
    static JpegStreamDestination& Of(j_compress_ptr info) {
        return *reinterpret_cast<JpegStreamDestination*>(info->dest);
    }
    static void Init(j_compress_ptr info) { Of(info).Hand(0); }
    static boolean Empty(j_compress_ptr info) {
        Of(info).Hand(kChunk);
        return TRUE;
    }
    static void Term(j_compress_ptr info) {
        JpegStreamDestination& d = Of(info);
        d.Hand(d.buffer.size() - d.base.free_in_buffer);
    }
};

QImage DecodeWithQt(std::span<const uint8_t> data, const char* format) {
    QImage image;
    if (data.empty() || data.size() > size_t(INT32_MAX)) return {};
    if (!image.loadFromData(data.data(), static_cast<int>(data.size()), format)) return {};
    if (!PictureSizeAllowed(image.width(), image.height())) return {};
    return image;
}

}  // namespace

bool EncodeJpeg(const QImage& image, int quality, const JpegSink& sink) {
    if (image.isNull()) return false;
    const QImage rows =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    JpegStreamDestination destination;
    destination.sink = &sink;
    destination.base.init_destination = &JpegStreamDestination::Init;
    destination.base.empty_output_buffer = &JpegStreamDestination::Empty;
    destination.base.term_destination = &JpegStreamDestination::Term;
    static_assert(offsetof(JpegStreamDestination, base) == 0);
    const bool encoded = EncodeJpegInto(rows, quality, nullptr, nullptr, &destination.base);
    return encoded && !destination.failed;
}

QImage DecodeJpeg(std::span<const uint8_t> data, PictureCheck check) {
    if (!JpegHeaderSize(data)) return {};
    QImage image;
    std::optional<std::jthread> pager;  // joined before the image can go
    if (!DecodeJpegInto(data.data(), data.size(), &image, 0, check, pager)) return {};
    return image;
}

QImage DecodeJpegForSize(std::span<const uint8_t> data, int longestSide, PictureCheck check) {
    if (!JpegHeaderSize(data) || longestSide < 1) return {};
    QImage image;
    std::optional<std::jthread> pager;
    if (!DecodeJpegInto(data.data(), data.size(), &image, longestSide, check, pager)) return {};
    return image;
}

std::optional<Bytes> EncodeJpeg(const QImage& image, int quality) {
    if (image.isNull()) return std::nullopt;
    const QImage rgb =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = EncodeJpegInto(rgb, quality, &buffer, &size);
    std::optional<Bytes> result;
    if (ok && buffer) result.emplace(buffer, buffer + size);
    std::free(buffer);
    return result;
}

QImage DecodePng(std::span<const uint8_t> data) {
    QImage image;
    if (!PngHeaderSize(data) || !DecodePngInto(data, &image)) return {};
    return image;
}

std::optional<Bytes> EncodePng(const QImage& image) {
    if (image.isNull()) return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::nullopt;
    return Bytes(bytes.begin(), bytes.end());
}

namespace {

// Qt reads a short BMP with its missing rows blank: the file must hold all
// the rows its header promises (the encoded size of a compressed one).
bool BmpHoldsItsRows(std::span<const uint8_t> data) {
    if (data.size() < 26) return false;
    const uint8_t* p = data.data();
    const uint64_t offset = ReadU32(p + 10), header = ReadU32(p + 14);
    uint64_t width = 0, height = 0, bits = 0, compression = 0, encoded = 0;
    if (header == 12) {  // the old core header
        width = ReadU16(p + 18), height = ReadU16(p + 20), bits = ReadU16(p + 24);
    } else {
        if (data.size() < 38) return false;
        width = ReadU32(p + 18);
        height = uint64_t(std::abs(int64_t(ReadI32(p + 22))));
        bits = ReadU16(p + 28), compression = ReadU32(p + 30), encoded = ReadU32(p + 34);
    }
    if (width > uint64_t(kMaxPictureSide) || height > uint64_t(kMaxPictureSide)) return false;
    const uint64_t rows = compression == 0 || compression == 3 ? (width * bits + 31) / 32 * 4 * height : encoded;
    return offset + rows <= data.size();
}

}  // namespace

QImage DecodeBmp(std::span<const uint8_t> data, PictureCheck check) {
    if (check == PictureCheck::Strict && !BmpHoldsItsRows(data)) return {};
    QImage image = DecodeWithQt(data, "BMP");
    if (image.isNull()) return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

PictureKind SniffPicture(std::span<const uint8_t> data) {
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8) return PictureKind::Jpeg;
    if (data.size() >= 8 && std::memcmp(data.data(), "\x89PNG", 4) == 0) return PictureKind::Png;
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') return PictureKind::Bmp;
    return PictureKind::Unknown;
}

std::optional<QSize> PictureFileSize(std::span<const uint8_t> data) {
    const PictureKind kind = SniffPicture(data);
    if (kind == PictureKind::Jpeg) return JpegHeaderSize(data);
    if (kind == PictureKind::Png) return PngHeaderSize(data);
    if (kind == PictureKind::Bmp && data.size() >= 26) {
        int32_t width = 0, height = 0;
        std::memcpy(&width, data.data() + 18, 4);  // little-endian, as BMP files are
        std::memcpy(&height, data.data() + 22, 4);
        return Allowed(std::abs(int64_t(width)), std::abs(int64_t(height)));
    }
    return std::nullopt;
}

std::optional<QSize> StatedPictureSize(std::span<const uint8_t> data) {
    switch (SniffPicture(data)) {
        case PictureKind::Jpeg: return JpegHeaderSize(data, true);
        case PictureKind::Png: return PngHeaderSize(data, true);
        case PictureKind::Bmp: return PictureFileSize(data);
        case PictureKind::Unknown: break;
    }
    return std::nullopt;
}

QImage DecodeUprightPhoto(std::span<const uint8_t> data, PictureCheck check) {
    if (LooksLikeHeif(data)) return DecodeHeif(data);
    const Orientation turn = RecordedOrientation(data);
    if (turn == Orientation::AsGiven) return DecodePicture(data, check);
    if (SniffPicture(data) != PictureKind::Jpeg) return TurnedUpright(DecodePicture(data, check), turn);
    if (!JpegHeaderSize(data)) return {};
    QImage image, band;
    std::optional<std::jthread> pager;
    if (!DecodeJpegInto(data.data(), data.size(), &image, 0, check, pager, turn, &band)) return {};
    if (pager) pager->join();
    image.setText(kOrientationText, QString::number(int(turn)));
    return image;
}

QImage DecodePicture(std::span<const uint8_t> data, PictureCheck check) {
    switch (SniffPicture(data)) {
        case PictureKind::Jpeg: return DecodeJpeg(data, check);
        case PictureKind::Png: return DecodePng(data);
        case PictureKind::Bmp: return DecodeBmp(data, check);
        case PictureKind::Unknown: break;
    }
    return {};
}

}  // namespace v2d
