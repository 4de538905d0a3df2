#include "desktop/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace miaohui {
namespace {

constexpr mode_t file_mode = 0644;  // the umask is applied by open()
constexpr int max_name_tries = 100;

// The folder part of path with its trailing "/", or "" for a bare name (the current folder).
std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A name no other writer picks: pid, a per-process counter and a random part. O_EXCL decides.
std::string temporary_name(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  static thread_local std::minstd_rand random{std::random_device{}()};
  char name[64];
  std::snprintf(name, sizeof name, ".miaohui-%ld-%u-%08lx.tmp", static_cast<long>(::getpid()),
                counter.fetch_add(1), static_cast<unsigned long>(random()));
  return folder + name;
}

bool write_all(int fd, std::span<const std::uint8_t> data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data = data.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be flushed changes nothing for the caller.
void flush_folder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool write_bytes_file(const std::string& path, std::span<const std::uint8_t> data) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  const std::string folder = folder_of(path);

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < max_name_tries && fd < 0; ++attempt) {
    temp = temporary_name(folder);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, file_mode);
    if (fd < 0 && errno != EEXIST && errno != EINTR) return false;
  }
  if (fd < 0) return false;

  bool ok = write_all(fd, data);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  flush_folder(folder);
  return true;
}

}  // namespace miaohui
