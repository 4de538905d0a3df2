#pragma once

// Lists the images of a well-formed GIF with their own control blocks: what the suite
// tests need to line their reference frames up with playback steps.

#include <cstdint>
#include <vector>

#include "common/bytes.h"

namespace miaohui::test {

struct WalkedImage {
  bool has_control = false;  // a control block of its own
  int delay = 0;             // hundredths, from that block
};

// Stops at the trailer, the end of the bytes, or the first byte that is no block.
inline std::vector<WalkedImage> walk_gif_images(const Bytes& b) {
  std::vector<WalkedImage> images;
  if (b.size() < 13) return images;
  std::size_t p = 13;
  if (b[10] & 0x80) p += 3 * (std::size_t{2} << (b[10] & 7));
  const auto skip_chain = [&] {
    while (p < b.size() && b[p] != 0) p += b[p] + std::size_t{1};
    ++p;
  };
  WalkedImage pending;
  while (p < b.size()) {
    if (b[p] == 0x21 && p + 1 < b.size()) {
      if (b[p + 1] == 0xF9 && p + 6 < b.size()) {
        pending.has_control = true;
        pending.delay = b[p + 4] | b[p + 5] << 8;
      }
      p += 2;
      skip_chain();
    } else if (b[p] == 0x2C && p + 9 < b.size()) {
      const std::uint8_t flags = b[p + 9];
      p += 10;
      if (flags & 0x80) p += 3 * (std::size_t{2} << (flags & 7));
      ++p;  // minimum code size
      skip_chain();
      images.push_back(pending);
      pending = {};
    } else {
      break;
    }
  }
  return images;
}

}  // namespace miaohui::test
