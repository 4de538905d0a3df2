#include "net/download_url.h"

#include <curl/curl.h>

#include <memory>

namespace miaohui {
namespace {

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct PartDeleter {
  void operator()(char* part) const { curl_free(part); }
};

// One part of a parsed URL; empty when the URL has none.
std::string url_part(CURLU* url, CURLUPart which) {
  char* raw = nullptr;
  if (curl_url_get(url, which, &raw, 0) != CURLUE_OK || raw == nullptr) return {};
  std::unique_ptr<char, PartDeleter> owned(raw);
  return std::string(raw);
}

bool is_http_scheme(std::string_view scheme) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  std::string folded;
  for (char c : scheme) folded += lower(c);
  return folded == "http" || folded == "https";
}

}  // namespace

std::optional<std::string> download_target_url(std::string_view url) {
  // libcurl takes zero-terminated strings: a zero byte inside would silently shorten the URL.
  if (url.empty() || url.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string whole(url);

  UrlHandle parsed(curl_url());
  if (!parsed) return std::nullopt;
  // Dot segments stay as written, and a URL without a scheme is refused, not guessed.
  if (curl_url_set(parsed.get(), CURLUPART_URL, whole.c_str(),
                   CURLU_PATH_AS_IS | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    return std::nullopt;
  }
  if (!is_http_scheme(url_part(parsed.get(), CURLUPART_SCHEME))) return std::nullopt;

  const std::string host = url_part(parsed.get(), CURLUPART_HOST);
  if (host.empty() || host.size() > max_host_chars) return std::nullopt;
  if (url_part(parsed.get(), CURLUPART_USER).size() > max_credential_chars ||
      url_part(parsed.get(), CURLUPART_PASSWORD).size() > max_credential_chars) {
    return std::nullopt;
  }

  std::size_t object = url_part(parsed.get(), CURLUPART_PATH).size();
  if (const std::string query = url_part(parsed.get(), CURLUPART_QUERY); !query.empty()) {
    object += 1 + query.size();
  }
  if (const std::string fragment = url_part(parsed.get(), CURLUPART_FRAGMENT); !fragment.empty()) {
    object += 1 + fragment.size();
  }
  if (object > max_object_chars) return std::nullopt;

  return whole.substr(0, whole.find('#'));
}

}  // namespace miaohui
