// picture-service: a stand-in for the picture services behind the host slots. It answers a
// GET of any picture kind's request URL with a picture drawn for that request.
#include <QGuiApplication>

#include <httplib.h>

#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "pictures.h"
#include "service_request.h"

namespace {

constexpr const char* usage =
    "usage: picture-service [--port N] [--delay-ms N] [--record FILE]\n"
    "  --port N       listen on 127.0.0.1:N (default 8765; 0 picks a free port)\n"
    "  --delay-ms N   wait N milliseconds before answering each request\n"
    "  --record FILE  append \"<target>\\t<host>\\n\" for each request, before it is answered\n"
    "The first line on standard output is \"picture-service: listening on 127.0.0.1:<port>\";\n"
    "then one line a request. SIGINT or SIGTERM ends it with status 0.\n";

struct Options {
  int port = 8765;
  long delay_ms = 0;
  std::string record;
};

std::optional<long> parse_number(const char* text, long max) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 0 || value > max) return std::nullopt;
  return value;
}

std::optional<Options> parse_options(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const char* value = argv[++i];
    if (arg == "--port") {
      const auto port = parse_number(value, 65535);
      if (!port) return std::nullopt;
      options.port = static_cast<int>(*port);
    } else if (arg == "--delay-ms") {
      const auto delay = parse_number(value, 600000);
      if (!delay) return std::nullopt;
      options.delay_ms = *delay;
    } else if (arg == "--record") {
      options.record = value;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// Bytes a terminal or a line-based reader should not get raw become \xNN.
std::string printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      out += escaped;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string host_of(const httplib::Request& req) {
  return req.has_header("Host") ? printable(req.get_header_value("Host")) : "-";
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Waits out the answer delay, cut short when the service stops.
class Delay {
 public:
  explicit Delay(long ms) : ms_(ms) {}
  void wait() {
    if (ms_ == 0) return;
    std::unique_lock lock(mutex_);
    stopped_cv_.wait_for(lock, std::chrono::milliseconds(ms_), [this] { return stopped_; });
  }
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    stopped_cv_.notify_all();
  }

 private:
  long ms_;
  std::mutex mutex_;
  std::condition_variable stopped_cv_;
  bool stopped_ = false;
};

constexpr const char* error_page =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%d</title></head>\n"
    "<body><h1>%d</h1><p>这里没有图片。No picture here.</p></body></html>\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(usage, stdout);
    return 0;
  }
  const std::optional<Options> options = parse_options(argc, argv);
  if (!options) {
    std::fputs(usage, stderr);
    return 2;
  }

  // The stop signals are blocked in every thread and taken by sigwait below.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);

  std::unique_ptr<std::FILE, FileCloser> record;
  if (!options->record.empty()) {
    record.reset(std::fopen(options->record.c_str(), "a"));
    if (!record) {
      std::fprintf(stderr, "picture-service: cannot open %s: %s\n", options->record.c_str(), std::strerror(errno));
      return 1;
    }
  }
  std::mutex output;
  Delay delay(options->delay_ms);

  std::mutex drawing;
  httplib::Server server;
  // Address reuse only: with the library's default SO_REUSEPORT a second instance would bind
  // the same port and take part of the requests instead of failing.
  server.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response&) {
    if (record) {
      std::lock_guard lock(output);
      std::fprintf(record.get(), "%s\t%s\n", printable(req.target).c_str(), host_of(req).c_str());
      std::fflush(record.get());
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    delay.wait();
    const auto request = miaohui::read_request_target(req.target);
    if (!request) {
      res.status = 404;
      return;
    }
    const miaohui::Picture picture = [&] {
      // One picture at a time: the font machinery is shared by every drawing thread, and the
      // same request must give the same bytes whatever else is being drawn.
      std::lock_guard lock(drawing);
      return miaohui::make_picture(*request);
    }();
    if (picture.bytes.empty()) {
      res.status = 500;
      return;
    }
    res.set_content(reinterpret_cast<const char*>(picture.bytes.data()), picture.bytes.size(),
                    picture.content_type.c_str());
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    char page[512];
    std::snprintf(page, sizeof page, error_page, res.status, res.status);
    res.set_content(page, "text/html; charset=utf-8");
  });
  server.set_logger([&](const httplib::Request& req, const httplib::Response& res) {
    std::lock_guard lock(output);
    std::printf("\"%s %s %s\" Host: %s -> %d %s %zu\n", printable(req.method).c_str(), printable(req.target).c_str(),
                printable(req.version).c_str(), host_of(req).c_str(), res.status,
                printable(res.get_header_value("Content-Type")).c_str(), res.body.size());
    std::fflush(stdout);
  });

  int port = options->port;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", port)) {
    port = -1;
  }
  if (port < 0) {
    std::fprintf(stderr, "picture-service: cannot listen on 127.0.0.1:%d\n", options->port);
    return 1;
  }
  std::printf("picture-service: listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);

  std::atomic<bool> stopping = false, listen_failed = false, listen_ended = false;
  std::thread listener([&] {
    server.listen_after_bind();
    listen_ended = true;
    if (!stopping) {  // listening ended by itself: wake the main thread
      listen_failed = true;
      kill(getpid(), SIGTERM);
    }
  });
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  stopping = true;
  delay.stop();
  // stop() acts only on a loop that has begun: a signal that came sooner would leave the loop
  // running for good and the join below waiting on it.
  while (!server.is_running() && !listen_ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  server.stop();
  listener.join();
  {
    std::lock_guard lock(output);
    std::printf("picture-service: stopped\n");
    std::fflush(stdout);
  }
  return listen_failed ? 1 : 0;
}
