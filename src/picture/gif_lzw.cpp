#include "picture/gif_lzw.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace miaohui::detail {

namespace {

constexpr int max_code_bits = 12;
constexpr std::size_t max_codes = std::size_t{1} << max_code_bits;
// Room past the last pixel: the string that fills the frame may run over by a whole string,
// and strings are copied eight bytes at a time.
constexpr std::size_t out_slack = max_codes + 16;
constexpr std::size_t read_padding = 8;
// The output begins with every index from 0 to 255 once, then the frame's indices.
constexpr std::size_t literal_area = 256 + 16;

std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Copies n bytes from an earlier stretch that ends at or before dst. Whole words are moved,
// so up to seven bytes past dst + n are overwritten with leftovers; the buffer has room.
void copy_string(std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 8) {
    std::uint64_t v;
    std::memcpy(&v, src + i, 8);
    std::memcpy(dst + i, &v, 8);
  }
}

}  // namespace

const std::uint8_t* LzwDecoder::indices() const { return out_.data() + literal_area; }

void LzwDecoder::gather(std::span<const std::uint8_t> bytes, std::size_t data) {
  codes_.clear();
  while (data < bytes.size()) {
    const std::size_t n = bytes[data++];
    if (n == 0) break;
    const std::size_t take = std::min(n, bytes.size() - data);
    codes_.insert(codes_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(data),
                  bytes.begin() + static_cast<std::ptrdiff_t>(data + take));
    data += take;
  }
  codes_.resize(codes_.size() + read_padding, 0);
}

std::optional<std::size_t> LzwDecoder::decode(std::span<const std::uint8_t> bytes, std::size_t data,
                                              int min_code_size, std::size_t pixel_count,
                                              int colours, int transparent) {
  if (!lzw_code_size_ok(min_code_size)) return std::nullopt;
  gather(bytes, data);
  if (out_.size() < literal_area + pixel_count + out_slack) {
    out_.resize(literal_area + pixel_count + out_slack);
  }

  const std::uint32_t clear = 1u << min_code_size;
  const std::uint32_t end_code = clear + 1;
  std::uint8_t* out = out_.data();
  // Single-index strings are read, like every other, from where they lie in the output: the
  // literal area holds each index once. A length of 0 marks the codes that are no string:
  // clear, end, and indices that name no colour.
  for (std::uint32_t code = 0; code <= end_code; ++code) {
    const bool named = code < clear && code < 256 &&
                       (code < static_cast<std::uint32_t>(colours) ||
                        code == static_cast<std::uint32_t>(transparent));
    offset_[code] = code & 0xFF;
    length_[code] = named ? 1 : 0;
  }
  for (std::uint32_t i = 0; i < 256; ++i) out[i] = static_cast<std::uint8_t>(i);

  const std::uint64_t total_bits = (codes_.size() - read_padding) * 8;
  const std::uint8_t* in = codes_.data();
  const std::size_t end = literal_area + pixel_count;
  int width = min_code_size + 1;
  std::uint32_t next = clear + 2;
  bool have_prev = false;
  std::uint32_t prev_offset = 0;
  std::uint32_t prev_length = 0;
  std::uint64_t bit = 0;
  std::size_t pos = literal_area;

  while (pos < end && bit + static_cast<std::uint64_t>(width) <= total_bits) {
    const std::uint32_t code =
        static_cast<std::uint32_t>(load64(in + (bit >> 3)) >> (bit & 7)) & ((1u << width) - 1);
    bit += static_cast<std::uint64_t>(width);

    std::uint32_t length;
    if (code < next) {
      length = length_[code];
      if (length == 0) {
        if (code == end_code) break;
        if (code != clear) return std::nullopt;  // an index past the colour table
        width = min_code_size + 1;
        next = clear + 2;
        have_prev = false;
        continue;
      }
      copy_string(out + pos, out + offset_[code], length);
    } else if (code == next && have_prev) {
      // The string being defined right now: the previous one and its own first index.
      copy_string(out + pos, out + prev_offset, prev_length);
      out[pos + prev_length] = out[prev_offset];
      length = prev_length + 1;
    } else {
      return std::nullopt;  // beyond the table
    }

    if (have_prev && next < max_codes) {
      // The previous string followed by this one's first index lies right there in the output.
      offset_[next] = prev_offset;
      length_[next] = static_cast<std::uint16_t>(prev_length + 1);
      ++next;
    }
    // Codes widen once the next code to define no longer fits; with a minimum code size of
    // 1 that happens right after the first code.
    if (next >= (1u << width) && width < max_code_bits) ++width;
    have_prev = true;
    prev_offset = static_cast<std::uint32_t>(pos);
    prev_length = length;
    pos += length;
  }
  return std::min(pos, end) - literal_area;
}

}  // namespace miaohui::detail
