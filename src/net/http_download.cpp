#include "net/http_download.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/download_url.h"
#include "net/http_client_internal.h"

namespace miaohui {
namespace {

constexpr char user_agent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char accept_header[] = "Accept: */*";
constexpr char web_protocols[] = "http,https";

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

enum class SinkState { receiving, too_large, out_of_memory };

// The body of the final response as it arrives: one buffer that only grows.
struct BodySink {
  CURL* easy = nullptr;
  std::size_t max_bytes = 0;
  Bytes body;
  bool reserved = false;
  SinkState state = SinkState::receiving;
};

// libcurl's write callback. Returning less than it was given aborts the transfer.
std::size_t append_to_body(char* data, std::size_t size, std::size_t count, void* user) noexcept {
  BodySink& sink = *static_cast<BodySink*>(user);
  const std::size_t length = size * count;  // size is 1 for body data
  if (length > sink.max_bytes - sink.body.size()) {
    sink.state = SinkState::too_large;
    return 0;
  }
  try {
    if (!sink.reserved) {
      // An announced length within the bound is taken at its word, so the buffer grows once.
      sink.reserved = true;
      curl_off_t announced = -1;
      if (curl_easy_getinfo(sink.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
          announced > 0 && static_cast<std::uint64_t>(announced) <= sink.max_bytes) {
        sink.body.reserve(static_cast<std::size_t>(announced));
      }
    }
    sink.body.insert(sink.body.end(), data, data + length);
  } catch (...) {
    sink.state = SinkState::out_of_memory;
    return 0;
  }
  return length;
}

// Results after which the bytes received so far are the answer. Each is a breakdown that
// can strike once the final response's body has begun: the server closes before the
// announced end or within a chunk (CURLE_PARTIAL_FILE), the connection breaks or the chunked
// framing goes bad (CURLE_RECV_ERROR), the body stalls under the speed floor
// (CURLE_OPERATION_TIMEDOUT). libcurl never hands over the bodies of redirects, so when one
// of these strikes before the body (a connect time-out, a reset before the headers) the
// bytes so far are none and the answer is empty, as for every other failure.
bool keeps_bytes_so_far(CURLcode result) {
  return result == CURLE_OK || result == CURLE_PARTIAL_FILE || result == CURLE_RECV_ERROR ||
         result == CURLE_OPERATION_TIMEDOUT;
}

// Every option of one download; false when libcurl refuses one of them.
bool set_options(CURL* easy, const std::string& url, curl_slist* headers, BodySink& sink,
                 const DownloadLimits& limits) {
  const auto connect_ms = std::chrono::duration_cast<std::chrono::milliseconds>(limits.connect_timeout);
  const bool ok =
      curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) == CURLE_OK &&
      // The target goes out as written: no folding of "/./" or "/../".
      curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, web_protocols) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_USERAGENT, user_agent) == CURLE_OK &&
      // Our Accept replaces libcurl's own, so the request carries exactly one.
      curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_MAXREDIRS, limits.max_redirects) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, web_protocols) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect_ms.count())) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.stall_bytes_per_second) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stall_time.count())) == CURLE_OK &&
      // An announced length over the bound ends the download before any body byte.
      curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.max_body_bytes)) == CURLE_OK &&
      // Downloads may run on a worker thread; time-outs must not rely on signals.
      curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &append_to_body) == CURLE_OK &&
      curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
  return ok;
}

}  // namespace

Bytes http_download(std::string_view url, const DownloadLimits& limits) {
  if (url.empty()) return {};
  if (!http_client_open()) return {};
  const std::optional<std::string> target = download_target_url(url);
  if (!target) return {};

  // One easy handle per download, so each download opens and closes its own connection.
  EasyHandle easy(curl_easy_init());
  HeaderList headers(curl_slist_append(nullptr, accept_header));
  if (!easy || !headers) return {};

  BodySink sink;
  sink.easy = easy.get();
  sink.max_bytes = limits.max_body_bytes;
  if (!set_options(easy.get(), *target, headers.get(), sink, limits)) return {};

  const CURLcode result = curl_easy_perform(easy.get());
  if (sink.state == SinkState::too_large) return {};
  if (sink.state == SinkState::out_of_memory || keeps_bytes_so_far(result)) return std::move(sink.body);
  return {};
}

}  // namespace miaohui
