// The public GIF suites, read in place: what each accepts or rejects, and the composed
// frames against the reference pixels where a suite gives them.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "picture/decode.h"
#include "picture/gif_reference.h"
#include "picture/gif_walk.h"
#include "support/testdata.h"

namespace miaohui::test {
namespace {

namespace fs = std::filesystem;

fs::path suite(const char* name) { return testdata_dir() / name; }

#define SKIP_WITHOUT(dir) \
  if (!fs::is_directory(dir)) GTEST_SKIP() << "public suite not found: " << (dir)

// ---- Robert Ancell's suite: a .conf per test gives the size and the expected frames.

using Ini = std::map<std::string, std::map<std::string, std::string>>;

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

Ini read_ini(const fs::path& path) {
  Ini ini;
  std::ifstream in(path);
  std::string line;
  std::string section;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const auto eq = line.find('='); eq != std::string::npos) {
      ini[section][trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
  }
  return ini;
}

std::vector<std::string> split_commas(const std::string& s) {
  std::vector<std::string> out;
  std::stringstream in(s);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!trim(item).empty()) out.push_back(trim(item));
  }
  return out;
}

std::optional<Image> ancell_frame(const fs::path& dir,
                                  const std::map<std::string, std::string>& frame, int width,
                                  int height) {
  if (const auto it = frame.find("image"); it != frame.end())
    return load_png_reference(dir / it->second);
  const auto it = frame.find("pixels");
  if (it == frame.end()) return std::nullopt;
  if (auto raw = load_rgba_reference(dir / it->second, width, height)) return raw;
  // Large raw dumps are kept only as their PNG twins.
  return load_png_reference(dir / fs::path(it->second).replace_extension(".png"));
}

// Where this program parts from the suite's own expectation, and why.
const std::map<std::string, std::string> ancell_departures = {
    // Screens past the size bound of 16384 pixels a side are not decoded.
    {"max-width", "reject"},
    {"max-height", "reject"},
    // A GIF without any image shows no picture here, rather than an empty screen.
    {"no-data", "reject"},
    // The suite leaves the frame of this GIF unsettled (it expects none); this program
    // skips the plain-text extension like every other and shows the image after it.
    {"plain-text", "accept"},
};

TEST(GifCorpus, AncellSuite) {
  const fs::path dir = suite("gif-testsuite-ancell");
  SKIP_WITHOUT(dir);
  std::ifstream list(dir / "TESTS");
  std::string name;
  int compared = 0;
  while (std::getline(list, name)) {
    name = trim(name);
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    const Ini ini = read_ini(dir / (name + ".conf"));
    const auto& config = ini.at("config");
    const Bytes gif = read_file(dir / config.at("input"));
    const Image still = decode_gif_still(gif);
    const auto frames = split_commas(config.count("frames") ? config.at("frames") : "");
    bool accept = !frames.empty();
    if (const auto d = ancell_departures.find(name); d != ancell_departures.end()) {
      accept = d->second == "accept";
    }
    if (!accept) {
      EXPECT_TRUE(still.empty());
      continue;
    }
    ASSERT_FALSE(still.empty());
    const int width = std::stoi(config.at("width"));
    const int height = std::stoi(config.at("height"));
    EXPECT_EQ(still.width, width);
    EXPECT_EQ(still.height, height);
    if (frames.empty()) continue;

    // The suite's frame ends with an image that waits (a delay of its own above zero), or
    // with every image when it forces animation; playback steps image by image.
    const auto images = walk_gif_images(gif);
    const bool every_image =
        config.count("force-animation") && config.at("force-animation") == "yes";
    std::vector<std::size_t> frame_ends;
    for (std::size_t i = 0; i < images.size(); ++i) {
      if (every_image || (images[i].has_control && images[i].delay > 0) || i + 1 == images.size()) {
        frame_ends.push_back(i);
      }
    }
    ASSERT_EQ(frame_ends.size(), frames.size());
    auto playback = GifPlayback::open(gif);
    EXPECT_EQ(playback != nullptr, images.size() >= 2);
    std::size_t step = 0;
    int delay = 0;
    for (std::size_t f = 0; f < frames.size(); ++f) {
      SCOPED_TRACE(frames[f]);
      const Image* ours = &still;
      if (playback) {
        while (step <= frame_ends[f]) {
          delay = playback->step();
          ++step;
        }
        ours = &playback->composed();
      } else if (f > 0) {
        break;
      }
      const auto& frame = ini.at(frames[f]);
      if (const auto d = frame.find("delay"); d != frame.end() && playback) {
        EXPECT_EQ(delay, std::stoi(d->second) * 10);
      }
      const auto reference = ancell_frame(dir, frame, width, height);
      if (!reference) continue;
      EXPECT_EQ(compare_pictures(*ours, *reference), "");
      ++compared;
    }
  }
  EXPECT_GT(compared, 50);
}

