// The whole program: the real binary on a virtual X display of its own, driven with xdotool as
// a person drives it, its picture requests reaching the stand-in picture service through a
// recording proxy. The binary is built over the app tests' host slots (host-a.test ...), so the
// proxy tells every slot apart.
#include <QImage>
#include <QPainter>
#include <QRect>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "e2e/box_views.h"
#include "e2e/forwarding_proxy.h"
#include "e2e/process.h"
#include "e2e/x_display.h"
#include "tools/service_process.h"

namespace miaohui::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::string_view welcome_title = "墨汀qq3816059471";
constexpr std::string_view main_title = "妙绘工坊 墨汀QQ3816059471";
// An open drop-down list is a window of its own, titled with the application's name, which Qt
// takes from the program's file name.
const std::string popup_title = std::filesystem::path(MIAOHUI_E2E_PROGRAM).filename().string();

// Client places of the controls, as the window designs give them.
constexpr QRect enter_button{232, 144, 88, 40};  // welcome window: 进入装逼
constexpr QRect name_box{632, 24, 144, 24};      // 姓名
constexpr QRect picture_box{8, 8, 576, 544};     // 图片框1
// 透明标签2 (保存的图片会自动保存到桌面) starts at 576, 544 and lies over the box's corner.
constexpr QRect label_over_box{568, 536, 8, 8};  // in the box
constexpr QRect save_button{592, 496, 88, 32};   // 按钮7 保存
constexpr QRect list_1{672, 56, 104, 20}, list_2{672, 80, 104, 20}, list_3{672, 104, 104, 20},
    list_4{672, 128, 104, 20};
constexpr QRect button(int x, int y) { return {x, y, 88, 32}; }

// The box paints with Qt's raster engine as the views are made, so a box that shows a picture
// matches its view to within the rounding of the alpha blend (under 0.1); two frames of the
// service's GIFs differ by 2 or more.
constexpr double same_picture = 1.0;

