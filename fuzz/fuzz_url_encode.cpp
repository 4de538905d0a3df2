// Any name through the encoder and the URL builder: only the allowed characters come out,
// every escape is "%" and two upper-case hex digits, and decoding gives the name back.
#include <cstdlib>
#include <string>

#include "request/request_url.h"
#include "request/url_encode.h"

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool plain(char c) {
  return c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const std::string encoded = miaohui::url_encode(name);
  std::string decoded;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    if (plain(c)) {
      decoded.push_back(c);
    } else if (c == '%' && i + 2 < encoded.size() && hex_value(encoded[i + 1]) >= 0 &&
               hex_value(encoded[i + 2]) >= 0) {
      const int b = hex_value(encoded[i + 1]) * 16 + hex_value(encoded[i + 2]);
      if (plain(static_cast<char>(b))) std::abort();  // a plain byte must not be escaped
      decoded.push_back(static_cast<char>(b));
      i += 2;
    } else {
      std::abort();
    }
  }
  if (decoded != name) std::abort();
  for (const auto& kind : miaohui::picture_kinds()) {
    const std::string url = miaohui::build_request_url(kind, name, static_cast<int>(size % 8) - 1);
    if (url.find(encoded) == std::string::npos || url.find('#') != std::string::npos) std::abort();
  }
  return 0;
}
