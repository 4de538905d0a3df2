#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/bytes.h"

namespace miaohui::test {

// The public picture suites, read in place; may be absent.
inline std::filesystem::path testdata_dir() { return MIAOHUI_TESTDATA_DIR; }

inline Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes as_bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace miaohui::test
