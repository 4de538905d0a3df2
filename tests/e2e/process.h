#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace miaohui::test {

// Changes to this process's environment for a child: a value sets the variable, nullopt
// removes it.
using EnvironmentChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

struct SpawnOptions {
  EnvironmentChanges environment;
  std::string input;                      // written to standard input, which is then closed
  std::filesystem::path output;           // standard output; /dev/null when empty
  std::filesystem::path errors;           // standard error; /dev/null when empty
  std::filesystem::path descriptor_three; // opened for writing as fd 3 when set
};

// A child process started with posix_spawnp (safe while other threads run). The destructor
// kills it by its PID and reaps it if it is still running.
class Process {
 public:
  Process(const std::vector<std::string>& argv, const SpawnOptions& options);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool running();

  // Waits for the end: the exit status, -1 after a signal, nullopt when still running.
  std::optional<int> wait_for_exit(std::chrono::milliseconds bound);

  // SIGTERM, then SIGKILL when it has not ended within a few seconds.
  void stop();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

struct CommandResult {
  int status = -1;  // exit status; -1 for a signal, a time-out or a failed start
  std::string output;
};

// Runs a command to its end (30 s at most) and collects its standard output.
CommandResult run_command(const std::vector<std::string>& argv, const EnvironmentChanges& environment = {},
                          const std::string& input = {});

// A fresh folder under the temporary directory, removed with everything in it by the destructor.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace miaohui::test
