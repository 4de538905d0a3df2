#pragma once

// Encoders for test pictures, through libpng's and libjpeg's own writers.

#include <cstdint>
#include <vector>

#include "common/bytes.h"
#include "picture/decode_craft.h"

namespace miaohui::test {

// A PNG of RGBA pixels (top row first); without alpha the pixels' alpha is dropped.
Bytes encode_png(int width, int height, const std::vector<Rgba>& pixels, bool alpha);

// A 16-bit RGBA PNG written by libpng's row writer, Adam7-interlaced when asked.
// `samples` holds four 16-bit values a pixel, top row first.
Bytes encode_png16(int width, int height, const std::vector<std::uint16_t>& samples,
                   bool interlaced);

// The same PNG with other sizes in its header (and a matching header checksum).
Bytes with_png_size(const Bytes& png, std::uint32_t width, std::uint32_t height);

enum class JpegKind { rgb, grey, cmyk, ycck };

struct JpegOptions {
  int quality = 95;
  bool progressive = false;
  bool adobe_marker = true;  // libjpeg writes one for CMYK and YCCK unless told not to
};

// A JPEG of `samples`: 3 (rgb), 1 (grey) or 4 (cmyk, ycck: the ink values as stored) bytes a
// pixel, top row first.
Bytes encode_jpeg(int width, int height, JpegKind kind, const std::vector<std::uint8_t>& samples,
                  const JpegOptions& options = {});

}  // namespace miaohui::test
