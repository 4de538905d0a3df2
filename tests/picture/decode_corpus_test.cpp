// The public picture suites, read in place. Each folder's README.md has a table with a row a
// file and an expectation column: ACCEPT (a picture is shown), REJECT (no picture), or an
// open verdict ("ACCEPT or REJECT", "no crash"). Open rows take this program's own choice
// from the table below when it has one; every file of a folder is decoded, listed or not, and
// none may crash (the asan preset runs this too).
//
// GIF files are decoded here for safety only: the GIF suite checks what they show.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "picture/decode.h"
#include "picture/decode_craft.h"
#include "support/testdata.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;

enum class Verdict { accept, reject, open };

struct Choice {
  const char* file;  // folder/path as the README names it
  bool decodes;
  const char* why;
};

// What this program does where a README leaves the verdict open.
const Choice choices[] = {
    {"bmpsuite/g/pal8os2.bmp", true, "OS/2 1.x headers are read"},
    {"bmpsuite/q/pal8os2sp.bmp", true, "OS/2 1.x headers are read; the palette lies in the file"},
    {"bmpsuite/q/pal8os2v2.bmp", true, "OS/2 2.x headers are read"},
    {"bmpsuite/q/pal8os2v2-16.bmp", true, "short OS/2 2.x headers are read"},
    {"bmpsuite/g/pal8topdown.bmp", true, "top-down rows are shown upright"},
    {"bmpsuite/b/badbitssize.bmp", true, "the image-size field is not needed"},
    {"bmpsuite/b/badfilesize.bmp", true, "the file-size field is not needed"},
    {"bmpsuite/b/baddens1.bmp", true, "resolution is not used"},
    {"bmpsuite/b/baddens2.bmp", true, "resolution is not used"},
    {"bmpsuite/b/badplanes.bmp", true, "the planes field is ignored"},
    {"bmpsuite/b/badpalettesize.bmp", false, "a declared palette larger than the file"},
    {"bmpsuite/b/pal8badindex.bmp", true, "indices past the palette are opaque black"},
    {"pillow/jpeg/pil_sample_cmyk.jpg", true, "CMYK is converted to RGB"},
    {"pillow/cur/mask_1.cur", false, "the entry's length is shorter than its bitmap"},
    {"pillow/cur/mask_L.cur", false, "the entry's length is shorter than its bitmap"},
    {"image-rs/ico/bmp_v5_with_icc.ico", true, "any BMP info header is read in an icon"},
    {"image-rs/ico/lenient-bpp.ico", true, "the directory's depth is not used"},
    {"image-rs/ico/truncated_mask_32bpp.ico", true, "32-bit entries need no mask"},
};

Verdict verdict_of(const std::string& text) {
  if (text.find(" or ") != std::string::npos) return Verdict::open;
  if (text.rfind("ACCEPT", 0) == 0) return Verdict::accept;
  if (text.rfind("REJECT", 0) == 0 || text.rfind("unknown format", 0) == 0) return Verdict::reject;
  return Verdict::open;
}

std::vector<std::string> cells_of(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = 1;
  for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
    std::string cell = line.substr(start, bar - start);
    const auto first = cell.find_first_not_of(' ');
    const auto last = cell.find_last_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
  }
  return cells;
}

// File -> verdict text, from every table of the README whose header has a "file" column
// and an expectation column. Cells are counted from the right for the expectation, as the
// description cells may hold a '|' of their own.
std::map<std::string, std::string> read_expectations(const fs::path& readme) {
  std::map<std::string, std::string> rows;
  std::ifstream in(readme);
  constexpr std::size_t none = std::string::npos;
  std::size_t from_right = none;  // expectation column, counted from the right
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("|", 0) != 0) {
      from_right = none;
      continue;
    }
    const std::vector<std::string> cells = cells_of(line);
    if (cells.empty()) continue;
    if (cells[0] == "file") {
      for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].find("expectation") != std::string::npos) from_right = cells.size() - 1 - i;
      }
      continue;
    }
    if (from_right == none || cells[0].rfind("---", 0) == 0 || cells.size() <= from_right) continue;
    rows[cells[0]] = cells[cells.size() - 1 - from_right];
  }
  return rows;
}

class Corpus : public testing::TestWithParam<const char*> {};

