#include "desktop/links.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "config/host_slots.h"

extern char** environ;

namespace miaohui {
namespace {

// Launched children whose reaper thread could not be started; reaped without blocking later.
std::mutex unreaped_lock;
std::vector<pid_t> unreaped;

void reap_finished() {
  const std::lock_guard lock(unreaped_lock);
  std::erase_if(unreaped, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

void wait_for(pid_t pid) {
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// RAII for the spawn attributes.
class SpawnAttributes {
 public:
  SpawnAttributes() { ok_ = ::posix_spawnattr_init(&attr_) == 0; }
  ~SpawnAttributes() {
    if (ok_) ::posix_spawnattr_destroy(&attr_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  // The launcher gets a process group of its own (a Ctrl+C at our terminal does not reach the
  // browser), no blocked signals and the default SIGPIPE whatever this process set.
  bool prepare() {
    if (!ok_) return false;
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    return ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                  POSIX_SPAWN_SETSIGDEF) == 0 &&
           ::posix_spawnattr_setpgroup(&attr_, 0) == 0 && ::posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
           ::posix_spawnattr_setsigdefault(&attr_, &defaults) == 0;
  }
  const posix_spawnattr_t* get() const { return &attr_; }

 private:
  posix_spawnattr_t attr_{};
  bool ok_ = false;
};

}  // namespace

std::string chat_link() {
  return "http://" + std::string(chat_link_host) + "/msgrd?V=1&Uin=3816059471";
}

std::string group_link() {
  return "http://" + std::string(group_link_host) +
         "/wpa/qunwpa?idkey=5b0c7e93a1d24f86c3e07a5b19d68f2e40a7c3e95d1b6f08e2c4a9d73b5e1f06";
}

void open_link(std::string_view url) {
  reap_finished();
  if (url.find('\0') != std::string_view::npos) return;  // could not be handed over unchanged

  SpawnAttributes attributes;
  if (!attributes.prepare()) return;
  std::string program = "xdg-open";
  std::string argument(url);
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, program.c_str(), nullptr, attributes.get(), argv, environ) != 0) return;

  // posix_spawnp is safe in a threaded program, unlike a double fork; a detached thread collects
  // the launcher's exit status whenever it comes, so no zombie is left and nobody waits here.
  try {
    std::thread(wait_for, pid).detach();
  } catch (const std::system_error&) {
    const std::lock_guard lock(unreaped_lock);
    unreaped.push_back(pid);
  }
}

}  // namespace miaohui
