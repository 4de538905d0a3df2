#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace miaohui {

enum class PictureFormat { unknown, bmp, jpeg, png, ico, cur, gif, pcx8, pcx1 };

// Recognises a format by the first eight bytes; fewer than eight bytes are unknown.
PictureFormat detect_format(std::span<const std::uint8_t> bytes);

// "JPEG", "PNG", "BMP", "GIF", "ICO", "CUR", "PCX"; "unknown" for unknown.
std::string_view format_name(PictureFormat format);

// A decoded still picture: 8-bit RGBA, straight alpha, rows top to bottom, 4 * width bytes a row.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  bool has_alpha = false;  // true when some pixel may be less than opaque

  bool empty() const { return rgba.empty(); }
};

// Largest decoded picture: each side at most 16384, at most 2^25 pixels.
inline constexpr int max_picture_side = 16384;
inline constexpr std::int64_t max_picture_pixels = std::int64_t{1} << 25;

// Each decoder: bytes in, picture out; an empty Image when the bytes do not decode.
Image decode_jpeg(std::span<const std::uint8_t> bytes);
Image decode_png(std::span<const std::uint8_t> bytes);
Image decode_bmp(std::span<const std::uint8_t> bytes);
Image decode_gif_still(std::span<const std::uint8_t> bytes);  // the first frame on the logical screen
Image decode_ico(std::span<const std::uint8_t> bytes);        // ICO and CUR alike
Image decode_pcx(std::span<const std::uint8_t> bytes);        // 8-bit and 1-bit

// Plays an animated GIF frame by frame. No threads: the caller steps it.
class GifPlayback {
 public:
  // A playback for a GIF of two or more frames; nullptr for anything else.
  static std::unique_ptr<GifPlayback> open(std::span<const std::uint8_t> bytes);
  virtual ~GifPlayback() = default;

  virtual int width() const = 0;   // logical screen
  virtual int height() const = 0;
  virtual int frame_count() const = 0;

  // Composes the next frame (after the last, the first again) and returns its delay in ms.
  virtual int step() = 0;

  // The composed picture (RGBA, logical-screen size); transparent where nothing was drawn.
  virtual const Image& composed() const = 0;
};

// What a picture box keeps of its bytes after decoding them once.
struct DecodedPicture {
  PictureFormat format = PictureFormat::unknown;
  Image still;                            // every picture but an animated GIF
  std::unique_ptr<GifPlayback> playback;  // an animated GIF with animate on

  bool empty() const { return still.empty() && !playback; }
};

// Detects the format and runs its decoder. With animate on, a GIF of several frames yields a
// playback instead of a still picture. `format` is the detected one even when the decoder
// refused the bytes (then empty() is true).
DecodedPicture decode_picture(std::span<const std::uint8_t> bytes, bool animate);

}  // namespace miaohui
