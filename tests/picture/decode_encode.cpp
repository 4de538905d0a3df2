#include "picture/decode_encode.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <memory>

namespace miaohui::test {

Bytes encode_png(int width, int height, const std::vector<Rgba>& pixels, bool alpha) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(width);
  png.height = static_cast<png_uint_32>(height);
  png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<std::uint8_t> samples;
  for (const Rgba& p : pixels) {
    samples.insert(samples.end(), {p.r, p.g, p.b});
    if (alpha) samples.push_back(p.a);
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, samples.data(), 0, nullptr)) return {};
  Bytes out(size);
  if (!png_image_write_to_memory(&png, out.data(), &size, 0, samples.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

namespace {

void append_output(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

}  // namespace

Bytes encode_png16(int width, int height, const std::vector<std::uint16_t>& samples,
                   bool interlaced) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  // No error jump is set: a failure to write a test picture aborts the test run.
  png_set_write_fn(png, &out, append_output, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 16,
               PNG_COLOR_TYPE_RGB_ALPHA,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // Big-endian samples, as PNG stores them.
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t v : samples) bytes.insert(bytes.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
  std::vector<png_bytep> rows;
  for (int y = 0; y < height; ++y) rows.push_back(bytes.data() + static_cast<std::size_t>(y) * width * 8);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes with_png_size(const Bytes& png, std::uint32_t width, std::uint32_t height) {
  // Signature (8), IHDR length (4) and type (4), then width and height, big-endian.
  Bytes out = png;
  for (int i = 0; i < 4; ++i) {
    out[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    out[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, out.data() + 12, 17);  // type and the 13 data bytes
  for (int i = 0; i < 4; ++i) out[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  return out;
}

Bytes encode_jpeg(int width, int height, JpegKind kind, const std::vector<std::uint8_t>& samples,
                  const JpegOptions& options) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  switch (kind) {
    case JpegKind::rgb: cinfo.input_components = 3; cinfo.in_color_space = JCS_RGB; break;
    case JpegKind::grey: cinfo.input_components = 1; cinfo.in_color_space = JCS_GRAYSCALE; break;
    case JpegKind::cmyk:
    case JpegKind::ycck: cinfo.input_components = 4; cinfo.in_color_space = JCS_CMYK; break;
  }
  jpeg_set_defaults(&cinfo);
  if (kind == JpegKind::ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  if (kind == JpegKind::cmyk || kind == JpegKind::ycck) cinfo.write_Adobe_marker = options.adobe_marker;
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * cinfo.input_components;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  const std::unique_ptr<unsigned char, decltype(&std::free)> owned(buffer, &std::free);
  return Bytes(owned.get(), owned.get() + size);
}

}  // namespace miaohui::test
