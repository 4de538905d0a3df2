// road/jpeg: one click's road from URL to pixels (build_request_url, http_download from a
// loopback server, decode); road/baseline: a bare libcurl GET of the same bytes and the bare
// libjpeg decode.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "inputs.h"
#include "net/http_download.h"
#include "picture/decode.h"
#include "reference.h"
#include "request/request_url.h"

namespace miaohui::bench {
namespace {

// Answers every connection with the same JPEG, HTTP/1.0 style, then closes it.
class LoopbackServer {
 public:
  explicit LoopbackServer(Bytes body) : body_(std::move(body)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(MIAOHUI_BENCH_PORT);
    ok_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(fd_, 16) == 0;
    if (ok_) thread_ = std::thread([this] { serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    if (thread_.joinable()) thread_.join();
  }
  bool ok() const { return ok_; }

 private:
  void serve() {
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                             std::to_string(body_.size()) + "\r\n\r\n";
    while (!stop_) {
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) continue;
      char request[4096];
      std::size_t got = 0;
      while (got < sizeof request) {  // read up to the blank line that ends the request
        const ssize_t n = ::recv(client, request + got, sizeof request - got, 0);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
        if (std::string_view(request, got).find("\r\n\r\n") != std::string_view::npos) break;
      }
      ::send(client, head.data(), head.size(), MSG_NOSIGNAL);
      ::send(client, body_.data(), body_.size(), MSG_NOSIGNAL);
      ::close(client);
    }
  }

  Bytes body_;
  int fd_ = -1;
  bool ok_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

LoopbackServer& server() {
  static LoopbackServer s(make_jpeg(1000, 750, 85));
  return s;
}

void road_jpeg(benchmark::State& state) {
  if (!server().ok()) return state.SkipWithError("port in use");
  const PictureKind& kind = *find_picture_kind("按钮13");
  for (auto _ : state) {
    const std::string url = build_request_url(kind, "张三", 2);
    const Bytes body = http_download(url);
    const Image image = decode_jpeg(body);
    if (image.empty()) return state.SkipWithError("no picture");
    benchmark::DoNotOptimize(image.rgba.data());
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 750);
}

std::size_t collect(char* data, std::size_t size, std::size_t count, void* out) {
  auto* body = static_cast<Bytes*>(out);
  body->insert(body->end(), data, data + size * count);
  return size * count;
}

void road_baseline(benchmark::State& state) {
  if (!server().ok()) return state.SkipWithError("port in use");
  const std::string url = "http://127.0.0.1:" + std::to_string(MIAOHUI_BENCH_PORT) + "/zb/fc/toutu.php?id=3&name=x";
  std::vector<std::uint8_t> rgba;
  for (auto _ : state) {
    Bytes body;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (libjpeg_decode(body, rgba) == 0) return state.SkipWithError("no picture");
    benchmark::DoNotOptimize(rgba.data());
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 750);
}

// Wall time is what a person waits for; the CPU column counts every thread of the process (the
// server's too, alike for both), which a busy machine disturbs far less.
BENCHMARK(road_jpeg)->Name("road/jpeg")->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(road_baseline)->Name("road/baseline")->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
}  // namespace miaohui::bench