// ---- Peter Nelson's suite: reference PNGs per frame, frames/<name>-<i>.png.

TEST(GifCorpus, PeterdnSuite) {
  const fs::path dir = suite("gif-testsuite-peterdn");
  SKIP_WITHOUT(dir);
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".gif") continue;
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    const Bytes gif = read_file(entry.path());
    const Image still = decode_gif_still(gif);
    ASSERT_FALSE(still.empty());
    const auto playback = GifPlayback::open(gif);
    if (!playback) {
      const auto reference = load_png_reference(dir / "frames" / (name + ".png"));
      ASSERT_TRUE(reference);
      EXPECT_EQ(compare_pictures(still, *reference), "");
      ++compared;
      continue;
    }
    for (int i = 0; i < playback->frame_count(); ++i) {
      SCOPED_TRACE(i);
      playback->step();
      const auto reference =
          load_png_reference(dir / "frames" / (name + "-" + std::to_string(i) + ".png"));
      ASSERT_TRUE(reference);
      EXPECT_EQ(compare_pictures(playback->composed(), *reference), "");
      ++compared;
    }
  }
  EXPECT_GT(compared, 40);
}

// ---- giflib's sample pictures with its own render of each (RGB, no transparency).

TEST(GifCorpus, GiflibPictures) {
  const fs::path dir = suite("giflib-pic");
  SKIP_WITHOUT(dir);
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".gif") continue;
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    const Bytes gif = read_file(entry.path());
    const Image still = decode_gif_still(gif);
    ASSERT_FALSE(still.empty());
    const Bytes rgb = read_file(dir / "expected" / (name + ".rgb"));
    if (rgb.empty()) continue;  // not kept for the larger pictures
    // The render draws every image of the file over the last, so it matches the still
    // picture for single images and the end of the first pass for animations whose images
    // all cover the screen.
    const Image* ours = &still;
    const auto playback = GifPlayback::open(gif);
    if (playback) {
      for (int i = 0; i < playback->frame_count(); ++i) playback->step();
      ours = &playback->composed();
    }
    ASSERT_EQ(rgb.size(), std::size_t(still.width) * still.height * 3);
    Image reference;
    reference.width = still.width;
    reference.height = still.height;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
      reference.rgba.insert(reference.rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    }
    EXPECT_EQ(compare_pictures(*ours, reference, true), "");
    ++compared;
  }
  EXPECT_GE(compared, 6);
}

// ---- Pillow's and image-rs's GIFs: accepted or not as their folders' notes say.

struct Expectation {
  const char* file;
  enum { still, animation, rejected, either } result;
  int frames;  // for an animation
};

