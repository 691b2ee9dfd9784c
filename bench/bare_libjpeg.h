#pragma once
// libjpeg on its own, as a bare pipeline would call it: the yardstick that
// the program's own decode and encode are measured against.
#include <cstdio>
#include <jpeglib.h>

#include <opencv2/core.hpp>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace v2d::bench {

// RGB rows into `pixels`, reusing its memory when the size is the same.
inline void BareJpegDecode(std::span<const uint8_t> jpeg, cv::Mat& pixels) {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    pixels.create(static_cast<int>(info.output_height), static_cast<int>(info.output_width), CV_8UC3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.ptr(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

// RGB rows at `quality` into memory.
inline std::vector<uint8_t> BareJpegEncode(const cv::Mat& pixels, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(pixels.cols);
    info.image_height = static_cast<JDIMENSION>(pixels.rows);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(pixels.ptr(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace v2d::bench
