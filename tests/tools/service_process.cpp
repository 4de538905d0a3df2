#include "service_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace miaohui::test {

namespace {

using namespace std::chrono_literals;
constexpr auto patience = 30s;

std::filesystem::path make_folder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "picture-service-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  return pattern;
}

// Starts the service with stdout and stderr going to files in folder.
pid_t spawn(const std::vector<std::string>& args, const std::filesystem::path& folder) {
  std::vector<std::string> all{PICTURE_SERVICE_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = (folder / "stdout").string(), err = (folder / "stderr").string();
  const pid_t pid = fork();
  if (pid == 0) {
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Waits for the child to end; its exit status, or -1 (signal, or still running at the deadline).
int wait_for_end(pid_t pid, std::chrono::steady_clock::duration limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) return -2;
    std::this_thread::sleep_for(10ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Header value of a field in an answer head, without regard to the name's case.
std::string header_value(const std::string& head, const std::string& name) {
  std::size_t line = head.find("\r\n");
  while (line != std::string::npos) {
    const std::size_t next = head.find("\r\n", line + 2);
    const std::string field = head.substr(line + 2, next == std::string::npos ? std::string::npos : next - line - 2);
    std::string key = field.substr(0, name.size() + 1);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key == name + ":") {
      const std::size_t value = field.find_first_not_of(' ', name.size() + 1);
      return value == std::string::npos ? std::string() : field.substr(value);
    }
    line = next;
  }
  return {};
}

// An answer is complete once its Content-Length bytes are in (the server may keep the line open).
bool complete(const std::string& received) {
  const std::size_t head_end = received.find("\r\n\r\n");
  if (head_end == std::string::npos) return false;
  const std::string length = header_value(received.substr(0, head_end), "content-length");
  return !length.empty() && received.size() - head_end - 4 >= std::stoull(length);
}

}  // namespace

std::string read_text(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ServiceProcess::ServiceProcess(long delay_ms) : folder_(make_folder()) {
  if (folder_.empty()) return;
  const std::vector<std::string> args{"--port", "0", "--delay-ms", std::to_string(delay_ms), "--record",
                                      (folder_ / "record").string()};
  pid_ = spawn(args, folder_);
  if (pid_ < 0) return;
  const std::string prefix = "picture-service: listening on 127.0.0.1:";
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string out = standard_output();
    const std::size_t end = out.find('\n');
    if (end != std::string::npos && out.starts_with(prefix)) {
      port_ = std::atoi(out.c_str() + prefix.size());
      return;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(10ms);
  }
}

ServiceProcess::~ServiceProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string ServiceProcess::standard_output() const { return read_text(folder_ / "stdout"); }

std::string ServiceProcess::record() const { return read_text(folder_ / "record"); }

int ServiceProcess::stop(int signal_number) {
  if (pid_ <= 0) return -1;
  kill(pid_, signal_number);
  const int status = wait_for_end(pid_, patience);
  if (status != -2) pid_ = -1;
  port_ = 0;
  return status < 0 ? -1 : status;
}

int run_service(const std::vector<std::string>& args, std::string* error_output) {
  const std::filesystem::path folder = make_folder();
  const pid_t pid = spawn(args, folder);
  int status = wait_for_end(pid, patience);
  if (status == -2) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    status = -1;
  }
  if (error_output) *error_output = read_text(folder / "stderr");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}

HttpAnswer http_get(int port, std::string_view host, std::string_view target) {
  HttpAnswer answer;
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return answer;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string received;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    std::string request = "GET ";
    request.append(target).append(" HTTP/1.0\r\nHost: ").append(host).append(
        "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\nAccept: */*\r\n\r\n");
    bool sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    const auto deadline = std::chrono::steady_clock::now() + patience;
    char buffer[16384];
    while (sent && std::chrono::steady_clock::now() < deadline && !complete(received)) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      received.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(fd);

  const std::size_t head_end = received.find("\r\n\r\n");
  if (head_end == std::string::npos || !received.starts_with("HTTP/1.")) return answer;
  const std::string head = received.substr(0, head_end);
  answer.status = std::atoi(head.c_str() + head.find(' ') + 1);
  answer.content_type = header_value(head, "content-type");
  answer.body = received.substr(head_end + 4);
  return answer;
}

}  // namespace miaohui::test
