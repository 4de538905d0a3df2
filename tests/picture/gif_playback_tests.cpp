// The playback of animated GIFs, step by step, on GIFs crafted here.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "picture/decode.h"
#include "picture/gif_writer.h"

namespace miaohui::test {
namespace {

using Pixels = std::vector<std::uint32_t>;

const std::vector<Rgb> rgbw = {red, green, blue, white};

CraftedImage at(int left, int top, int width, int height, std::uint8_t index) {
  CraftedImage s;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.indices.assign(static_cast<std::size_t>(width) * height, index);
  return s;
}

// Two pixels, so that the bad code comes before the image is full.
CraftedImage damaged_image() {
  CraftedImage s = at(0, 0, 2, 1, 0);
  LzwCodeWriter codes(2);
  codes.emit(codes.clear());
  codes.emit(0);
  codes.emit(7);  // the table's next code is 6
  s.data = codes.bytes();
  return s;
}

struct Step {
  int delay;
  Pixels composed;
};

std::vector<Step> play(const Bytes& gif, int steps) {
  auto playback = GifPlayback::open(gif);
  EXPECT_TRUE(playback);
  std::vector<Step> out;
  if (!playback) return out;
  for (int i = 0; i < steps; ++i) {
    const int delay = playback->step();
    out.push_back({delay, pixels(playback->composed())});
  }
  return out;
}

TEST(GifPlayback, OpensOnlyGifsOfSeveralFrames) {
  const Bytes one = GifWriter(1, 1, rgbw).control(3).fill(1, 1, 0).finish();
  const Bytes none = GifWriter(1, 1, rgbw).comment("no image").finish();
  const Bytes huge = GifWriter(8192, 8192, rgbw).fill(1, 1, 0).fill(1, 1, 1).finish();
  EXPECT_FALSE(GifPlayback::open(one));
  EXPECT_FALSE(GifPlayback::open(none));
  EXPECT_FALSE(GifPlayback::open(huge));
  EXPECT_FALSE(GifPlayback::open(Bytes{'G', 'I', 'F'}));

  // Extensions of every kind between the images do not count as frames.
  const Bytes three = GifWriter(3, 2, rgbw)
                          .comment("first")
                          .control(1)
                          .fill(3, 2, 0)
                          .raw({0x21, 0xFF, 3, 'a', 'b', 'c', 0})
                          .fill(3, 2, 1)
                          .control(1)
                          .comment("last")
                          .fill(3, 2, 2)
                          .finish();
  const auto playback = GifPlayback::open(three);
  ASSERT_TRUE(playback);
  EXPECT_EQ(playback->frame_count(), 3);
  EXPECT_EQ(playback->width(), 3);
  EXPECT_EQ(playback->height(), 2);
  EXPECT_EQ(playback->composed().width, 3);
  EXPECT_EQ(pixels(playback->composed()), Pixels(6, T));  // nothing drawn before the first step
}

TEST(GifPlayback, KeepsItsOwnCopyOfTheBytes) {
  auto bytes = std::make_unique<Bytes>(GifWriter(1, 1, rgbw).fill(1, 1, 0).fill(1, 1, 1).finish());
  const auto playback = GifPlayback::open(*bytes);
  ASSERT_TRUE(playback);
  bytes.reset();
  playback->step();
  playback->step();
  EXPECT_EQ(pixels(playback->composed()), Pixels{G});
}

TEST(GifPlayback, ReportsDelaysInMilliseconds) {
  const Bytes gif = GifWriter(1, 1, rgbw)
                        .fill(1, 1, 0)  // no control block yet: delay 0
                        .control(0)
                        .fill(1, 1, 1)
                        .control(1)
                        .fill(1, 1, 2)
                        .control(7)
                        .fill(1, 1, 3)
                        .fill(1, 1, 0)  // keeps 7
                        .control(65535)
                        .fill(1, 1, 1)
                        .finish();
  std::vector<int> delays;
  for (const auto& s : play(gif, 6)) delays.push_back(s.delay);
  EXPECT_EQ(delays, (std::vector<int>{50, 50, 10, 70, 70, 655350}));
}

TEST(GifPlayback, FramesWithoutAControlBlockKeepItsTransparencyButNotItsDisposal) {
  const Bytes gif = GifWriter(2, 1, rgbw)
                        .control(2, 0)
                        .image(at(0, 0, 2, 1, 0))
                        .control(3, 2, 1)  // disposal 2, index 1 transparent
                        .image(at(0, 0, 1, 1, 2))
                        .image(at(1, 0, 1, 1, 1))  // transparent: draws nothing
                        .image(at(1, 0, 1, 1, 3))  // disposal 0 again: stays after it
                        .control(4, 0)             // transparency off
                        .image(at(0, 0, 1, 1, 1))
                        .finish();
  const auto steps = play(gif, 5);
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0].composed, (Pixels{R, R}));
  EXPECT_EQ(steps[1].composed, (Pixels{B, R}));
  EXPECT_EQ(steps[2].composed, (Pixels{T, R}));  // the second frame's area cleared
  EXPECT_EQ(steps[2].delay, 30);
  EXPECT_EQ(steps[3].composed, (Pixels{T, W}));
  EXPECT_EQ(steps[4].composed, (Pixels{G, W}));
}

