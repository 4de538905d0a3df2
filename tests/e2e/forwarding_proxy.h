#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace miaohui::test {

// One request as it reached the proxy, and what went back.
struct Exchange {
  std::string request_line;  // "GET http://host-c.test/zb/fc/toutu.php?id=3&name=... HTTP/1.0"
  std::string target;        // the URL of the request line
  std::string host;          // the Host header's value
  bool answered = false;
  int status = 0;
  std::string body;          // the bytes served
};

// The program's HTTP proxy (libcurl's http_proxy) on 127.0.0.1 at a free port. A request line
// then carries the whole URL with its host slot. Each request is recorded as it arrives, then
// passed on to a picture service on 127.0.0.1 (origin-form target, same Host header) and its
// answer sent back. One connection at a time, as the program makes them.
class ForwardingProxy {
 public:
  explicit ForwardingProxy(int service_port);
  ~ForwardingProxy();
  ForwardingProxy(const ForwardingProxy&) = delete;
  ForwardingProxy& operator=(const ForwardingProxy&) = delete;

  bool listening() const { return port_ > 0; }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  void forward_to(int service_port) { service_port_ = service_port; }

  std::vector<Exchange> exchanges() const;

 private:
  void serve();
  void handle(int connection);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> service_port_;
  mutable std::mutex mutex_;
  std::vector<Exchange> exchanges_;
  std::thread thread_;
};

}  // namespace miaohui::test