bool poll_until(const std::function<bool()>& done, Clock::duration bound = 20s) {
  const auto deadline = Clock::now() + bound;
  while (!done()) {
    if (Clock::now() > deadline) return done();
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::string header_bytes(const std::string& body, std::size_t count) { return body.substr(0, count); }

class Road : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.running()) << "picture-service did not start";
    ASSERT_TRUE(proxy_.listening());
    ASSERT_TRUE(display_.ready()) << "Xvfb did not start";
    const auto home = folder_.path() / "home";
    std::filesystem::create_directories(home / "Desktop");
    desktop_ = home / "Desktop";

    SpawnOptions options;
    options.errors = folder_.path() / "program.log";
    options.environment = {
        {"DISPLAY", display_.name()},  {"QT_QPA_PLATFORM", "xcb"},     {"http_proxy", proxy_.url()},
        {"no_proxy", std::nullopt},    {"NO_PROXY", std::nullopt},     {"all_proxy", std::nullopt},
        {"ALL_PROXY", std::nullopt},   {"HOME", home.string()},        {"XDG_RUNTIME_DIR", folder_.path().string()},
        {"XDG_CONFIG_HOME", (folder_.path() / "config").string()}};
    program_ = std::make_unique<Process>(std::vector<std::string>{MIAOHUI_E2E_PROGRAM}, options);
    ASSERT_TRUE(program_->started());

    std::optional<std::string> welcome;
    ASSERT_TRUE(poll_until([&] { return (welcome = display_.window_titled(welcome_title)).has_value(); }))
        << "no welcome window; " << read_text(folder_.path() / "program.log");
    const auto welcome_place = display_.place_of(*welcome);
    ASSERT_TRUE(welcome_place);
    display_.click(*welcome_place + enter_button.center());
    std::optional<std::string> main;
    ASSERT_TRUE(poll_until([&] { return (main = display_.window_titled(main_title)).has_value(); }))
        << "no main window";
    ASSERT_TRUE(poll_until([&] { return !display_.window_titled(welcome_title); }));
    const auto main_place = display_.place_of(*main);
    ASSERT_TRUE(main_place);
    main_ = *main_place;

    // The empty box, once painted, shows its background alone.
    const auto plain_box = [this](QRgb colour) {
      QImage plain(picture_box.size(), QImage::Format_RGB32);
      plain.fill(colour);
      return without_label(plain);
    };
    ASSERT_TRUE(poll_until([&] {
      const QImage empty = box();
      if (empty.isNull() || empty.pixel(0, 0) == qRgb(0, 0, 0)) return false;
      background_ = empty.pixel(0, 0);
      return mean_difference(empty, plain_box(background_)) == 0.0;
    })) << "the empty box is not one colour";
    background_view_ = plain_box(background_);
  }

  void click(QRect control) const { display_.click(main_ + control.center()); }

  QImage box() const { return without_label(display_.grab(picture_box.translated(main_))); }

  static QImage without_label(QImage image) {
    if (!image.isNull()) QPainter(&image).fillRect(label_over_box, Qt::black);  // in shots and views alike
    return image;
  }

  // Opens a drop-down list, goes down the given number of items and takes the one reached.
  void choose(QRect list, int downs) const {
    click(list);
    ASSERT_TRUE(poll_until([&] { return display_.window_titled(popup_title).has_value(); }))
        << "the list did not open";
    for (int i = 0; i < downs; ++i) display_.key({"Down"});
    display_.key({"Return"});
    ASSERT_TRUE(poll_until([&] { return !display_.window_titled(popup_title); })) << "the list stays open";
  }

  // Replaces what 姓名 holds with text pasted from the clipboard. The program fetches the text
  // after the key, so the clipboard stays offered until the next name or the test's end.
  void type_name(const std::string& text) {
    click(name_box);
    clipboard_ = display_.offer_clipboard(text);
    ASSERT_TRUE(clipboard_) << "the clipboard does not hold the name";
    display_.key({"ctrl+a", "ctrl+v"});
  }

  // Clicks a picture kind's button and waits for its one request (and, when asked, its
  // answer); nothing when no request came.
  std::optional<Exchange> request_by(QRect kind, bool wait_for_answer = true) const {
    const std::size_t before = proxy_.exchanges().size();
    click(kind);
    Exchange last;
    const bool arrived = poll_until([&] {
      const auto all = proxy_.exchanges();
      if (all.size() <= before) return false;
      last = all.back();
      return !wait_for_answer || last.answered;
    });
    if (!arrived) return std::nullopt;
    EXPECT_EQ(proxy_.exchanges().size(), before + 1) << "one click, one request";
    return last;
  }

  // Polls the box until it shows one of the views; the closest the box came.
  ClosestView wait_for_views(const std::vector<QImage>& views) const {
    ClosestView closest;
    poll_until([&] {
      closest = closest_view(box(), views);
      return closest.difference <= same_picture;
    });
    return closest;
  }

  std::vector<QImage> views_of(const Exchange& exchange) const {
    std::vector<QImage> views = expected_views(exchange.body, picture_box.size(), background_);
    for (QImage& view : views) view = without_label(view);
    return views;
  }

  // Esc closes the main window, the last one, and the program ends with status 0.
  void close_with_escape() const {
    display_.key({"Escape"});
    EXPECT_TRUE(poll_until([&] { return !display_.window_titled(main_title); })) << "Esc left the window";
    EXPECT_EQ(program_->wait_for_exit(30s), std::optional<int>(0));
  }

  ServiceProcess service_;
  ForwardingProxy proxy_{service_.port()};
  VirtualDisplay display_;
  TemporaryFolder folder_;
  std::filesystem::path desktop_;
  std::unique_ptr<Process> program_;
  std::unique_ptr<Process> clipboard_;
  QPoint main_;
  QRgb background_ = 0;
  QImage background_view_;
};

constexpr std::string_view zhang_sanfeng = "%E5%BC%A0%E4%B8%89%E4%B8%B0";  // 张三丰 in UTF-8

struct KindCase {
  std::string_view button;
  QRect place;
  std::string_view url_before_name;  // the whole URL is this, the encoded name, url_after_name
  std::string_view url_after_name;
  std::string_view host;
};

