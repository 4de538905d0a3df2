#include "e2e/forwarding_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tools/service_process.h"

namespace miaohui::test {

namespace {

std::string header_value(const std::string& head, const std::string& name) {
  const std::string key = "\r\n" + name + ": ";
  const auto at = head.find(key);
  if (at == std::string::npos) return {};
  const auto start = at + key.size();
  return head.substr(start, head.find("\r\n", start) - start);
}

// "http://host:port/path?query" -> "/path?query"; anything else as it is.
std::string origin_form(const std::string& url) {
  if (!url.starts_with("http://")) return url;
  const auto slash = url.find('/', 7);
  return slash == std::string::npos ? "/" : url.substr(slash);
}

bool send_all(int connection, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ForwardingProxy::ForwardingProxy(int service_port) : service_port_(service_port) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0) {
    return;
  }
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

ForwardingProxy::~ForwardingProxy() {
  if (listener_ >= 0) shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

std::vector<Exchange> ForwardingProxy::exchanges() const {
  std::lock_guard lock(mutex_);
  return exchanges_;
}

void ForwardingProxy::serve() {
  for (;;) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;  // shut down
    handle(connection);
    close(connection);
  }
}

void ForwardingProxy::handle(int connection) {
  std::string head;
  char chunk[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd ready{connection, POLLIN, 0};
    if (poll(&ready, 1, 10000) <= 0) return;
    const ssize_t n = recv(connection, chunk, sizeof chunk, 0);
    if (n <= 0) return;
    head.append(chunk, static_cast<std::size_t>(n));
  }
  head.resize(head.find("\r\n\r\n") + 2);

  Exchange exchange;
  exchange.request_line = head.substr(0, head.find("\r\n"));
  const auto first = exchange.request_line.find(' ');
  const auto second = exchange.request_line.find(' ', first + 1);
  if (first != std::string::npos && second != std::string::npos) {
    exchange.target = exchange.request_line.substr(first + 1, second - first - 1);
  }
  exchange.host = header_value(head, "Host");
  std::size_t index = 0;
  {
    std::lock_guard lock(mutex_);
    index = exchanges_.size();
    exchanges_.push_back(exchange);
  }

  const HttpAnswer answer = http_get(service_port_, exchange.host, origin_form(exchange.target));
  std::string reply = "HTTP/1.0 " + std::to_string(answer.status == 0 ? 502 : answer.status) +
                      " Forwarded\r\nContent-Type: " + answer.content_type +
                      "\r\nContent-Length: " + std::to_string(answer.body.size()) + "\r\n\r\n" + answer.body;
  const bool sent = send_all(connection, reply);
  std::lock_guard lock(mutex_);
  exchanges_[index].answered = sent;
  exchanges_[index].status = answer.status;
  exchanges_[index].body = answer.body;
}

}  // namespace miaohui::test