TEST(GifPlayback, DisposesEachFrameAsItAsks) {
  // A full red frame, then a blue pixel at the left with the disposal under test, then a
  // green pixel at the right.
  struct Case {
    int disposal;
    Pixels after_third;
  };
  const std::vector<Case> cases = {
      {0, {B, G, R}},  // left as it is
      {1, {B, G, R}},  // left as it is
      {2, {T, G, R}},  // cleared to transparent
      {3, {R, G, R}},  // put back as it was before the blue frame
      {4, {B, G, R}},  // undefined values act as none
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.disposal);
    const Bytes gif = GifWriter(3, 1, rgbw)
                          .fill(3, 1, 0)
                          .control(0, c.disposal)
                          .image(at(0, 0, 1, 1, 2))
                          .image(at(1, 0, 1, 1, 1))
                          .finish();
    const auto steps = play(gif, 3);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].composed, (Pixels{B, R, R}));
    EXPECT_EQ(steps[2].composed, c.after_third);
  }
}

TEST(GifPlayback, RestoresWhatTransparentPixelsLetThrough) {
  // Disposal 3 over a frame with transparent holes puts back exactly the pixels before it.
  CraftedImage holes = at(0, 0, 3, 1, 0);
  holes.indices = {2, 3, 2};
  const Bytes gif = GifWriter(3, 1, rgbw)
                        .image(at(0, 0, 2, 1, 1))
                        .control(0, 3, 3)
                        .image(holes)
                        .control(0, 0)
                        .image(at(2, 0, 1, 1, 3))
                        .finish();
  const auto steps = play(gif, 3);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].composed, (Pixels{G, G, T}));
  EXPECT_EQ(steps[1].composed, (Pixels{B, G, B}));
  EXPECT_EQ(steps[2].composed, (Pixels{G, G, W}));
}

TEST(GifPlayback, DisposalOfTheFirstFrameRestoresTransparency) {
  const Bytes gif =
      GifWriter(2, 1, rgbw).control(0, 3).fill(2, 1, 0).image(at(1, 0, 1, 1, 1)).finish();
  const auto steps = play(gif, 2);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].composed, (Pixels{R, R}));
  EXPECT_EQ(steps[1].composed, (Pixels{T, G}));
}

TEST(GifPlayback, LoopsBackToTheFirstFrameOnTheKeptPicture) {
  const Bytes gif = GifWriter(2, 1, rgbw)
                        .image(at(0, 0, 1, 1, 0))  // no control block: delay 0, opaque
                        .control(20, 0, 0)         // index 0 transparent from here on
                        .image(at(0, 0, 2, 1, 1))
                        .finish();
  const auto steps = play(gif, 5);
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0].composed, (Pixels{R, T}));
  EXPECT_EQ(steps[1].composed, (Pixels{G, G}));
  // The second pass draws over what the first one left. Its first frame, with no frame
  // before it in the pass, inherits nothing from the last one: opaque, 50 ms.
  EXPECT_EQ(steps[2].composed, (Pixels{R, G}));
  EXPECT_EQ(steps[2].delay, 50);
  EXPECT_EQ(steps[3].composed, (Pixels{G, G}));
  EXPECT_EQ(steps[3].delay, 200);
  EXPECT_EQ(steps[4].composed, (Pixels{R, G}));

  // The disposal of the last frame is carried out before the first frame of the next pass.
  const Bytes clears = GifWriter(2, 1, rgbw)
                           .image(at(0, 0, 1, 1, 0))
                           .control(0, 2)
                           .image(at(1, 0, 1, 1, 1))
                           .finish();
  const auto looped = play(clears, 3);
  ASSERT_EQ(looped.size(), 3u);
  EXPECT_EQ(looped[2].composed, (Pixels{R, T}));
}

