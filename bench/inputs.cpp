#include "inputs.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

namespace miaohui::bench {

namespace {

void put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// 6x6x6 colour cube plus greys: the palette of the 8-bit pictures.
std::vector<std::uint8_t> cube_palette() {
  std::vector<std::uint8_t> pal(256 * 3);
  for (int i = 0; i < 216; ++i) {
    pal[i * 3 + 0] = static_cast<std::uint8_t>((i / 36) * 51);
    pal[i * 3 + 1] = static_cast<std::uint8_t>((i / 6 % 6) * 51);
    pal[i * 3 + 2] = static_cast<std::uint8_t>((i % 6) * 51);
  }
  for (int i = 216; i < 256; ++i) {
    const auto g = static_cast<std::uint8_t>((i - 216) * 255 / 39);
    pal[i * 3 + 0] = pal[i * 3 + 1] = pal[i * 3 + 2] = g;
  }
  return pal;
}

std::uint8_t cube_index(const std::uint8_t* rgb) {
  return static_cast<std::uint8_t>((rgb[0] / 51) * 36 + (rgb[1] / 51) * 6 + rgb[2] / 51);
}

std::vector<std::uint8_t> indexed(int width, int height, int seed) {
  const auto rgb = scene_rgb(width, height, seed);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = cube_index(&rgb[i * 3]);
  return out;
}

}  // namespace

std::vector<std::uint8_t> scene_rgb(int width, int height, int seed) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  std::uint32_t noise = 2463534242u * static_cast<std::uint32_t>(seed);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int n = static_cast<int>(noise & 15) - 8;
      const int dx = x - width / 2 - seed * 7, dy = y - height / 2;
      const bool disc = dx * dx + dy * dy < (height / 3) * (height / 3);
      const bool band = ((x + y + seed * 11) / 40) % 2 == 0;
      auto* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      const int r = disc ? 220 : x * 255 / width;
      const int g = disc ? 60 + y * 100 / height : (band ? 180 : 90);
      const int b = disc ? 40 : y * 255 / height;
      p[0] = static_cast<std::uint8_t>(std::clamp(r + n, 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(g + n, 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(b + n, 0, 255));
    }
  }
  return rgb;
}

Bytes make_jpeg(int width, int height, int quality) {
  auto rgb = scene_rgb(width, height);
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* mem = nullptr;
  unsigned long mem_size = 0;
  jpeg_mem_dest(&cinfo, &mem, &mem_size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = &rgb[static_cast<std::size_t>(cinfo.next_scanline) * width * 3];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes out(mem, mem + mem_size);
  jpeg_destroy_compress(&cinfo);
  std::free(mem);
  return out;
}

Bytes make_png_rgba(int width, int height) {
  const auto rgb = scene_rgb(width, height);
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
  for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
    std::memcpy(&rgba[i * 4], &rgb[i * 3], 3);
    rgba[i * 4 + 3] = static_cast<std::uint8_t>(255 - (i % static_cast<std::size_t>(width)) * 255 / width / 2);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) throw std::runtime_error("png");
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) throw std::runtime_error("png");
  out.resize(size);
  return out;
}

Bytes make_bmp(int width, int height, int bits_per_pixel) {
  const int palette_entries = bits_per_pixel == 8 ? 256 : 0;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits_per_pixel / 8 + 3) & ~std::size_t{3};
  const std::uint32_t offset = 14 + 40 + palette_entries * 4;
  Bytes out;
  out.reserve(offset + stride * height);
  out.push_back('B');
  out.push_back('M');
  put32(out, static_cast<std::uint32_t>(offset + stride * height));
  put32(out, 0);
  put32(out, offset);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(height));
  put16(out, 1);
  put16(out, static_cast<unsigned>(bits_per_pixel));
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(stride * height));
  put32(out, 2835);
  put32(out, 2835);
  put32(out, static_cast<std::uint32_t>(palette_entries));
  put32(out, 0);
  if (bits_per_pixel == 8) {
    const auto pal = cube_palette();
    for (int i = 0; i < 256; ++i) {
      out.push_back(pal[i * 3 + 2]);
      out.push_back(pal[i * 3 + 1]);
      out.push_back(pal[i * 3 + 0]);
      out.push_back(0);
    }
    const auto idx = indexed(width, height, 1);
    for (int y = height - 1; y >= 0; --y) {
      out.insert(out.end(), &idx[static_cast<std::size_t>(y) * width], &idx[static_cast<std::size_t>(y) * width] + width);
      out.resize(out.size() + (stride - width), 0);
    }
  } else {
    const auto rgb = scene_rgb(width, height);
    for (int y = height - 1; y >= 0; --y) {
      for (int x = 0; x < width; ++x) {
        const auto* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        out.push_back(p[2]);
        out.push_back(p[1]);
        out.push_back(p[0]);
      }
      out.resize(out.size() + (stride - static_cast<std::size_t>(width) * 3), 0);
    }
  }
  return out;
}

