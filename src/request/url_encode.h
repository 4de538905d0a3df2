#pragma once

#include <string>
#include <string_view>

namespace miaohui {

// Percent-encodes the UTF-8 bytes of a name for a request URL. Only "-", ".", digits and
// ASCII letters pass unchanged; every other byte becomes "%" and two upper-case hex digits
// (a space is "%20", never "+"). An empty name gives an empty result.
std::string url_encode(std::string_view name);

}  // namespace miaohui
