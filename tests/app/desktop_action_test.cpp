// The save button and the link buttons through the real windows: HOME and XDG_CONFIG_HOME
// point at a temporary folder, and a stand-in xdg-open records what it is handed.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/app_window.h"
#include "app/loopback_service.h"
#include "app/window_table.h"
#include "picture/picture_box.h"

namespace miaohui {
namespace {

using test::launched_links;
using test::LoopbackService;
using test::wait_until;

QByteArray read_all(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

Bytes bytes_of(const QByteArray& data) { return Bytes(data.begin(), data.end()); }

class Saving : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.isValid());
    setenv("HOME", home.path().toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8().constData(), 1);
    setenv("http_proxy", service.proxy_url().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    ASSERT_TRUE(table.load_window(WindowId::main));
    window = table.window(WindowId::main);
  }
  void TearDown() override { unsetenv("http_proxy"); }

  // Names the desktop in user-dirs.dirs, as a desktop session writes it.
  void name_desktop(const char* relative) {
    ASSERT_TRUE(QDir(home.path()).mkpath("config"));
    QFile dirs(home.filePath("config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write(QByteArray("XDG_DESKTOP_DIR=\"$HOME/") + relative + "\"\n");
  }
  void fetch(const QByteArray& body) {
    service.answer(bytes_of(body));
    window->control<QPushButton>("按钮1")->click();
  }
  void save() { window->control<QPushButton>("按钮7")->click(); }

  QTemporaryDir home;
  LoopbackService service;
  WindowTable table;
  AppWindow* window = nullptr;
};

TEST_F(Saving, BeforeAnyPictureLeavesAnEmptyFile) {
  name_desktop("桌面");
  ASSERT_TRUE(QDir(home.path()).mkpath("桌面"));
  save();
  const QFileInfo saved(home.filePath("桌面/炫耀照.jpg"));
  ASSERT_TRUE(saved.exists());
  EXPECT_EQ(saved.size(), 0);
}

TEST_F(Saving, SecondSaveReplacesTheFirst) {
  ASSERT_TRUE(QDir(home.path()).mkpath("Desktop"));  // no user-dirs.dirs: $HOME/Desktop
  fetch("first picture, the longer of the two");
  save();
  EXPECT_EQ(read_all(home.filePath("Desktop/炫耀照.jpg")), "first picture, the longer of the two");
  fetch("second");
  save();
  EXPECT_EQ(read_all(home.filePath("Desktop/炫耀照.jpg")), "second");
}

TEST_F(Saving, AnErrorPageIsSavedAsItCame) {
  const QByteArray page = "<html><body>502 Bad Gateway</body></html>\r\n";
  fetch(page);
  EXPECT_EQ(window->control<PictureBox>("图片框1")->get_picture(), bytes_of(page));
  save();  // no desktop folder at all: $HOME
  EXPECT_EQ(read_all(home.filePath("炫耀照.jpg")), page);
}

TEST_F(Saving, MissingDesktopFolderIsNotCreated) {
  // The named desktop does not exist: the picture goes to the home folder instead.
  name_desktop("gone");
  fetch("picture");
  save();
  EXPECT_FALSE(QFileInfo::exists(home.filePath("gone")));
  EXPECT_EQ(read_all(home.filePath("炫耀照.jpg")), "picture");
}

TEST_F(Saving, FailedWriteKeepsTheEarlierFileWhole) {
  ASSERT_TRUE(QDir(home.path()).mkpath("Desktop"));
  fetch("small");
  save();
  fetch(QByteArray(64 * 1024, 'x'));
  // A file size limit makes the second write fail part way, whoever runs the test.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  save();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_EQ(read_all(home.filePath("Desktop/炫耀照.jpg")), "small");
  EXPECT_EQ(QDir(home.filePath("Desktop")).entryList(QDir::Files), QStringList{"炫耀照.jpg"})
      << "no temporary file is left";
}

const std::string chat = "http://chat.test/msgrd?V=1&Uin=3816059471";
const std::string group =
    "http://group.test/wpa/qunwpa?idkey=5b0c7e93a1d24f86c3e07a5b19d68f2e40a7c3e95d1b6f08e2c4a9d73b5e1f06";

TEST(Links, EachClickLaunchesItsUrlUnchanged) {
  test::forget_launched_links();
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  ASSERT_TRUE(table.load_window(WindowId::main));
  AppWindow* welcome = table.window(WindowId::welcome);
  welcome->control<QPushButton>("按钮1")->click();
  ASSERT_TRUE(wait_until([] { return launched_links().size() == 1; }));
  welcome->control<QPushButton>("按钮1")->click();
  ASSERT_TRUE(wait_until([] { return launched_links().size() == 2; }));
  welcome->control<QPushButton>("按钮2")->click();
  ASSERT_TRUE(wait_until([] { return launched_links().size() == 3; }));
  table.window(WindowId::main)->control<QPushButton>("按钮18")->click();
  ASSERT_TRUE(wait_until([] { return launched_links().size() == 4; }));
  const std::vector<std::string> expected = {group, group, chat, chat};
  EXPECT_EQ(launched_links(), expected);
  EXPECT_TRUE(table.alive(WindowId::welcome)) << "the welcome window stays";
}

}  // namespace
}  // namespace miaohui
