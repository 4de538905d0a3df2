#pragma once

#include <cstdint>
#include <vector>

namespace miaohui {

// A counted byte buffer: picture bytes, download bodies. Empty stands for absent.
using Bytes = std::vector<std::uint8_t>;

}  // namespace miaohui
