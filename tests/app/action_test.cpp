// The picture road through the real main window: clicks, the exact request URLs (host slots
// of this test build), the picture shown, and what a failed download leaves.
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/app_window.h"
#include "app/loopback_service.h"
#include "app/window_table.h"
#include "picture/picture_box.h"

namespace miaohui {
namespace {

using test::LoopbackService;
using test::settle;
using test::wait_until;

Bytes png_of(QColor colour) {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return Bytes(data.begin(), data.end());
}

// The encoded default name "墨汀QQ3816059471".
#define NAME "%E5%A2%A8%E6%B1%80QQ3816059471"

struct KindCase {
  const char* button;
  const char* url;  // with the lists at their first items and the default name
};

// Host slots of this build: host-a.test … host-g.test, host b with port 8080.
const std::vector<KindCase> kind_cases = {
    {"按钮1", "http://host-b.test:8080/jk/toutu.php?id=&name=" NAME},
    {"按钮2", "http://host-b.test:8080/fll/toutu.php?id=&name=" NAME},
    {"按钮3", "http://host-b.test:8080/bsj/toutu.php?id=&name=" NAME},
    {"按钮4", "http://host-a.test/bc/toutu.php?id=&name=" NAME},
    {"按钮5", "http://host-d.test/bb/toutu.php?id=1&name=" NAME},
    {"按钮6", "http://host-d.test/bb/toutu.php?id=&name=" NAME},
    {"按钮8", "http://host-c.test/zb/ly/toutu.php?id=1&name=" NAME},
    {"按钮9", "http://host-e.test/918/w.php?username=" NAME},
    {"按钮10", "http://host-c.test/zb/ym/toutu.php?id=1&name=" NAME},
    {"按钮11", "http://host-g.test/php/watermark/airlin.php?str=" NAME "&floor=5&num=4082617395"},
    {"按钮12", "http://host-c.test/zb/fc/toutu.php?id=1&name=" NAME},
    {"按钮13", "http://host-c.test/zb/fc/toutu.php?id=1&name=" NAME},
    {"按钮14", "http://host-f.test/paper/award/img.php?txt1=txt1-1&txt2=" NAME},
    {"按钮15", "http://host-b.test:8080/fcz/toutu.php?id=&name=1&name=" NAME},
    {"按钮16", "http://host-b.test:8080/wjj/toutu.php?id=&name=1&name=" NAME},
};

class Actions : public testing::Test {
 protected:
  void SetUp() override {
    setenv("http_proxy", service.proxy_url().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    ASSERT_TRUE(table.load_window(WindowId::main));
    window = table.window(WindowId::main);
    box = window->control<PictureBox>("图片框1");
    ASSERT_NE(box, nullptr);
  }
  void TearDown() override { unsetenv("http_proxy"); }

  // Clicks a button and returns when its action has returned.
  void click(const char* button) {
    auto* b = window->control<QPushButton>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
  }
  QColor centre_colour() { return box->grab().toImage().pixelColor(box->width() / 2, box->height() / 2); }

  LoopbackService service;
  WindowTable table;
  AppWindow* window = nullptr;
  PictureBox* box = nullptr;
};

TEST_F(Actions, EachKindSendsItsUrlAndShowsThePicture) {
  const Bytes picture = png_of(QColor(200, 30, 40));
  service.answer(picture);
  for (std::size_t i = 0; i < kind_cases.size(); ++i) {
    SCOPED_TRACE(kind_cases[i].button);
    box->set_picture({});
    click(kind_cases[i].button);
    const auto targets = service.targets();
    ASSERT_EQ(targets.size(), i + 1);
    EXPECT_EQ(targets.back(), kind_cases[i].url);
    EXPECT_EQ(box->get_picture(), picture);
    EXPECT_EQ(centre_colour(), QColor(200, 30, 40));
  }
  // The exchange itself: one HTTP/1.0 GET with the program's agent.
  const std::string head = service.requests().front();
  EXPECT_EQ(head.rfind("GET http://host-b.test:8080/jk/toutu.php?id=&name=" NAME " HTTP/1.0\r\n", 0), 0u) << head;
  EXPECT_NE(head.find("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"), std::string::npos);
}

TEST_F(Actions, SelectedItemsTravelAsOptionNumbers) {
  service.answer(png_of(Qt::green));
  const std::vector<std::pair<const char*, int>> selections = {
      {"组合框1", 3}, {"组合框2", 2}, {"组合框3", 5}, {"组合框4", 4}, {"组合框5", 2}};
  for (const auto& [list, index] : selections) window->control<QComboBox>(list)->setCurrentIndex(index);
  window->control<QLineEdit>("姓名")->setText("a b_c~");
  for (const char* button : {"按钮8", "按钮10", "按钮12", "按钮13", "按钮14", "按钮15", "按钮16"}) click(button);
  const std::vector<std::string> expected = {
      "http://host-c.test/zb/ly/toutu.php?id=4&name=a%20b%5Fc%7E",
      "http://host-c.test/zb/ym/toutu.php?id=3&name=a%20b%5Fc%7E",
      "http://host-c.test/zb/fc/toutu.php?id=3&name=a%20b%5Fc%7E",
      "http://host-c.test/zb/fc/toutu.php?id=6&name=a%20b%5Fc%7E",
      "http://host-f.test/paper/award/img.php?txt1=txt1-5&txt2=a%20b%5Fc%7E",
      "http://host-b.test:8080/fcz/toutu.php?id=&name=4&name=a%20b%5Fc%7E",
      "http://host-b.test:8080/wjj/toutu.php?id=&name=4&name=a%20b%5Fc%7E",
  };
  EXPECT_EQ(service.targets(), expected);
}

TEST_F(Actions, FailedDownloadLeavesTheBoxEmpty) {
  service.answer(png_of(QColor(200, 30, 40)));
  click("按钮4");
  ASSERT_FALSE(box->get_picture().empty());
  const QColor shown = centre_colour();
  service.answer_nothing();
  click("按钮4");
  EXPECT_TRUE(box->get_picture().empty());
  EXPECT_NE(centre_colour(), shown);
  EXPECT_EQ(centre_colour(), QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(service.targets().size(), 2u);
}

TEST_F(Actions, TwoClicksSendTwoIdenticalRequests) {
  service.answer(png_of(Qt::blue));
  click("按钮13");
  click("按钮13");
  const auto requests = service.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], requests[1]);
}

TEST_F(Actions, Button17SendsNothingAndKeepsThePicture) {
  const Bytes picture = png_of(Qt::yellow);
  service.answer(picture);
  click("按钮15");
  click("按钮17");
  settle();
  EXPECT_EQ(service.targets().size(), 1u);
  EXPECT_EQ(box->get_picture(), picture);
}

TEST_F(Actions, EmptyNameSendsNothingInItsPlace) {
  service.answer(png_of(Qt::cyan));
  window->control<QLineEdit>("姓名")->clear();
  click("按钮11");
  click("按钮14");
  const std::vector<std::string> expected = {
      "http://host-g.test/php/watermark/airlin.php?str=&floor=5&num=4082617395",
      "http://host-f.test/paper/award/img.php?txt1=txt1-1&txt2=",
  };
  EXPECT_EQ(service.targets(), expected);
}

TEST_F(Actions, CloseDuringADownloadWaitsForTheAction) {
  service.answer(png_of(Qt::magenta));
  service.delay(std::chrono::milliseconds(800));
  bool alive_while_waiting = false;
  bool repainted_while_waiting = false;
  QTimer::singleShot(300, [&] {
    window->close();  // held: the action is running
    alive_while_waiting = table.alive(WindowId::main);
    box->repaint();
    repainted_while_waiting = true;
  });
  click("按钮9");
  EXPECT_TRUE(repainted_while_waiting) << "the loop ran during the download";
  EXPECT_TRUE(alive_while_waiting);
  EXPECT_FALSE(table.alive(WindowId::main)) << "the held close is carried out when the action returns";
}

}  // namespace
}  // namespace miaohui
