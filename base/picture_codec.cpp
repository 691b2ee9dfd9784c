#include "base/picture_codec.h"

#include <QBuffer>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace v2d {
namespace {

// libjpeg's default error handler ends the process; this one jumps back.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void JpegSilentMessage(j_common_ptr) {}

// Kept free of C++ objects with destructors: longjmp crosses it.
// `longestSide` > 0 lets libjpeg scale by 1/2, 1/4 or 1/8 in its DCT while
// the longer side stays at least that long.
bool DecodeJpegInto(const uint8_t* data, size_t size, QImage* out, int longestSide) {
    jpeg_decompress_struct info;
    JpegErrorManager error;
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = JpegErrorExit;
    error.base.output_message = JpegSilentMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
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
    *out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                  QImage::Format_RGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
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
    if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) return {};
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

QImage DecodeJpeg(std::span<const uint8_t> data) {
    if (data.size() < 4) return {};
    QImage image;
    if (!DecodeJpegInto(data.data(), data.size(), &image, 0)) return {};
    return image;
}

QImage DecodeJpegForSize(std::span<const uint8_t> data, int longestSide) {
    if (data.size() < 4 || longestSide < 1) return {};
    QImage image;
    if (!DecodeJpegInto(data.data(), data.size(), &image, longestSide)) return {};
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
    QImage image = DecodeWithQt(data, "PNG");
    if (image.isNull()) return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::optional<Bytes> EncodePng(const QImage& image) {
    if (image.isNull()) return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::nullopt;
    return Bytes(bytes.begin(), bytes.end());
}

QImage DecodeBmp(std::span<const uint8_t> data) {
    QImage image = DecodeWithQt(data, "BMP");
    if (image.isNull()) return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage DecodePicture(std::span<const uint8_t> data) {
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8) return DecodeJpeg(data);
    if (data.size() >= 8 && std::memcmp(data.data(), "\x89PNG", 4) == 0) return DecodePng(data);
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data);
    return {};
}

}  // namespace v2d
