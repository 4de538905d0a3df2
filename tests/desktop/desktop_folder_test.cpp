#include <sys/stat.h>

#include <gtest/gtest.h>

#include "desktop/save.h"
#include "desktop_fixture.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

enum class Home { plain, trailing_slash, unset, empty };
enum class ConfigHome { unset, absolute, relative };

struct FolderCase {
  const char* title;
  const char* user_dirs;             // contents of user-dirs.dirs, "~" standing for HOME; nullptr: none
  std::vector<const char*> folders;  // made under HOME before the lookup
  const char* expected;              // "~" standing for HOME
  ConfigHome config = ConfigHome::unset;
  Home home = Home::plain;
};

std::string replace_home(std::string text, const std::string& home) {
  for (std::size_t at = text.find('~'); at != std::string::npos; at = text.find('~', at + home.size())) {
    text.replace(at, 1, home);
  }
  return text;
}

const FolderCase folder_cases[] = {
    {"no user-dirs, Desktop present", nullptr, {"Desktop"}, "~/Desktop/"},
    {"no user-dirs, no Desktop", nullptr, {}, "~/"},
    {"user-dirs with $HOME", "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n", {"桌面", "Desktop"}, "~/桌面/"},
    {"user-dirs with an absolute path and a blank", "XDG_DESKTOP_DIR=\"~/my desk\"\n", {"my desk"}, "~/my desk/"},
    {"user-dirs naming a missing folder", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", {"Desktop"}, "~/Desktop/"},
    {"missing folder and no Desktop", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", {}, "~/"},
    {"relative path ignored", "XDG_DESKTOP_DIR=\"Desk\"\n", {"Desk"}, "~/"},
    {"$HOME glued to a name is no $HOME", "XDG_DESKTOP_DIR=\"$HOMEdesk\"\n", {"Desktop"}, "~/Desktop/"},
    {"unquoted value ignored", "XDG_DESKTOP_DIR=$HOME/plain\n", {"plain"}, "~/"},
    {"unterminated quote ignored", "XDG_DESKTOP_DIR=\"$HOME/open\n", {"open", "Desktop"}, "~/Desktop/"},
    {"escaped quote and backslash", "XDG_DESKTOP_DIR=\"$HOME/a \\\"b\\\" \\\\c\"\n", {"a \"b\" \\c"}, "~/a \"b\" \\c/"},
    {"bare $HOME (desktop switched off)", "XDG_DESKTOP_DIR=\"$HOME\"\n", {"Desktop"}, "~/"},
    {"path already ending in a slash", "XDG_DESKTOP_DIR=\"$HOME/d/\"\n", {"d"}, "~/d/"},
    {"comments, other keys, blanks, last one wins",
     "# written by xdg-user-dirs-update\n"
     "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
     "XDG_DESKTOP_DIR=\"$HOME/first\"\n"
     "  XDG_DESKTOP_DIR = \"$HOME/second\"\n"
     "#XDG_DESKTOP_DIR=\"$HOME/third\"\n",
     {"first", "second", "third", "Downloads"}, "~/second/"},
    {"CR LF line ends", "XDG_DESKTOP_DIR=\"$HOME/dos\"\r\nXDG_MUSIC_DIR=\"$HOME\"\r\n", {"dos"}, "~/dos/"},
    {"XDG_CONFIG_HOME holds the file", "XDG_DESKTOP_DIR=\"$HOME/elsewhere\"\n", {"elsewhere", "Desktop"},
     "~/elsewhere/", ConfigHome::absolute},
    {"relative XDG_CONFIG_HOME falls to ~/.config", "XDG_DESKTOP_DIR=\"$HOME/dotconfig\"\n", {"dotconfig"},
     "~/dotconfig/", ConfigHome::relative},
    {"HOME with a trailing slash", nullptr, {"Desktop"}, "~/Desktop/", ConfigHome::unset, Home::trailing_slash},
    {"HOME unset", "XDG_DESKTOP_DIR=\"/tmp\"\n", {"Desktop"}, "", ConfigHome::unset, Home::unset},
    {"HOME empty", nullptr, {"Desktop"}, "", ConfigHome::unset, Home::empty},
};

TEST(DesktopFolder, FollowsUserDirsThenDesktopThenHome) {
  for (const FolderCase& c : folder_cases) {
    SCOPED_TRACE(c.title);
    TempDir tmp;
    const fs::path home = tmp.path() / "home";
    fs::create_directories(home / ".config");
    for (const char* folder : c.folders) fs::create_directories(home / folder);

    // With an absolute XDG_CONFIG_HOME, ~/.config gets a decoy that must not be read.
    const fs::path other_config = tmp.path() / "xdg-config";
    fs::create_directories(other_config);
    std::optional<std::string> config_home;
    fs::path config_dir = home / ".config";
    if (c.config == ConfigHome::absolute) {
      config_home = other_config.string();
      config_dir = other_config;
      test::write_text(home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n");
    } else if (c.config == ConfigHome::relative) {
      config_home = "xdg-config";
      test::write_text(other_config / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"/\"\n");
    }
    if (c.user_dirs) test::write_text(config_dir / "user-dirs.dirs", replace_home(c.user_dirs, home.string()));

    std::optional<std::string> home_value = home.string();
    if (c.home == Home::trailing_slash) home_value = home.string() + "/";
    if (c.home == Home::unset) home_value.reset();
    if (c.home == Home::empty) home_value = "";
    const ScopedEnv home_env("HOME", home_value);
    const ScopedEnv config_env("XDG_CONFIG_HOME", config_home);

    EXPECT_EQ(desktop_folder(), replace_home(c.expected, home.string()));
  }
}

// A user-dirs.dirs that is no plain file is skipped; a FIFO must not stall the lookup.
TEST(DesktopFolder, UserDirsThatIsNoFileIsSkipped) {
  for (const bool fifo : {true, false}) {
    SCOPED_TRACE(fifo ? "FIFO" : "directory");
    TempDir tmp;
    fs::create_directories(tmp.path() / ".config");
    fs::create_directories(tmp.path() / "Desktop");
    const fs::path user_dirs = tmp.path() / ".config/user-dirs.dirs";
    if (fifo) {
      ASSERT_EQ(::mkfifo(user_dirs.c_str(), 0600), 0);
    } else {
      fs::create_directories(user_dirs);
    }
    const ScopedEnv home_env("HOME", tmp.str());
    const ScopedEnv config_env("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(desktop_folder(), tmp.str() + "/Desktop/");
  }
}

TEST(DesktopFolder, NeverCreatesAFolder) {
  TempDir tmp;
  fs::create_directories(tmp.path() / ".config");
  test::write_text(tmp.path() / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
  const ScopedEnv home_env("HOME", tmp.str());
  const ScopedEnv config_env("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(desktop_folder(), tmp.str() + "/");
  EXPECT_EQ(test::folder_names(tmp.path()), (std::vector<std::string>{".config"}));
}

}  // namespace
}  // namespace miaohui
