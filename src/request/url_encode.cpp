#include "request/url_encode.h"

namespace miaohui {

namespace {

constexpr bool passes_unchanged(unsigned char b) {
  return (b >= 0x2D && b <= 0x39 && b != 0x2F) || (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A);
}

}  // namespace

std::string url_encode(std::string_view name) {
  static constexpr char hex_digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size() * 3);
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (passes_unchanged(b)) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(hex_digits[b >> 4]);
      out.push_back(hex_digits[b & 0x0F]);
    }
  }
  return out;
}

}  // namespace miaohui
