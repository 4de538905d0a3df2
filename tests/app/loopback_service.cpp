#include "app/loopback_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace miaohui::test {

LoopbackService::LoopbackService() {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0) {
    throw std::runtime_error("loopback service: cannot listen");
  }
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

LoopbackService::~LoopbackService() {
  shutdown(listener_, SHUT_RDWR);
  thread_.join();
  close(listener_);
}

void LoopbackService::answer(std::vector<std::uint8_t> body) {
  std::lock_guard lock(mutex_);
  answer_body_ = true;
  body_ = std::move(body);
}

void LoopbackService::answer_nothing() {
  std::lock_guard lock(mutex_);
  answer_body_ = false;
}

void LoopbackService::delay(std::chrono::milliseconds before_answer) {
  std::lock_guard lock(mutex_);
  delay_ = before_answer;
}

std::vector<std::string> LoopbackService::requests() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

std::vector<std::string> LoopbackService::targets() const {
  std::vector<std::string> result;
  for (const auto& head : requests()) {
    const auto first = head.find(' ');
    const auto second = head.find(' ', first + 1);
    result.push_back(first == std::string::npos ? head : head.substr(first + 1, second - first - 1));
  }
  return result;
}

void LoopbackService::serve() {
  for (;;) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;  // shut down
    handle(connection);
    close(connection);
  }
}

void LoopbackService::handle(int connection) {
  std::string head;
  char chunk[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd ready{connection, POLLIN, 0};
    if (poll(&ready, 1, 10000) <= 0) return;
    const ssize_t n = recv(connection, chunk, sizeof chunk, 0);
    if (n <= 0) return;
    head.append(chunk, static_cast<std::size_t>(n));
  }
  bool answer_body = false;
  std::vector<std::uint8_t> body;
  std::chrono::milliseconds wait{0};
  {
    std::lock_guard lock(mutex_);
    heads_.push_back(head.substr(0, head.find("\r\n\r\n") + 4));
    answer_body = answer_body_;
    body = body_;
    wait = delay_;
  }
  if (wait.count() > 0) std::this_thread::sleep_for(wait);
  if (!answer_body) return;
  std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                      std::to_string(body.size()) + "\r\n\r\n";
  reply.append(body.begin(), body.end());
  std::size_t sent = 0;
  while (sent < reply.size()) {
    const ssize_t n = send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace miaohui::test
