// GIF playback in the picture box: the thread, its frames on screen, and stopping it.

#include <QElapsedTimer>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "picture/box_fixtures.h"
#include "picture/gif_player.h"
#include "picture/picture_box.h"
#include "picture/waiting.h"

namespace miaohui {
namespace {

using test::colour_near;

const QRgb red = qRgb(230, 20, 20), green = qRgb(20, 200, 40), blue = qRgb(30, 40, 220);
const QRgb fill = qRgb(0x10, 0x20, 0x30);  // the background 0x00302010

// Playback threads of this process, from the kernel: a joined thread is gone. Counted by
// name because Qt starts pool threads of its own for large image work.
int playback_threads() {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == playback_thread_name) ++count;
  }
  return count;
}

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class PictureBoxPlayback : public testing::Test {
 protected:
  // A shown box, by default of the program's size and mode, painted once before any picture.
  std::unique_ptr<PictureBox> shown_box(bool animate = true, QSize size = {576, 544}) {
    PictureBoxSettings settings;
    settings.background = 0x00302010;
    settings.animate = animate;
    auto box = std::make_unique<PictureBox>(settings);
    box->resize(size);
    box->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    return box;
  }

  static QRgb centre(PictureBox& box) {
    return box.grab().toImage().pixel(box.width() / 2, box.height() / 2);
  }

  // Waits until the box's thread runs and it shows one of the GIF's frames.
  static bool wait_until_playing(PictureBox& box) {
    return QTest::qWaitFor([&] { return box.is_playing() && centre(box) != fill; }, 5000);
  }

  void SetUp() override { ASSERT_EQ(playback_threads(), 0); }
};

TEST_F(PictureBoxPlayback, FramesChangeOnScreenAndTransparentPixelsShowTheBackground) {
  // Three frames; the left quarter of each is the transparent index 0.
  constexpr int w = 40, h = 20;
  std::vector<test::GifFrame> frames;
  for (std::uint8_t k = 1; k <= 3; ++k) {
    test::GifFrame frame;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) frame.indices.push_back(x < w / 4 ? 0 : k);
    }
    frame.delay_cs = 4;
    frame.transparent = 0;
    frames.push_back(std::move(frame));
  }
  auto box = shown_box();
  box->set_picture(test::make_gif(w, h, {qRgb(255, 255, 255), red, green, blue}, frames));
  EXPECT_FALSE(box->is_playing()) << "no thread before the first paint";

  // The first paint shows only the background and starts the thread.
  EXPECT_TRUE(colour_near(centre(*box), fill));
  EXPECT_TRUE(QTest::qWaitFor([&] { return box->is_playing(); }, 5000));

  std::set<QRgb> seen;
  bool left_always_background = true;
  const bool all_seen = QTest::qWaitFor(
      [&] {
        const QImage shot = box->grab().toImage();
        left_always_background = left_always_background && colour_near(shot.pixel(40, 272), fill);
        seen.insert(shot.pixel(400, 272) | 0xFF000000);
        return seen.count(red) && seen.count(green) && seen.count(blue);
      },
      10000);
  EXPECT_TRUE(all_seen) << seen.size() << " colours seen";
  EXPECT_TRUE(left_always_background);
  EXPECT_EQ(playback_threads(), 1) << "one playback thread, started once";
}

TEST_F(PictureBoxPlayback, KeepsAnimatingWhileTheUiThreadWaits) {
  auto box = shown_box();
  box->set_picture(test::make_solid_gif(20, 20, {red, green, blue}, 5));
  box->update();
  ASSERT_TRUE(wait_until_playing(*box));

  PaintCounter counter(*box);
  std::set<QRgb> seen;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] { seen.insert(centre(*box) | 0xFF000000); });
  sampler.start(20);
  bool waited = false;
  run_waiting([&] {
    waited = is_waiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  });
  sampler.stop();
  EXPECT_TRUE(waited);
  // 50 ms frames over 500 ms: about ten paints, and the sampled frames differ.
  EXPECT_GE(counter.paints, 3);
  EXPECT_GE(seen.size(), 2u);
}

