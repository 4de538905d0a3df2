#include "net/test_server.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace miaohui::test {
namespace {

using Clock = std::chrono::steady_clock;

// Bounds that keep a broken test from hanging; none is reached when things work.
constexpr auto request_idle_limit = std::chrono::milliseconds(1000);
constexpr std::size_t request_byte_limit = 1 << 16;
constexpr auto drain_limit = std::chrono::seconds(5);

bool wait_readable(int fd, std::chrono::milliseconds timeout) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(timeout.count())) > 0;
}

// Reads one request: up to the empty line after the headers, the client's close, or a
// second without new bytes (a TLS hello never ends in an empty line).
std::string read_request(int client) {
  std::string request;
  char chunk[4096];
  while (request.size() < request_byte_limit && request.find("\r\n\r\n") == std::string::npos) {
    if (!wait_readable(client, request_idle_limit)) break;
    const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<std::size_t>(got));
  }
  return request;
}

bool send_all(int client, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Waits until the peer has acknowledged every byte sent, so a reset cannot overtake them.
void wait_until_acknowledged(int client) {
  const auto deadline = Clock::now() + drain_limit;
  int unacknowledged = 0;
  while (::ioctl(client, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged > 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Stays silent for up to `limit`; returns early when the client closes its end.
void stall(int client, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  char chunk[256];
  while (Clock::now() < deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (!wait_readable(client, std::min(left, std::chrono::milliseconds(50)))) continue;
    if (::recv(client, chunk, sizeof chunk, MSG_DONTWAIT) <= 0) return;
  }
}

}  // namespace

int listen_on_loopback(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("bind/listen on 127.0.0.1 failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

std::string response(std::string_view status_line, const std::vector<std::string>& headers, std::string_view body) {
  std::string out(status_line);
  out += "\r\n";
  for (const std::string& header : headers) out += header + "\r\n";
  out += "\r\n";
  out += body;
  return out;
}

std::string response_with_length(std::string_view status_line, std::string_view body) {
  return response(status_line, {"Content-Length: " + std::to_string(body.size())}, body);
}

TestServer::TestServer(Script script) : script_(std::move(script)) {
  listener_ = listen_on_loopback(port_);
  thread_ = std::thread([this] { serve(); });
}

TestServer::~TestServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

std::string TestServer::url(std::string_view target) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::vector<std::string> TestServer::requests() const {
  std::scoped_lock guard(lock_);
  return requests_;
}

std::size_t TestServer::connections() const {
  std::scoped_lock guard(lock_);
  return requests_.size();
}

void TestServer::serve() {
  while (!stopping_) {
    if (!wait_readable(listener_, std::chrono::milliseconds(50))) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    handle(client);
  }
}

void TestServer::handle(int client) {
  const std::string request = read_request(client);
  {
    std::scoped_lock guard(lock_);
    requests_.push_back(request);
  }
  const Reply reply = script_(request);
  const std::string_view bytes = reply.bytes;
  const std::string_view first = bytes.substr(0, std::min(reply.send_first, bytes.size()));
  const bool sent = send_all(client, first);
  switch (reply.end) {
    case Reply::End::close:
      break;
    case Reply::End::reset: {
      wait_until_acknowledged(client);
      const linger abort_on_close{1, 0};
      ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
      break;
    }
    case Reply::End::stall:
      stall(client, reply.stall_for);
      if (sent) send_all(client, bytes.substr(first.size()));
      break;
  }
  ::close(client);
}

std::uint16_t closed_port() {
  std::uint16_t port = 0;
  ::close(listen_on_loopback(port));
  return port;
}

}  // namespace miaohui::test