TEST(GifPlayback, ClipsFramesToTheScreen) {
  // A 3x3 frame at (1,1) on a 2x2 screen shows only its top-left pixel; disposal 2 then
  // clears only that pixel. A frame wholly outside draws nothing and is still a frame.
  const Bytes gif = GifWriter(2, 2, rgbw)
                        .fill(2, 2, 0)
                        .control(5, 2)
                        .image(at(1, 1, 3, 3, 2))
                        .control(6)
                        .image(at(7, 0, 2, 2, 1))
                        .finish();
  const auto steps = play(gif, 3);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[1].composed, (Pixels{R, R, R, B}));
  EXPECT_EQ(steps[2].composed, (Pixels{R, R, R, T}));
  EXPECT_EQ(steps[2].delay, 60);
}

TEST(GifPlayback, ADamagedBlockDrawsNoFrameAndPlayingGoesOn) {
  const Bytes gif = GifWriter(2, 1, rgbw)
                        .control(1, 2)
                        .image(at(0, 0, 1, 1, 0))
                        .control(2, 0, 3)
                        .image(damaged_image())
                        .raw({0x00, 0x13, 0x37})  // bytes that are no block at all
                        .control(4)
                        .image(at(1, 0, 1, 1, 1))
                        .finish();
  const auto playback = GifPlayback::open(gif);
  ASSERT_TRUE(playback);
  EXPECT_EQ(playback->frame_count(), 3);
  const auto steps = play(gif, 5);
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0].composed, (Pixels{R, T}));
  // The first frame's disposal still happens; the damaged image draws nothing.
  EXPECT_EQ(steps[1].composed, (Pixels{T, T}));
  EXPECT_EQ(steps[1].delay, 20);
  EXPECT_EQ(steps[2].composed, (Pixels{T, T}));  // the stray bytes: one step, no frame
  EXPECT_EQ(steps[3].composed, (Pixels{T, G}));
  EXPECT_EQ(steps[3].delay, 40);
  EXPECT_EQ(steps[4].composed, (Pixels{R, G}));
}

TEST(GifPlayback, StepsEndOnGifsOfNothingButDamage) {
  // Every image damaged, garbage between them, no trailer: each step still returns.
  GifWriter writer(4, 4, rgbw);
  for (int i = 0; i < 3; ++i) writer.image(damaged_image()).raw(Bytes(300, 0x55));
  const Bytes gif = writer.finish(false);
  const auto playback = GifPlayback::open(gif);
  ASSERT_TRUE(playback);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(playback->step(), 50);
  EXPECT_EQ(pixels(playback->composed()), Pixels(16, T));
}

TEST(GifPlayback, SurvivesTruncationAndChangedBytes) {
  const Bytes whole = GifWriter(6, 5, rgbw)
                          .control(3, 3, 2)
                          .fill(6, 5, 1)
                          .control(4, 2)
                          .image([] {
                            CraftedImage s = at(2, 1, 5, 5, 3);
                            s.interlaced = true;
                            s.local_table = {blue, black, white};
                            return s;
                          }())
                          .comment("between")
                          .image(at(0, 0, 2, 2, 0))
                          .finish();
  for (std::size_t n = 0; n <= whole.size(); ++n) {
    const auto playback = GifPlayback::open(std::span(whole).first(n));
    if (!playback) continue;
    for (int i = 0; i < 7; ++i) playback->step();
    ASSERT_EQ(playback->composed().rgba.size(), std::size_t{6 * 5 * 4});
  }
  for (std::size_t i = 0; i < whole.size(); ++i) {
    for (const std::uint8_t value : {0x00, 0x21, 0x2C, 0x3B, 0xFF}) {
      Bytes changed = whole;
      changed[i] = value;
      const auto playback = GifPlayback::open(changed);
      if (!playback) continue;
      for (int k = 0; k < 7; ++k) playback->step();
    }
  }
}

}  // namespace
}  // namespace miaohui::test