// With 组合框1 at its 4th item, 组合框2 at its 2nd, 组合框3 at its 3rd, 组合框4 at its 6th and
// 组合框5 left at its first, every option number tells which list it came from.
constexpr KindCase kind_cases[] = {
    {"按钮1", button(592, 336), "http://host-b.test:8080/jk/toutu.php?id=&name=", "", "host-b.test:8080"},
    {"按钮2", button(592, 416), "http://host-b.test:8080/fll/toutu.php?id=&name=", "", "host-b.test:8080"},
    {"按钮3", button(592, 376), "http://host-b.test:8080/bsj/toutu.php?id=&name=", "", "host-b.test:8080"},
    {"按钮4", button(688, 376), "http://host-a.test/bc/toutu.php?id=&name=", "", "host-a.test"},
    {"按钮5", button(592, 456), "http://host-d.test/bb/toutu.php?id=1&name=", "", "host-d.test"},
    {"按钮6", button(688, 416), "http://host-d.test/bb/toutu.php?id=&name=", "", "host-d.test"},
    {"按钮8", button(592, 176), "http://host-c.test/zb/ly/toutu.php?id=4&name=", "", "host-c.test"},
    {"按钮9", button(688, 336), "http://host-e.test/918/w.php?username=", "", "host-e.test"},
    {"按钮10", button(688, 256), "http://host-c.test/zb/ym/toutu.php?id=1&name=", "", "host-c.test"},
    {"按钮11", button(688, 456), "http://host-g.test/php/watermark/airlin.php?str=", "&floor=5&num=4082617395",
     "host-g.test"},
    {"按钮12", button(688, 176), "http://host-c.test/zb/fc/toutu.php?id=2&name=", "", "host-c.test"},
    {"按钮13", button(592, 216), "http://host-c.test/zb/fc/toutu.php?id=3&name=", "", "host-c.test"},
    {"按钮14", button(688, 216), "http://host-f.test/paper/award/img.php?txt1=txt1-6&txt2=", "", "host-f.test"},
    {"按钮15", button(592, 256), "http://host-b.test:8080/fcz/toutu.php?id=&name=4&name=", "", "host-b.test:8080"},
    {"按钮16", button(592, 296), "http://host-b.test:8080/wjj/toutu.php?id=&name=4&name=", "", "host-b.test:8080"},
};

const KindCase& kind(std::string_view name) {
  for (const KindCase& k : kind_cases) {
    if (k.button == name) return k;
  }
  throw std::invalid_argument("no such kind");
}

TEST_F(Road, EveryKindSendsItsUrlToItsHost) {
  type_name("张三丰");
  choose(list_1, 3);
  choose(list_2, 1);
  choose(list_3, 2);
  choose(list_4, 5);
  for (const KindCase& k : kind_cases) {
    SCOPED_TRACE(std::string(k.button));
    const auto exchange = request_by(k.place);
    ASSERT_TRUE(exchange) << "no request after the click";
    const std::string url = std::string(k.url_before_name) + std::string(zhang_sanfeng) + std::string(k.url_after_name);
    EXPECT_EQ(exchange->request_line, "GET " + url + " HTTP/1.0");
    EXPECT_EQ(exchange->host, k.host);
    EXPECT_EQ(exchange->status, 200) << "the service took the request for no kind";
  }

  // A name beyond GBK, with characters that the query would otherwise take for its own.
  type_name("A-1.b c&d=😀");
  const auto odd_name = request_by(kind("按钮9").place);
  ASSERT_TRUE(odd_name);
  EXPECT_EQ(odd_name->target,
            "http://host-e.test/918/w.php?username=A-1.b%20c%26d%3D%F0%9F%98%80");

  // An empty 姓名 sends nothing in the name's place.
  click(name_box);
  display_.key({"ctrl+a", "BackSpace"});
  const auto no_name = request_by(kind("按钮11").place);
  ASSERT_TRUE(no_name);
  EXPECT_EQ(no_name->target,
            "http://host-g.test/php/watermark/airlin.php?str=&floor=5&num=4082617395");
  close_with_escape();
}

