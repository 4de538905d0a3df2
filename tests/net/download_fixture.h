#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/bytes.h"
#include "net/http_download.h"
#include "net/test_server.h"

namespace miaohui::test {

// Downloads from the loopback server go direct, whatever proxy the machine names.
class DownloadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("no_proxy", "*", 1);
    ::setenv("NO_PROXY", "*", 1);
  }
};

inline std::string text_of(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A body of n bytes that runs through every byte value, so that a lost or moved byte shows.
inline std::string pattern(std::size_t n) {
  std::string body(n, '\0');
  for (std::size_t i = 0; i < n; ++i) body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return body;
}

}  // namespace miaohui::test
