#include <new>

#include "picture/decode.h"

namespace miaohui {

namespace {

std::uint16_t word_at(std::span<const std::uint8_t> b, std::size_t i) {
  return static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
}

// One row a format; the first row that matches decides.
struct FormatRule {
  PictureFormat format;
  bool (*matches)(std::span<const std::uint8_t> head);
};

constexpr FormatRule format_rules[] = {
    {PictureFormat::bmp, [](auto b) { return b[0] == 0x42 && b[1] == 0x4D; }},
    {PictureFormat::jpeg, [](auto b) { return b[0] == 0xFF && b[1] == 0xD8; }},
    {PictureFormat::png,
     [](auto b) { return b[0] == 0x89 && b[1] == 0x50 && b[2] == 0x4E && b[3] == 0x47; }},
    {PictureFormat::ico,
     [](auto b) { return word_at(b, 0) == 0 && word_at(b, 2) == 1 && word_at(b, 4) > 0; }},
    {PictureFormat::cur,
     [](auto b) { return word_at(b, 0) == 0 && word_at(b, 2) == 2 && word_at(b, 4) > 0; }},
    {PictureFormat::gif,
     [](auto b) {
       return b[0] == 0x47 && b[1] == 0x49 && b[2] == 0x46 && b[3] == 0x38 &&
              (b[4] == 0x37 || b[4] == 0x39) && b[5] == 0x61;
     }},
    {PictureFormat::pcx8,
     [](auto b) { return b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8; }},
    {PictureFormat::pcx1,
     [](auto b) { return b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1; }},
};

Image decode_still(PictureFormat format, std::span<const std::uint8_t> bytes) {
  switch (format) {
    case PictureFormat::bmp: return decode_bmp(bytes);
    case PictureFormat::jpeg: return decode_jpeg(bytes);
    case PictureFormat::png: return decode_png(bytes);
    case PictureFormat::ico:
    case PictureFormat::cur: return decode_ico(bytes);
    case PictureFormat::gif: return decode_gif_still(bytes);
    case PictureFormat::pcx8:
    case PictureFormat::pcx1: return decode_pcx(bytes);
    case PictureFormat::unknown: break;
  }
  return {};
}

}  // namespace

PictureFormat detect_format(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8) return PictureFormat::unknown;
  const auto head = bytes.first(8);
  for (const FormatRule& rule : format_rules) {
    if (rule.matches(head)) return rule.format;
  }
  return PictureFormat::unknown;
}

std::string_view format_name(PictureFormat format) {
  switch (format) {
    case PictureFormat::bmp: return "BMP";
    case PictureFormat::jpeg: return "JPEG";
    case PictureFormat::png: return "PNG";
    case PictureFormat::ico: return "ICO";
    case PictureFormat::cur: return "CUR";
    case PictureFormat::gif: return "GIF";
    case PictureFormat::pcx8:
    case PictureFormat::pcx1: return "PCX";
    case PictureFormat::unknown: break;
  }
  return "unknown";
}

DecodedPicture decode_picture(std::span<const std::uint8_t> bytes, bool animate) {
  DecodedPicture picture;
  picture.format = detect_format(bytes);
  try {
    if (picture.format == PictureFormat::gif && animate) {
      picture.playback = GifPlayback::open(bytes);
      if (picture.playback) return picture;
    }
    picture.still = decode_still(picture.format, bytes);
  } catch (const std::bad_alloc&) {
    // A picture within the size bound whose memory cannot be had shows nothing.
    picture.still = {};
    picture.playback.reset();
  }
  return picture;
}

}  // namespace miaohui
