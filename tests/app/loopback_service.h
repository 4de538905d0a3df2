#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace miaohui::test {

// A picture service on 127.0.0.1 at a free port that the program reaches as its HTTP proxy:
// every request line then carries the whole URL, host slot included, and is recorded as sent.
// All requests get the same answer, set by the test.
class LoopbackService {
 public:
  LoopbackService();
  ~LoopbackService();
  LoopbackService(const LoopbackService&) = delete;
  LoopbackService& operator=(const LoopbackService&) = delete;

  int port() const { return port_; }
  std::string proxy_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  void answer(std::vector<std::uint8_t> body);        // 200 with this body
  void answer_nothing();                               // close the connection unanswered
  void delay(std::chrono::milliseconds before_answer); // wait before answering

  std::vector<std::string> targets() const;  // request targets, in order
  std::vector<std::string> requests() const; // whole request heads, in order

 private:
  void serve();
  void handle(int connection);

  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  bool answer_body_ = true;
  std::vector<std::uint8_t> body_;
  std::chrono::milliseconds delay_{0};
  std::vector<std::string> heads_;
};

}  // namespace miaohui::test
