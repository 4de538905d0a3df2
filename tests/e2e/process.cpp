#include "e2e/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <thread>

extern char** environ;

namespace miaohui::test {

namespace {

using namespace std::chrono_literals;

std::vector<std::string> child_environment(const EnvironmentChanges& changes) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : changes) {
    if (value) {
      variables[name] = *value;
    } else {
      variables.erase(name);
    }
  }
  std::vector<std::string> result;
  for (const auto& [name, value] : variables) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (auto& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// Starts argv with stdin from input_fd (or /dev/null) and stdout to output_fd (or the file,
// or /dev/null); the pid, or -1.
pid_t spawn(std::vector<std::string> argv, const SpawnOptions& options, int input_fd, int output_fd) {
  std::vector<std::string> environment = child_environment(options.environment);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const auto file_or_null = [](const std::filesystem::path& path) {
    return path.empty() ? std::string("/dev/null") : path.string();
  };
  const std::string output = file_or_null(options.output), errors = file_or_null(options.errors);
  if (input_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, input_fd, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  }
  if (output_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, output_fd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const std::string three = options.descriptor_three.string();
  if (!three.empty()) posix_spawn_file_actions_addopen(&actions, 3, three.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  // The child starts with default signal handling and no blocked signals.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0].c_str(), &actions, &attributes, pointers(argv).data(),
                                  pointers(environment).data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

// Writes all of text to fd and closes it; a reader that is gone ends the writing.
void feed(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  close(fd);
}

int decode_status(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

Process::Process(const std::vector<std::string>& argv, const SpawnOptions& options) {
  int input[2] = {-1, -1};
  if (!options.input.empty() && pipe2(input, O_CLOEXEC) != 0) return;
  pid_ = spawn(argv, options, input[0], -1);
  if (input[0] >= 0) {
    close(input[0]);
    feed(input[1], options.input);
  }
}

Process::~Process() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool Process::running() {
  if (pid_ <= 0 || status_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  status_ = decode_status(status);
  return false;
}

std::optional<int> Process::wait_for_exit(std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (running()) {
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(10ms);
  }
  return status_;
}

void Process::stop() {
  if (!running()) return;
  kill(pid_, SIGTERM);
  if (!wait_for_exit(5000ms)) {
    kill(pid_, SIGKILL);
    wait_for_exit(5000ms);
  }
}

CommandResult run_command(const std::vector<std::string>& argv, const EnvironmentChanges& environment,
                          const std::string& input) {
  CommandResult result;
  int output[2], in[2];
  if (pipe2(output, O_CLOEXEC) != 0) return result;
  if (pipe2(in, O_CLOEXEC) != 0) {
    close(output[0]);
    close(output[1]);
    return result;
  }
  SpawnOptions options;
  options.environment = environment;
  const pid_t pid = spawn(argv, options, in[0], output[1]);
  close(in[0]);
  close(output[1]);
  feed(in[1], input);
  if (pid < 0) {
    close(output[0]);
    return result;
  }

  const auto deadline = std::chrono::steady_clock::now() + 30s;
  char buffer[65536];
  bool timed_out = false;
  for (;;) {
    if (std::chrono::steady_clock::now() > deadline) {
      timed_out = true;
      break;
    }
    pollfd ready{output[0], POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    const ssize_t n = read(output[0], buffer, sizeof buffer);
    if (n <= 0) break;
    result.output.append(buffer, static_cast<std::size_t>(n));
  }
  close(output[0]);
  if (timed_out) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = timed_out ? -1 : decode_status(status);
  return result;
}

TemporaryFolder::TemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "miaohui-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace miaohui::test