TEST_P(Corpus, DecodesAsItsReadmeSays) {
  const std::string folder = GetParam();
  const fs::path dir = test::testdata_dir() / folder;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "public picture suite not found: " << dir;

  const auto rows = read_expectations(dir / "README.md");
  ASSERT_FALSE(rows.empty()) << "no table rows read from " << dir / "README.md";
  std::map<std::string, const Choice*> chosen;
  for (const Choice& c : choices) {
    const std::string name = c.file;
    if (name.rfind(folder + "/", 0) == 0) chosen[name.substr(folder.size() + 1)] = &c;
  }

  int checked = 0;
  for (const auto& [file, text] : rows) {
    SCOPED_TRACE(folder + "/" + file + ": " + text);
    const Bytes bytes = test::read_file(dir / file);
    ASSERT_FALSE(bytes.empty()) << "listed but missing";
    const DecodedPicture picture = decode_picture(bytes, true);
    if (picture.format == PictureFormat::gif) continue;

    Verdict verdict = verdict_of(text);
    const char* why = "as the README says";
    if (const auto it = chosen.find(file); it != chosen.end()) {
      ASSERT_EQ(verdict, Verdict::open) << "a choice for a row the README settles";
      verdict = it->second->decodes ? Verdict::accept : Verdict::reject;
      why = it->second->why;
    }
    SCOPED_TRACE(why);
    if (verdict == Verdict::accept) {
      EXPECT_FALSE(picture.empty()) << "should decode";
      ++checked;
    } else if (verdict == Verdict::reject) {
      EXPECT_TRUE(picture.empty()) << "should give no picture";
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
  RecordProperty("files_checked", checked);
  for (const auto& [name, choice] : chosen) EXPECT_TRUE(rows.count(name)) << "unknown " << name;

  // Every file, in a table or not, decodes or not without harm.
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    const DecodedPicture picture = decode_picture(test::read_file(entry.path()), true);
    if (!picture.still.empty()) {
      EXPECT_EQ(picture.still.rgba.size(),
                static_cast<std::size_t>(picture.still.width) * picture.still.height * 4);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(PublicSuites, Corpus,
                         testing::Values("bmpsuite", "pngsuite", "pillow", "image-rs"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// Files that store the same picture in different ways must show the same pixels.
TEST(Corpus, TwinsDecodeAlike) {
  const fs::path root = test::testdata_dir();
  if (!fs::is_directory(root / "bmpsuite") || !fs::is_directory(root / "pngsuite")) {
    GTEST_SKIP() << "public picture suites not found: " << root;
  }
  std::vector<std::vector<std::string>> groups = {
      // Palette sizes, header kinds, row order, a gap before the pixels.
      {"bmpsuite/g/pal8.bmp", "bmpsuite/g/pal8-0.bmp", "bmpsuite/g/pal8os2.bmp",
       "bmpsuite/g/pal8topdown.bmp", "bmpsuite/g/pal8v4.bmp", "bmpsuite/g/pal8v5.bmp",
       "bmpsuite/q/pal8offs.bmp", "bmpsuite/q/pal8os2sp.bmp", "bmpsuite/q/pal8os2v2.bmp",
       "bmpsuite/q/pal8os2v2-16.bmp", "bmpsuite/q/pal8oversizepal.bmp"},
      // 24 and 32 bits, unused palettes, colour profiles, a nonzero unused byte.
      {"bmpsuite/g/rgb24.bmp", "bmpsuite/g/rgb24pal.bmp", "bmpsuite/g/rgb32.bmp",
       "bmpsuite/q/rgb24largepal.bmp", "bmpsuite/q/rgb24lprof.bmp", "bmpsuite/q/rgb24prof.bmp",
       "bmpsuite/q/rgb32fakealpha.bmp"},
  };
  // Each interlaced PngSuite file (fourth letter i) with its non-interlaced twin (n).
  for (const auto& entry : fs::directory_iterator(root / "pngsuite")) {
    std::string name = entry.path().filename().string();
    if (name.size() < 4 || name[0] == 'x' || name[3] != 'i') continue;
    std::string twin = name;
    twin[3] = 'n';
    if (fs::exists(root / "pngsuite" / twin)) groups.push_back({"pngsuite/" + twin, "pngsuite/" + name});
  }
  ASSERT_GT(groups.size(), 20u);
  for (const auto& group : groups) {
    const Image first = decode_picture(test::read_file(root / group[0]), true).still;
    ASSERT_FALSE(first.empty()) << group[0];
    for (std::size_t i = 1; i < group.size(); ++i) {
      const Image other = decode_picture(test::read_file(root / group[i]), true).still;
      EXPECT_EQ(other.width, first.width) << group[i];
      EXPECT_TRUE(other.rgba == first.rgba) << group[i] << " differs from " << group[0];
    }
  }
}

TEST(Corpus, IconRulePicksTheListedEntry) {
  // Sizes of the entry each file's directory leads to (see the image-rs and Pillow READMEs).
  struct Case {
    const char* file;
    int width, height;
  };
  const Case cases[] = {
      {"image-rs/ico/multiple_entries_with_different_bit_depth.ico", 32, 32},  // entry 0
      {"image-rs/ico/smile.ico", 32, 32},                                      // entry 0
      {"pillow/ico/python.ico", 48, 48},                                       // the last
      {"pillow/ico/pillow.ico", 16, 16},                                       // the last
  };
  for (const Case& c : cases) {
    const fs::path path = test::testdata_dir() / c.file;
    if (!fs::exists(path)) GTEST_SKIP() << "public picture suite not found: " << path;
    const Image image = decode_ico(test::read_file(path));
    ASSERT_FALSE(image.empty()) << c.file;
    EXPECT_EQ(image.width, c.width) << c.file;
    EXPECT_EQ(image.height, c.height) << c.file;
  }
}

}  // namespace
}  // namespace miaohui
