#include <gtest/gtest.h>

#include "desktop/save.h"
#include "desktop_fixture.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;

// HOME and XDG_CONFIG_HOME in a temporary folder whose desktop is ~/Desktop.
class SavePicture : public testing::Test {
 protected:
  SavePicture() { fs::create_directories(desktop()); }

  fs::path home() const { return tmp_.path() / "home"; }
  fs::path desktop() const { return home() / "Desktop"; }
  fs::path saved() const { return desktop() / "炫耀照.jpg"; }

  test::TempDir tmp_;
  test::ScopedEnv home_env_{"HOME", home().string()};
  test::ScopedEnv config_env_{"XDG_CONFIG_HOME", (tmp_.path() / "config").string()};
};

TEST_F(SavePicture, BeforeAnyPictureLeavesAnEmptyFile) {
  save_picture({});
  ASSERT_TRUE(fs::is_regular_file(saved()));
  EXPECT_EQ(fs::file_size(saved()), 0u);
}

TEST_F(SavePicture, SecondSaveReplacesTheFirst) {
  const Bytes first(5000, 0xAB);
  const Bytes second = {0xFF, 0xD8, 0xFF, 0x00, 0x00, 0xD9};
  save_picture(first);
  save_picture(second);
  EXPECT_EQ(test::read_file(saved()), second);
  EXPECT_EQ(test::folder_names(desktop()), (std::vector<std::string>{"炫耀照.jpg"}));
}

TEST_F(SavePicture, BodyThatIsNoPictureIsSavedAsItCame) {
  const Bytes html = test::as_bytes("<html><body>502 Bad Gateway</body></html>\r\n");
  save_picture(html);
  EXPECT_EQ(test::read_file(saved()), html);
}

// The configured desktop is gone and there is no ~/Desktop: the picture goes to HOME, and the
// missing folder is not made.
TEST_F(SavePicture, MissingDesktopFallsBackToHome) {
  fs::remove(desktop());
  fs::create_directories(tmp_.path() / "config");
  test::write_text(tmp_.path() / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
  save_picture(test::as_bytes("pic"));
  EXPECT_EQ(test::read_file(home() / "炫耀照.jpg"), test::as_bytes("pic"));
  EXPECT_FALSE(fs::exists(home() / "桌面"));
}

TEST_F(SavePicture, WithoutHomeSavesIntoTheCurrentFolder) {
  const fs::path program_dir = tmp_.path() / "program";
  fs::create_directories(program_dir);
  const test::ScopedCurrentDir cwd(program_dir);
  const test::ScopedEnv no_home("HOME", std::nullopt);
  save_picture(test::as_bytes("pic"));
  EXPECT_EQ(test::read_file(program_dir / "炫耀照.jpg"), test::as_bytes("pic"));
  EXPECT_FALSE(fs::exists(saved()));
}

// A save that cannot write (a folder squats on the name) changes nothing and leaves no trace.
TEST_F(SavePicture, FailedSaveLeavesTheDesktopAsItWas) {
  fs::create_directories(saved());
  save_picture(test::as_bytes("pic"));
  EXPECT_TRUE(fs::is_directory(saved()));
  EXPECT_EQ(test::folder_names(desktop()), (std::vector<std::string>{"炫耀照.jpg"}));
}

}  // namespace
}  // namespace miaohui
