#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace miaohui::test {

// One running picture-service on a free port, its output captured in a folder of its own,
// with --record into that folder's "record" file. The destructor kills it if a test has not
// stopped it.
class ServiceProcess {
 public:
  explicit ServiceProcess(long delay_ms = 0);
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  bool running() const { return port_ > 0; }
  int port() const { return port_; }
  const std::filesystem::path& folder() const { return folder_; }
  std::string standard_output() const;
  std::string record() const;

  // Sends the signal and waits for the end; the exit status, or -1 for a process that
  // died by a signal or did not end within 30 s.
  int stop(int signal_number);

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// Runs picture-service with these arguments to its end (30 s at most): the exit status,
// -1 when it did not end by itself; its standard error in *error_output.
int run_service(const std::vector<std::string>& args, std::string* error_output);

struct HttpAnswer {
  int status = 0;  // 0: no answer
  std::string content_type;
  std::string body;
};

// One HTTP/1.0 GET as the program sends it, to 127.0.0.1:port with the given Host header.
HttpAnswer http_get(int port, std::string_view host, std::string_view target);

std::string read_text(const std::filesystem::path& path);

}  // namespace miaohui::test
