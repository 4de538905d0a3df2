#include <curl/curl.h>

#include <mutex>

#include "net/http_client_internal.h"
#include "net/http_download.h"

namespace miaohui {
namespace {

// Downloads run one at a time, but not always on the same thread, so the state is locked.
struct ClientState {
  std::mutex lock;
  bool open = false;
  int open_count = 0;
};

ClientState& client_state() {
  static ClientState state;
  return state;
}

}  // namespace

bool http_client_open() {
  ClientState& state = client_state();
  std::scoped_lock guard(state.lock);
  if (state.open) return true;
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return false;
  state.open = true;
  ++state.open_count;
  return true;
}

void http_client_close() {
  ClientState& state = client_state();
  std::scoped_lock guard(state.lock);
  if (!state.open) return;
  curl_global_cleanup();
  state.open = false;
}

bool http_client_is_open() {
  ClientState& state = client_state();
  std::scoped_lock guard(state.lock);
  return state.open;
}

int http_client_open_count() {
  ClientState& state = client_state();
  std::scoped_lock guard(state.lock);
  return state.open_count;
}

}  // namespace miaohui
