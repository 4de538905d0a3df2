#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace miaohui::test {

// What the server sends on one connection once it has read the request.
struct Reply {
  enum class End {
    close,  // close the connection normally
    reset,  // close with a TCP reset once the client has taken the bytes sent
    stall,  // keep the connection open and silent for stall_for (or until the client leaves), then send the rest
  };
  std::string bytes;  // status line, headers and body exactly as they go out
  std::size_t send_first = std::string::npos;  // how many of bytes go out before the end
  End end = End::close;
  std::chrono::milliseconds stall_for{0};
};

// The status line ("HTTP/1.0 200 OK"), the headers, an empty line and the body.
std::string response(std::string_view status_line, const std::vector<std::string>& headers, std::string_view body);
// A response with Content-Length set to the body's length.
std::string response_with_length(std::string_view status_line, std::string_view body);

// A loopback HTTP server for the download tests: listens on 127.0.0.1 on a free port,
// serves one connection at a time on its own thread, records the raw bytes of each request
// and answers from a script.
class TestServer {
 public:
  using Script = std::function<Reply(const std::string& request)>;

  explicit TestServer(Script script);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  std::uint16_t port() const { return port_; }
  std::string url(std::string_view target) const;  // http://127.0.0.1:<port><target>

  std::vector<std::string> requests() const;  // raw request bytes, one entry a connection
  std::size_t connections() const;

 private:
  void serve();
  void handle(int client);

  Script script_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex lock_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A listening socket on 127.0.0.1 on a free port, which it stores in port.
int listen_on_loopback(std::uint16_t& port);

// A port on 127.0.0.1 where nothing listens.
std::uint16_t closed_port();

}  // namespace miaohui::test