TEST_F(PictureBoxPlayback, WritingAStillPictureStopsTheThreadFirst) {
  const QRgb still = qRgb(250, 250, 250);
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"JPEG", test::encode_with_qt(test::solid_image(32, 32, still), "JPG", 95)},
      {"BMP", test::make_bmp(32, 32, [&](int, int) { return still; })},
  };
  for (const Case& c : cases) {
    auto box = shown_box();
    box->set_picture(test::make_solid_gif(20, 20, {red, green, blue}, 2));
    box->update();
    ASSERT_TRUE(wait_until_playing(*box)) << c.name;
    EXPECT_EQ(playback_threads(), 1) << c.name;

    box->set_picture(c.bytes);
    EXPECT_FALSE(box->is_playing()) << c.name;
    EXPECT_EQ(playback_threads(), 0) << c.name << ": the thread has ended";
    EXPECT_TRUE(colour_near(centre(*box), still, 6)) << c.name;
    // No frame queued before the stop paints over it later.
    QTest::qWait(150);
    EXPECT_TRUE(colour_near(centre(*box), still, 6)) << c.name;
  }
}

TEST_F(PictureBoxPlayback, StillGifsStartNoThread) {
  struct Case {
    const char* name;
    bool animate;
    std::vector<QRgb> frames;
  };
  const Case cases[] = {
      {"a single-frame GIF", true, {green}},
      {"several frames with animate off", false, {green, red, blue}},
  };
  for (const Case& c : cases) {
    auto box = shown_box(c.animate);
    box->set_picture(test::make_solid_gif(20, 20, c.frames, 2));
    EXPECT_TRUE(colour_near(centre(*box), green)) << c.name << ": the first frame shows";
    QTest::qWait(100);
    EXPECT_FALSE(box->is_playing()) << c.name;
    EXPECT_EQ(playback_threads(), 0) << c.name;
    EXPECT_TRUE(colour_near(centre(*box), green)) << c.name;
  }
}

TEST_F(PictureBoxPlayback, DelayZeroAdvancesAboutEvery50Milliseconds) {
  // A box as small as the GIF, so that paints cost next to nothing and keep up with the
  // frames even on a loaded machine or under a sanitizer.
  auto box = shown_box(true, {20, 20});
  box->set_picture(test::make_solid_gif(20, 20, {red, green, blue}, 0));
  box->update();
  ASSERT_TRUE(wait_until_playing(*box));

  // Each frame asks for one paint. Over two seconds, 50 ms frames give about 40; a delay
  // of 0 taken literally gives hundreds, 100 ms gives 20.
  PaintCounter counter(*box);
  QTest::qWait(2000);
  RecordProperty("paints_in_2s", counter.paints);
  EXPECT_GE(counter.paints, 26);
  EXPECT_LE(counter.paints, 70);
}

TEST_F(PictureBoxPlayback, DestroyingOrReplacingWhilePlayingReturnsPromptly) {
  // Frames of 60 s: the thread is in its wait when it is stopped, and must notice within
  // a 10 ms step rather than at the end of the delay.
  const Bytes slow = test::make_solid_gif(20, 20, {red, green}, 6000);
  for (const bool destroy : {true, false}) {
    auto box = shown_box();
    box->set_picture(slow);
    box->update();
    ASSERT_TRUE(wait_until_playing(*box));
    ASSERT_EQ(playback_threads(), 1);

    QElapsedTimer clock;
    clock.start();
    if (destroy) {
      box.reset();
    } else {
      box->set_picture({});
    }
    EXPECT_LT(clock.elapsed(), 2000) << (destroy ? "destroy" : "set_picture");
    EXPECT_EQ(playback_threads(), 0);
  }
}

}  // namespace
}  // namespace miaohui
