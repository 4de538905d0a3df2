#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

#include "common/bytes.h"

namespace miaohui {

// Bounds of one download. The program always uses the defaults; tests shorten them.
struct DownloadLimits {
  std::chrono::seconds connect_timeout{60};
  std::chrono::seconds stall_time{60};       // a body slower than stall_bytes per second this long is cut off
  long stall_bytes_per_second = 1;
  std::size_t max_body_bytes = std::size_t{64} << 20;  // larger bodies give empty Bytes
  long max_redirects = 10;
};

// One HTTP/1.0 GET of url, redirects followed; the body of the final response (any
// status), the bytes so far when the connection drops or stalls within the body, empty
// Bytes on any other failure. Only http and https URLs with a host under 256 characters
// and a path with query under 2048 are fetched. Blocking; use from one thread at a time.
Bytes http_download(std::string_view url, const DownloadLimits& limits = {});

// Closes the process-wide HTTP client, if open. Called once at the end of the program.
void http_client_close();

}  // namespace miaohui
