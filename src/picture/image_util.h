#pragma once

// Small pieces every decoder shares: the size bound and a reader that never runs past its input.

#include <cstddef>
#include <cstdint>
#include <span>

#include "picture/decode.h"

namespace miaohui::detail {

// True when a w x h picture may be decoded: both sides positive, each at most
// max_picture_side, the product at most max_picture_pixels. Checked in 64 bits.
constexpr bool picture_size_ok(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= max_picture_side && height <= max_picture_side &&
         width * height <= max_picture_pixels;
}

// An Image of w x h, all zero (transparent black); empty when the size is out of bounds.
Image make_image(std::int64_t width, std::int64_t height);

// Reads little-endian values from a byte span. Past the end it answers 0 and marks itself
// failed, so a decoder checks ok() once after a group of reads instead of before each one.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t offset = 0)
      : bytes_(bytes), pos_(offset) {
    if (offset > bytes.size()) failed_ = true;
  }

  std::uint8_t u8() {
    if (pos_ >= bytes_.size()) {
      failed_ = true;
      return 0;
    }
    return bytes_[pos_++];
  }
  std::uint16_t u16() {
    const std::uint16_t lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
  }
  std::uint32_t u32() {
    const std::uint32_t lo = u16();
    return lo | (std::uint32_t{u16()} << 16);
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

  // The next n bytes, or an empty span (and failed) when fewer remain.
  std::span<const std::uint8_t> take(std::size_t n) {
    if (n > remaining()) {
      failed_ = true;
      pos_ = bytes_.size();
      return {};
    }
    auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
  }
  void skip(std::size_t n) { take(n); }

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }
  bool ok() const { return !failed_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace miaohui::detail
