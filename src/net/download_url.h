#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace miaohui {

// Longest parts of a URL that a download accepts, in characters, as written in the URL
// (percent-escapes count as three).
inline constexpr std::size_t max_host_chars = 255;
inline constexpr std::size_t max_object_chars = 2047;  // path with query (and fragment)
inline constexpr std::size_t max_credential_chars = 127;  // user name, password

// The URL to request for url: url cut before its first "#", when url is an http or https
// URL that parses and whose parts fit the limits above; nothing otherwise. The object is
// measured as the URL writes it, fragment included, before the cut. Needs the HTTP client
// open (it parses with libcurl).
std::optional<std::string> download_target_url(std::string_view url);

}  // namespace miaohui
