#include "request/request_url.h"

#include <cstdio>

#include "request/url_encode.h"

namespace miaohui {

std::string option_number(int selected_index) {
  // Formed in double precision and written as "%.13g": plain digits for every index a list holds.
  char digits[32];
  const int n = std::snprintf(digits, sizeof digits, "%.13g", static_cast<double>(selected_index) + 1.0);
  return std::string(digits, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string build_request_url(const PictureKind& kind, std::string_view name, int selected_index) {
  const std::string encoded = url_encode(name);
  const std::string_view host = host_value(kind.host);
  std::string url;
  url.reserve(7 + host.size() + kind.head.size() + 16 + kind.middle.size() + encoded.size() + kind.tail.size());
  url.append("http://").append(host).append(kind.head);
  if (kind.has_option_list()) url.append(option_number(selected_index)).append(kind.middle);
  url.append(encoded).append(kind.tail);
  return url;
}

}  // namespace miaohui
