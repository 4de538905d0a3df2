#include "desktop/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace miaohui {
namespace {

// user-dirs.dirs is a few hundred bytes; anything past this is not read.
constexpr std::size_t max_user_dirs_size = 1 << 20;

std::string env_value(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool is_directory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The whole of a regular file, at most max_user_dirs_size bytes; nullopt when it cannot be read.
// O_NONBLOCK keeps a FIFO in its place from stalling the caller.
std::optional<std::string> read_small_file(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<std::string> text;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    text.emplace();
    char buffer[4096];
    while (text->size() < max_user_dirs_size) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      text->append(buffer, static_cast<std::size_t>(n));
    }
    if (text->size() > max_user_dirs_size) text->resize(max_user_dirs_size);
  }
  ::close(fd);
  return text;
}

// The value of one `XDG_DESKTOP_DIR="..."` line in the shell form that xdg-user-dirs writes:
// optional blanks, the quoted value with backslash escapes, "$HOME" allowed only as the start.
// nullopt when the line is not such an assignment or its path is relative.
std::optional<std::string> parse_desktop_line(std::string_view line, const std::string& home) {
  constexpr std::string_view key = "XDG_DESKTOP_DIR";
  auto skip_blanks = [&line] {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  };
  skip_blanks();
  if (!line.starts_with(key)) return std::nullopt;
  line.remove_prefix(key.size());
  skip_blanks();
  if (line.empty() || line.front() != '=') return std::nullopt;
  line.remove_prefix(1);
  skip_blanks();
  if (line.empty() || line.front() != '"') return std::nullopt;
  line.remove_prefix(1);

  std::string value;
  bool closed = false;
  while (!line.empty()) {
    const char c = line.front();
    line.remove_prefix(1);
    if (c == '"') {
      closed = true;
      break;
    }
    if (c == '\\' && !line.empty()) {
      value.push_back(line.front());
      line.remove_prefix(1);
      continue;
    }
    value.push_back(c);
  }
  if (!closed) return std::nullopt;

  constexpr std::string_view home_var = "$HOME";
  if (value.starts_with(home_var) && (value.size() == home_var.size() || value[home_var.size()] == '/')) {
    return home + value.substr(home_var.size());
  }
  if (value.starts_with('/')) return value;
  return std::nullopt;
}

// XDG_DESKTOP_DIR of user-dirs.dirs; the last valid assignment counts, as when a shell sources it.
std::optional<std::string> configured_desktop(const std::string& home) {
  std::string config = env_value("XDG_CONFIG_HOME");
  if (!config.starts_with('/')) config = home + "/.config";  // unset, empty or relative
  const std::optional<std::string> text = read_small_file(config + "/user-dirs.dirs");
  if (!text) return std::nullopt;

  std::optional<std::string> found;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (auto value = parse_desktop_line(line, home)) found = std::move(value);
  }
  return found;
}

}  // namespace

std::string desktop_folder() {
  std::string home = env_value("HOME");
  if (home.empty()) return {};
  while (home.size() > 1 && home.ends_with('/')) home.pop_back();

  std::string folder;
  if (const auto configured = configured_desktop(home); configured && is_directory(*configured)) {
    folder = *configured;
  } else if (is_directory(home + "/Desktop")) {
    folder = home + "/Desktop";
  } else {
    folder = home;
  }
  if (!folder.ends_with('/')) folder.push_back('/');
  return folder;
}

}  // namespace miaohui