const Expectation collected[] = {
    {"pillow/gif/background_outside_palette.gif", Expectation::animation, 2},
    {"pillow/gif/comment_after_only_frame.gif", Expectation::still, 0},
    {"pillow/gif/decompression_bomb.gif", Expectation::rejected, 0},  // code size 143
    {"pillow/gif/decompression_bomb_extents.gif", Expectation::animation, 2},
    {"pillow/gif/different_transparency.gif", Expectation::animation, 2},
    {"pillow/gif/dispose_bgnd.gif", Expectation::animation, 5},
    {"pillow/gif/dispose_bgnd_transparency.gif", Expectation::animation, 10},
    {"pillow/gif/dispose_none.gif", Expectation::animation, 5},
    {"pillow/gif/dispose_none_load_end.gif", Expectation::animation, 2},
    {"pillow/gif/dispose_prev.gif", Expectation::animation, 5},
    {"pillow/gif/dispose_prev_first_frame.gif", Expectation::animation, 2},
    {"pillow/gif/duplicate_frame.gif", Expectation::animation, 3},
    {"pillow/gif/first_frame_transparency.gif", Expectation::still, 0},
    {"pillow/gif/hopper.gif", Expectation::still, 0},
    {"pillow/gif/hopper_resized.gif", Expectation::still, 0},
    {"pillow/gif/hopper_zero_comment_subblocks.gif", Expectation::still, 0},
    {"pillow/gif/issue_2811.gif", Expectation::still, 0},
    {"pillow/gif/missing_background.gif", Expectation::animation, 4},
    {"pillow/gif/no_palette.gif", Expectation::either, 0},
    {"pillow/gif/no_palette_after_rgb.gif", Expectation::either, 0},
    {"pillow/gif/no_palette_with_background.gif", Expectation::animation, 2},
    {"pillow/gif/no_palette_with_transparency.gif", Expectation::animation, 2},
    {"pillow/gif/second_frame_comment.gif", Expectation::animation, 3},
    {"pillow/gif/test_extents.gif", Expectation::animation, 2},
    {"pillow/gif/test_extents_transparency.gif", Expectation::either, 0},  // garbage after frame 1
    {"pillow/gif/text_mono.gif", Expectation::still, 0},
    {"pillow/gif/transparent.gif", Expectation::still, 0},
    {"pillow/gif/transparent_dispose.gif", Expectation::animation, 3},
    {"pillow/gif/zero_width.gif", Expectation::rejected, 0},
    {"image-rs/gif/any-disposal.gif", Expectation::animation, 5},
    {"image-rs/gif/border_touching_layers.gif", Expectation::animation, 2},
    {"image-rs/gif/interlaced.gif", Expectation::still, 0},
    {"image-rs/gif/issue_1455_oversized.gif", Expectation::still, 0},
    {"image-rs/gif/issue_1455_undersized.gif", Expectation::animation, 2},
    {"image-rs/gif/large-gif-anim-combine.gif", Expectation::animation, 2},
    {"image-rs/gif/mixed-disposal.gif", Expectation::animation, 5},
    {"image-rs/gif/oob.gif", Expectation::still, 0},
    {"image-rs/gif/sample_1.gif", Expectation::still, 0},
};

TEST(GifCorpus, PillowAndImageRsGifs) {
  SKIP_WITHOUT(suite("pillow"));
  SKIP_WITHOUT(suite("image-rs"));
  for (const auto& e : collected) {
    SCOPED_TRACE(e.file);
    const Bytes gif = read_file(testdata_dir() / e.file);
    ASSERT_FALSE(gif.empty());
    const Image still = decode_gif_still(gif);
    const auto playback = GifPlayback::open(gif);
    // Whatever the verdict, playing a few passes must be safe.
    if (playback) {
      for (int i = 0; i < 3 * playback->frame_count(); ++i) playback->step();
    }
    switch (e.result) {
      case Expectation::still:
        EXPECT_FALSE(still.empty());
        EXPECT_FALSE(playback);
        break;
      case Expectation::animation:
        EXPECT_FALSE(still.empty());
        ASSERT_TRUE(playback);
        EXPECT_EQ(playback->frame_count(), e.frames);
        EXPECT_EQ(playback->width(), still.width);
        EXPECT_EQ(playback->height(), still.height);
        break;
      case Expectation::rejected:
        EXPECT_TRUE(still.empty());
        EXPECT_FALSE(playback);
        break;
      case Expectation::either:
        break;
    }
  }
}

}  // namespace
}  // namespace miaohui::test
