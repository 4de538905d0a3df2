// picture-dump run as a program on crafted files: its line, its exit status and its PAM files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "picture/decode_craft.h"
#include "support/testdata.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out;
};

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

ToolRun run_tool(const std::vector<std::string>& args) {
  std::string command = quoted(PICTURE_DUMP_PATH);
  for (const std::string& a : args) command += " " + quoted(a);
  command += " 2>/dev/null";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

class PictureDump : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("picture-dump-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const Bytes& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  fs::path dir_;
};

// 2 x 1, 24 bits: a red pixel and a blue one.
Bytes two_pixel_bmp() { return test::make_bmp(2, 1, 24, {}, {0, 0, 255, 255, 0, 0, 0, 0}); }

TEST_F(PictureDump, PrintsFormatAndSizeAndWritesStraightRgbaPam) {
  const std::string pam = (dir_ / "out.pam").string();
  const ToolRun run = run_tool({write("in.bmp", two_pixel_bmp()), pam});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "BMP 2x1\n");
  const Bytes written = test::read_file(pam);
  const std::string header = "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  Bytes expected(header.begin(), header.end());
  expected.insert(expected.end(), {255, 0, 0, 255, 0, 0, 255, 255});
  EXPECT_EQ(written, expected);
}

TEST_F(PictureDump, FramesOfAStillPictureAreThePictureItself) {
  const fs::path frames = dir_ / "frames";
  const ToolRun run = run_tool({write("in.bmp", two_pixel_bmp()), "--frames", frames.string()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "BMP 2x1\nframe-000.pam\n");
  EXPECT_TRUE(fs::exists(frames / "frame-000.pam"));
}

TEST_F(PictureDump, ReportsWhatDoesNotDecode) {
  Bytes short_bmp = two_pixel_bmp();
  short_bmp.pop_back();
  struct Case {
    const char* name;
    Bytes bytes;
    std::string line;
  };
  const Case cases[] = {
      {"page.html", test::as_bytes("<html><body>not found</body></html>"), "unknown\n"},
      {"seven.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J'}, "unknown\n"},
      {"short.bmp", short_bmp, "BMP undecodable\n"},
  };
  for (const Case& c : cases) {
    const std::string pam = (dir_ / "never.pam").string();
    const ToolRun run = run_tool({write(c.name, c.bytes), pam});
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_EQ(run.out, c.line) << c.name;
    EXPECT_FALSE(fs::exists(pam)) << c.name;
  }
}

TEST_F(PictureDump, UsageAndFileErrorsExitWithTwo) {
  const std::string bmp = write("in.bmp", two_pixel_bmp());
  EXPECT_EQ(run_tool({}).status, 2);
  EXPECT_EQ(run_tool({bmp, "a.pam", "b.pam"}).status, 2);
  EXPECT_EQ(run_tool({bmp, "--frames"}).status, 2);
  EXPECT_EQ(run_tool({bmp, "--bogus"}).status, 2);
  EXPECT_EQ(run_tool({(dir_ / "missing.bmp").string()}).status, 2);
  EXPECT_EQ(run_tool({dir_.string()}).status, 2);
  EXPECT_EQ(run_tool({bmp, (dir_ / "no-such-dir" / "out.pam").string()}).status, 2);
}

}  // namespace
}  // namespace miaohui
