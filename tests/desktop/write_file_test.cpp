#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "desktop/save.h"
#include "desktop_fixture.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

Bytes every_byte_value(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return bytes;
}

class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(old_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t old_;
};

// Caps the size of any file this process writes (writes past it fail with EFBIG, even for
// root), with SIGXFSZ ignored so that the failure comes back as an error.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  sighandler_t old_handler_ = SIG_DFL;
  bool ok_ = false;
};

TEST(WriteBytesFile, WritesExactlyTheBytesAndNothingElse) {
  struct Case {
    const char* title;
    Bytes data;
  };
  const Case cases[] = {
      {"no bytes", {}},
      {"zeros inside and at the ends", {0, 0, 'J', 0, 'F', 0xFF, 0}},
      {"every byte value, 1 MiB and a bit", every_byte_value((1 << 20) + 13)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    TempDir tmp;
    const fs::path target = tmp.path() / "炫耀照.jpg";
    ASSERT_TRUE(write_bytes_file(target.string(), c.data));
    EXPECT_EQ(test::read_file(target), c.data);
    EXPECT_EQ(test::folder_names(tmp.path()), (std::vector<std::string>{"炫耀照.jpg"}));
  }
}

TEST(WriteBytesFile, ReplacesAnEarlierFileWhole) {
  TempDir tmp;
  const fs::path target = tmp.path() / "out.jpg";
  test::write_text(target, "a much longer earlier picture");
  ASSERT_TRUE(write_bytes_file(target.string(), test::as_bytes("short")));
  EXPECT_EQ(test::read_file(target), test::as_bytes("short"));
  ASSERT_TRUE(write_bytes_file(target.string(), {}));
  EXPECT_EQ(fs::file_size(target), 0u);
  EXPECT_EQ(test::folder_names(tmp.path()), (std::vector<std::string>{"out.jpg"}));
}

TEST(WriteBytesFile, ModeIs0644LessTheUmask) {
  for (const auto& [mask, expected] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {0, 0644}}) {
    SCOPED_TRACE(testing::Message() << "umask " << std::oct << mask);
    TempDir tmp;
    const fs::path target = tmp.path() / "out.jpg";
    const ScopedUmask umask(mask);
    ASSERT_TRUE(write_bytes_file(target.string(), test::as_bytes("x")));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, expected);
  }
}

TEST(WriteBytesFile, BareNameLandsInTheCurrentFolder) {
  TempDir tmp;
  const test::ScopedCurrentDir cwd(tmp.path());
  ASSERT_TRUE(write_bytes_file("炫耀照.jpg", test::as_bytes("here")));
  EXPECT_EQ(test::read_file(tmp.path() / "炫耀照.jpg"), test::as_bytes("here"));
  EXPECT_EQ(test::folder_names(tmp.path()), (std::vector<std::string>{"炫耀照.jpg"}));
}

TEST(WriteBytesFile, EmptyNameTouchesNothing) {
  TempDir tmp;
  const test::ScopedCurrentDir cwd(tmp.path());
  EXPECT_FALSE(write_bytes_file("", test::as_bytes("data")));
  EXPECT_TRUE(test::folder_names(tmp.path()).empty());
}

// Each failure reports false and leaves the folder as it was: no temporary file behind.
TEST(WriteBytesFile, FailuresLeaveTheFolderAsItWas) {
  struct Case {
    const char* title;
    const char* target;  // under the temporary folder
  };
  const Case cases[] = {
      {"parent is a file", "plain-file/out.jpg"},
      {"parent is missing", "missing/out.jpg"},
      {"a directory in the way", "in-the-way"},
      {"a non-empty directory in the way", "full-dir"},
      {"name ends in a slash", "in-the-way/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    TempDir tmp;
    test::write_text(tmp.path() / "plain-file", "keep");
    fs::create_directories(tmp.path() / "in-the-way");
    fs::create_directories(tmp.path() / "full-dir");
    test::write_text(tmp.path() / "full-dir/inside", "keep");
    const std::vector<std::string> before = test::folder_names(tmp.path());

    EXPECT_FALSE(write_bytes_file((tmp.path() / c.target).string(), test::as_bytes("picture")));
    EXPECT_EQ(test::folder_names(tmp.path()), before);
    EXPECT_TRUE(test::folder_names(tmp.path() / "in-the-way").empty());
    EXPECT_EQ(test::read_file(tmp.path() / "plain-file"), test::as_bytes("keep"));
  }
}

// A write that fails part way (as on a full disk) keeps the earlier picture byte for byte.
TEST(WriteBytesFile, FailedWriteKeepsTheEarlierFile) {
  TempDir tmp;
  const fs::path target = tmp.path() / "炫耀照.jpg";
  const Bytes earlier = every_byte_value(1000);
  ASSERT_TRUE(write_bytes_file(target.string(), earlier));
  {
    const ScopedFileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(write_bytes_file(target.string(), every_byte_value(64 * 1024)));
  }
  EXPECT_EQ(test::read_file(target), earlier);
  EXPECT_EQ(test::folder_names(tmp.path()), (std::vector<std::string>{"炫耀照.jpg"}));
}

}  // namespace
}  // namespace miaohui