TEST_F(Road, ShowsJpegPngAndGifOverTheWholeBox) {
  type_name("张三丰");
  const struct {
    std::string_view button;
    std::string magic;
  } pictures[] = {{"按钮13", "\xFF\xD8\xFF"}, {"按钮14", "\x89PNG"}, {"按钮5", "GIF8"}};
  for (const auto& picture : pictures) {
    SCOPED_TRACE(std::string(picture.button));
    const auto exchange = request_by(kind(picture.button).place);
    ASSERT_TRUE(exchange);
    ASSERT_EQ(header_bytes(exchange->body, picture.magic.size()), picture.magic);
    const std::vector<QImage> views = views_of(*exchange);
    ASSERT_FALSE(views.empty()) << "Qt cannot read the served picture";
    if (picture.magic == "GIF8") {
      EXPECT_GT(views.size(), 1u) << "the GIF has one frame";
    }
    EXPECT_GT(mean_difference(views.front(), background_view_), 20.0) << "the picture is nearly blank";
    const ClosestView shown = wait_for_views(views);
    EXPECT_LE(shown.difference, same_picture) << "the box does not show the picture";
  }
  close_with_escape();
}

TEST_F(Road, GifPlaysWhileASlowAnswerIsPending) {
  const auto gif = request_by(kind("按钮6").place);
  ASSERT_TRUE(gif);
  const std::vector<QImage> frames = views_of(*gif);
  ASSERT_GT(frames.size(), 2u);
  ASSERT_LE(wait_for_views(frames).difference, same_picture);

  ServiceProcess slow(2000);
  ASSERT_TRUE(slow.running());
  proxy_.forward_to(slow.port());
  const auto clicked = Clock::now();
  const auto pending = request_by(kind("按钮13").place, false);
  ASSERT_TRUE(pending);
  ASSERT_FALSE(pending->answered);

  // While the program waits for the answer, the box goes on from frame to frame.
  std::set<int> frames_seen;
  int samples = 0;
  // The answer comes 2 s after the click at the earliest; sampling stops well before, so that no
  // sample can see the late picture arrive.
  while (Clock::now() - clicked < 1500ms && !proxy_.exchanges().back().answered) {
    const ClosestView shown = closest_view(box(), frames);
    EXPECT_LE(shown.difference, same_picture) << "sample " << samples << " is no frame of the GIF";
    frames_seen.insert(shown.index);
    ++samples;
    std::this_thread::sleep_for(60ms);
  }
  EXPECT_GE(frames_seen.size(), 3u) << "over " << samples << " samples while the answer was pending";

  Exchange answered;
  ASSERT_TRUE(poll_until([&] { return (answered = proxy_.exchanges().back()).answered; }));
  EXPECT_GE(Clock::now() - clicked, 2s);
  EXPECT_LE(wait_for_views(views_of(answered)).difference, same_picture) << "the late picture does not show";
  close_with_escape();
}

TEST_F(Road, SavesTheServedBytesToTheDesktop) {
  const auto saved = desktop_ / "炫耀照.jpg";
  // Nothing shown yet: an empty file.
  click(save_button);
  EXPECT_TRUE(poll_until([&] { return std::filesystem::exists(saved); })) << "nothing saved";
  EXPECT_EQ(read_text(saved), "");

  // Each save writes the bytes as served, over the file before.
  for (std::string_view name : {"按钮14", "按钮8"}) {
    SCOPED_TRACE(std::string(name));
    const auto exchange = request_by(kind(name).place);
    ASSERT_TRUE(exchange);
    ASSERT_FALSE(exchange->body.empty());
    ASSERT_LE(wait_for_views(views_of(*exchange)).difference, same_picture);
    click(save_button);
    EXPECT_TRUE(poll_until([&] { return read_text(saved) == exchange->body; }))
        << "the saved file holds " << read_text(saved).size() << " bytes, " << exchange->body.size() << " were served";
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(desktop_), std::filesystem::directory_iterator()), 1)
      << "a temporary file was left on the desktop";
  close_with_escape();
}

}  // namespace
}  // namespace miaohui::test
