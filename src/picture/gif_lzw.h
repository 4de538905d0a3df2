#pragma once

// GIF's variable-width LZW, decoded to colour indices.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace miaohui::detail {

// Minimum code sizes that leave room for 12-bit codes: 1 to 11.
constexpr bool lzw_code_size_ok(int min_code_size) {
  return min_code_size >= 1 && min_code_size <= 11;
}

// Reusable decoder: its buffers grow to the largest frame seen and are kept for the next.
class LzwDecoder {
 public:
  // Decodes the sub-block chain starting at `data` into at most `pixel_count` indices.
  // Data that ends early (or an end code) leaves fewer; the count decoded is returned.
  // nullopt when the data is damaged: a minimum code size outside 1..11, a code beyond the
  // table, or a colour index that is neither below `colours` nor the `transparent` index.
  std::optional<std::size_t> decode(std::span<const std::uint8_t> bytes, std::size_t data,
                                    int min_code_size, std::size_t pixel_count, int colours,
                                    int transparent);

  // The indices of the last decode, one frame row after another in stored order.
  const std::uint8_t* indices() const;

 private:
  void gather(std::span<const std::uint8_t> bytes, std::size_t data);

  std::vector<std::uint8_t> codes_;  // the sub-blocks' payload, joined, with zero padding
  std::vector<std::uint8_t> out_;
  // Every string in the table is a stretch of the output already written: where and how long.
  std::array<std::uint32_t, 4096> offset_;
  std::array<std::uint16_t, 4096> length_;
};

}  // namespace miaohui::detail