Bytes make_pcx8(int width, int height) {
  const int bytes_per_line = width + (width & 1);
  Bytes out(128, 0);
  out[0] = 0x0A;
  out[1] = 5;
  out[2] = 1;
  out[3] = 8;
  out[8] = static_cast<std::uint8_t>((width - 1) & 0xFF);
  out[9] = static_cast<std::uint8_t>((width - 1) >> 8);
  out[10] = static_cast<std::uint8_t>((height - 1) & 0xFF);
  out[11] = static_cast<std::uint8_t>((height - 1) >> 8);
  out[12] = 72;
  out[14] = 72;
  out[65] = 1;
  out[66] = static_cast<std::uint8_t>(bytes_per_line & 0xFF);
  out[67] = static_cast<std::uint8_t>(bytes_per_line >> 8);
  out[68] = 1;
  const auto idx = indexed(width, height, 1);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = &idx[static_cast<std::size_t>(y) * width];
    for (int x = 0; x < bytes_per_line;) {
      const std::uint8_t v = x < width ? row[x] : 0;
      int run = 1;
      while (x + run < bytes_per_line && run < 63 && (x + run < width ? row[x + run] : 0) == v) ++run;
      if (run > 1 || v >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
      out.push_back(v);
      x += run;
    }
  }
  out.push_back(0x0C);
  const auto pal = cube_palette();
  out.insert(out.end(), pal.begin(), pal.end());
  return out;
}

namespace {

int gif_write(GifFileType* gif, const GifByteType* data, int len) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + len);
  return len;
}

}  // namespace

Bytes make_gif(int width, int height, int frames) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, gif_write, &error);
  if (gif == nullptr) throw std::runtime_error("gif");
  const auto pal = cube_palette();
  std::vector<GifColorType> colors(256);
  for (int i = 0; i < 256; ++i) colors[i] = {pal[i * 3], pal[i * 3 + 1], pal[i * 3 + 2]};
  ColorMapObject* map = GifMakeMapObject(256, colors.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  for (int f = 0; f < frames; ++f) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = 5;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const std::size_t len = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext);
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    auto idx = indexed(width, height, f + 1);
    for (int y = 0; y < height; ++y) EGifPutLine(gif, &idx[static_cast<std::size_t>(y) * width], width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

Bytes make_ico32(int size) {
  const std::size_t xor_bytes = static_cast<std::size_t>(size) * size * 4;
  const std::size_t and_stride = ((static_cast<std::size_t>(size) + 31) / 32) * 4;
  const std::size_t entry_bytes = 40 + xor_bytes + and_stride * size;
  Bytes out;
  put16(out, 0);
  put16(out, 1);
  put16(out, 1);
  out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
  out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
  out.push_back(0);
  out.push_back(0);
  put16(out, 1);
  put16(out, 32);
  put32(out, static_cast<std::uint32_t>(entry_bytes));
  put32(out, 22);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(size));
  put32(out, static_cast<std::uint32_t>(size * 2));
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(xor_bytes));
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  const auto rgb = scene_rgb(size, size);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const auto* p = &rgb[(static_cast<std::size_t>(y) * size + x) * 3];
      const int dx = x - size / 2, dy = y - size / 2;
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
      out.push_back(dx * dx + dy * dy < size * size / 4 ? 255 : 0);
    }
  }
  out.resize(out.size() + and_stride * size, 0);
  return out;
}

}  // namespace miaohui::bench
