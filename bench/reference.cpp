#include "reference.h"

#include <gif_lib.h>
#include <png.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace miaohui::bench {

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void jpeg_fail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }

}  // namespace

std::size_t libjpeg_decode(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& rgba) {
  jpeg_decompress_struct cinfo{};
  JpegError err{};
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpeg_fail;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return 0;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&cinfo);
  const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * 4;
  rgba.resize(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rgba.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  const std::size_t pixels = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_height;
  jpeg_destroy_decompress(&cinfo);
  return pixels;
}

std::size_t libpng_decode(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return 0;
  image.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return 0;
  }
  return static_cast<std::size_t>(image.width) * image.height;
}

std::size_t stb_decode(std::span<const std::uint8_t> bytes, int components) {
  int w = 0, h = 0, n = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, components);
  if (pixels == nullptr) return 0;
  stbi_image_free(pixels);
  return static_cast<std::size_t>(w) * h;
}

std::size_t stb_decode_gif(std::span<const std::uint8_t> bytes) {
  int* delays = nullptr;
  int w = 0, h = 0, frames = 0, n = 0;
  stbi_uc* pixels = stbi_load_gif_from_memory(bytes.data(), static_cast<int>(bytes.size()), &delays, &w, &h,
                                              &frames, &n, 4);
  if (pixels == nullptr) return 0;
  stbi_image_free(pixels);
  stbi_image_free(delays);
  return static_cast<std::size_t>(w) * h * frames;
}

namespace {

struct GifSource {
  std::span<const std::uint8_t> bytes;
  std::size_t pos = 0;
};

int gif_read(GifFileType* gif, GifByteType* out, int len) {
  auto* src = static_cast<GifSource*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(len), src->bytes.size() - src->pos);
  std::memcpy(out, src->bytes.data() + src->pos, n);
  src->pos += n;
  return static_cast<int>(n);
}

}  // namespace

std::size_t giflib_decode(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& screen) {
  GifSource src{bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&src, gif_read, &error);
  if (gif == nullptr) return 0;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return 0;
  }
  const int sw = gif->SWidth, sh = gif->SHeight;
  screen.assign(static_cast<std::size_t>(sw) * sh * 4, 0);
  std::vector<std::uint8_t> saved;
  std::size_t pixels = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& frame = gif->SavedImages[i];
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    if (map == nullptr) continue;
    const int fl = frame.ImageDesc.Left, ft = frame.ImageDesc.Top;
    const int fw = frame.ImageDesc.Width, fh = frame.ImageDesc.Height;
    if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = screen;
    for (int y = 0; y < fh; ++y) {
      const int sy = ft + y;
      if (sy < 0 || sy >= sh) continue;
      for (int x = 0; x < fw; ++x) {
        const int sx = fl + x;
        if (sx < 0 || sx >= sw) continue;
        const int index = frame.RasterBits[static_cast<std::size_t>(y) * fw + x];
        if (index == gcb.TransparentColor || index >= map->ColorCount) continue;
        std::uint8_t* p = &screen[(static_cast<std::size_t>(sy) * sw + sx) * 4];
        p[0] = map->Colors[index].Red;
        p[1] = map->Colors[index].Green;
        p[2] = map->Colors[index].Blue;
        p[3] = 255;
      }
    }
    pixels += static_cast<std::size_t>(sw) * sh;
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = std::max(ft, 0); y < std::min(ft + fh, sh); ++y)
        std::memset(&screen[(static_cast<std::size_t>(y) * sw + std::max(fl, 0)) * 4], 0,
                    static_cast<std::size_t>(std::max(0, std::min(fl + fw, sw) - std::max(fl, 0))) * 4);
    } else if (gcb.DisposalMode == DISPOSE_PREVIOUS && !saved.empty()) {
      screen.swap(saved);
    }
  }
  DGifCloseFile(gif, &error);
  return pixels;
}

}  // namespace miaohui::bench
