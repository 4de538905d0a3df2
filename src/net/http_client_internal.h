#pragma once

namespace miaohui {

// The process-wide HTTP client behind http_download, opened by the first download that
// needs it. Internal to src/net and its tests.

// Opens the client unless it is open already; false when libcurl cannot be initialised,
// in which case the next download tries again.
bool http_client_open();

// Whether the client is open now, and how many times it has been opened in this process.
bool http_client_is_open();
int http_client_open_count();

}  // namespace miaohui
