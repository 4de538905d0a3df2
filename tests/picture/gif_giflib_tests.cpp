// Differential check against giflib: it reads each GIF of the public suites into indexed
// images, composed here by the same rules (GIF89a disposal, transparency and delay carried
// over to images without a control block, clipping to the screen), and the still picture
// and every playback step must match that composition pixel for pixel.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "picture/decode.h"
#include "picture/gif_reference.h"
#include "support/testdata.h"

namespace miaohui::test {
namespace {

namespace fs = std::filesystem;

struct Source {
  const Bytes* bytes;
  std::size_t at = 0;
};

int read_source(GifFileType* gif, GifByteType* out, int n) {
  auto* source = static_cast<Source*>(gif->UserData);
  const std::size_t take =
      std::min(static_cast<std::size_t>(n), source->bytes->size() - source->at);
  std::memcpy(out, source->bytes->data() + source->at, take);
  source->at += take;
  return static_cast<int>(take);
}

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

struct Area {
  int x0, y0, x1, y1;
};

// The composition, frame after frame, of what giflib read.
class ReferencePlayer {
 public:
  explicit ReferencePlayer(GifFileType* gif) : gif_(gif) {
    canvas_.width = gif->SWidth;
    canvas_.height = gif->SHeight;
    canvas_.rgba.assign(static_cast<std::size_t>(canvas_.width) * canvas_.height * 4, 0);
  }

  int frame_count() const { return gif_->ImageCount; }
  const Image& composed() const { return canvas_; }

  // Draws image i (i == 0 starts a pass afresh) and returns its delay in ms.
  int step(int i) {
    dispose();
    if (i == 0) {
      delay_ = 0;
      transparent_ = NO_TRANSPARENT_COLOR;
    }
    int disposal = 0;
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif_, i, &control) == GIF_OK) {
      disposal = control.DisposalMode;
      delay_ = control.DelayTime;
      transparent_ = control.TransparentColor;
    }
    const SavedImage& image = gif_->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif_->SColorMap;
    const Area area{std::min(d.Left, canvas_.width), std::min(d.Top, canvas_.height),
                    std::min(d.Left + d.Width, canvas_.width),
                    std::min(d.Top + d.Height, canvas_.height)};
    const bool visible = area.x0 < area.x1 && area.y0 < area.y1;
    const int colours = map ? map->ColorCount : 0;
    const std::size_t pixels = static_cast<std::size_t>(d.Width) * d.Height;
    // An index that names no colour damages the image: it is not drawn.
    const bool damaged =
        visible && std::any_of(image.RasterBits, image.RasterBits + pixels,
                               [&](GifByteType v) { return v >= colours && v != transparent_; });
    if (visible && !damaged) {
      if (disposal == DISPOSE_PREVIOUS) saved_ = canvas_;
      for (int y = area.y0; y < area.y1; ++y) {
        for (int x = area.x0; x < area.x1; ++x) {
          const int v =
              image.RasterBits[static_cast<std::size_t>(y - d.Top) * d.Width + (x - d.Left)];
          if (v == transparent_) continue;
          std::uint8_t* p = &canvas_.rgba[(static_cast<std::size_t>(y) * canvas_.width + x) * 4];
          const GifColorType c = map->Colors[v];
          p[0] = c.Red;
          p[1] = c.Green;
          p[2] = c.Blue;
          p[3] = 255;
        }
      }
      previous_disposal_ = disposal;
      previous_area_ = area;
    }
    first_damaged_ = i == 0 && damaged;
    return delay_ == 0 ? 50 : delay_ * 10;
  }

  bool first_damaged() const { return first_damaged_; }

 private:
  void dispose() {
    const Area a = previous_area_;
    for (int y = a.y0; y < a.y1; ++y) {
      for (int x = a.x0; x < a.x1; ++x) {
        const std::size_t at = (static_cast<std::size_t>(y) * canvas_.width + x) * 4;
        if (previous_disposal_ == DISPOSE_BACKGROUND) std::memset(&canvas_.rgba[at], 0, 4);
        if (previous_disposal_ == DISPOSE_PREVIOUS)
          std::memcpy(&canvas_.rgba[at], &saved_.rgba[at], 4);
      }
    }
    previous_disposal_ = 0;
    previous_area_ = {};
  }

  GifFileType* gif_;
  Image canvas_;
  Image saved_;
  int delay_ = 0;
  int transparent_ = NO_TRANSPARENT_COLOR;
  int previous_disposal_ = 0;
  Area previous_area_{};
  bool first_damaged_ = false;
};

std::vector<fs::path> suite_gifs() {
  std::vector<fs::path> out;
  for (const char* dir : {"gif-testsuite-ancell", "gif-testsuite-peterdn", "giflib-pic",
                          "pillow/gif", "image-rs/gif"}) {
    const fs::path path = testdata_dir() / dir;
    if (!fs::is_directory(path)) continue;
    for (const auto& entry : fs::directory_iterator(path)) {
      if (entry.path().extension() == ".gif") out.push_back(entry.path());
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(GifAgainstGiflib, StillsAndEveryFrameOfTwoPasses) {
  const auto files = suite_gifs();
  if (files.empty()) GTEST_SKIP() << "public GIF suites not found under " << testdata_dir();
  int stills = 0;
  int animations = 0;
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    const Bytes bytes = read_file(path);
    Source source{&bytes};
    int error = 0;
    GifHandle gif(DGifOpen(&source, read_source, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) continue;
    if (gif->SWidth < 1 || gif->SHeight < 1 || gif->SWidth > max_picture_side ||
        gif->SHeight > max_picture_side ||
        std::int64_t{gif->SWidth} * gif->SHeight > max_picture_pixels) {
      continue;  // past the size bound: no picture, checked elsewhere
    }
    ReferencePlayer reference(gif.get());
    reference.step(0);
    const Image still = decode_gif_still(bytes);
    if (reference.first_damaged()) {
      EXPECT_TRUE(still.empty());
    } else {
      ASSERT_FALSE(still.empty());
      EXPECT_EQ(compare_pictures(still, reference.composed()), "");
      ++stills;
    }

    const auto playback = GifPlayback::open(bytes);
    ASSERT_EQ(playback != nullptr, reference.frame_count() >= 2);
    if (!playback) continue;
    ASSERT_EQ(playback->frame_count(), reference.frame_count());
    ReferencePlayer replay(gif.get());
    [&] {
      for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < replay.frame_count(); ++i) {
          SCOPED_TRACE(testing::Message() << "pass " << pass << " frame " << i);
          const int want = replay.step(i);
          EXPECT_EQ(playback->step(), want);
          // Later frames build on this one: the first difference is the one to see.
          ASSERT_EQ(compare_pictures(playback->composed(), replay.composed()), "");
        }
      }
    }();
    ++animations;
  }
  EXPECT_GT(stills, 50);
  EXPECT_GT(animations, 20);
}

}  // namespace
}  // namespace miaohui::test
