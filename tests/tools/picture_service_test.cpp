// The stand-in picture service as a process: every kind's URL, the formats, errors, signals.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <future>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "request/picture_kind.h"
#include "request/request_url.h"
#include "tools/service_process.h"

namespace miaohui {
namespace {

using test::http_get;
using test::HttpAnswer;
using test::ServiceProcess;

// "http://host/target" split at the first "/" after the scheme.
struct Split {
  std::string host, target;
};
Split split_url(const std::string& url) {
  const std::size_t slash = url.find('/', 7);
  return {url.substr(7, slash - 7), url.substr(slash)};
}

// The format each kind is served in, written out independently of the service.
const std::map<std::string, std::string> expected_types = {
    {"按钮1", "image/jpeg"},  {"按钮2", "image/jpeg"},  {"按钮3", "image/jpeg"},  {"按钮4", "image/jpeg"},
    {"按钮5", "image/gif"},   {"按钮6", "image/gif"},   {"按钮8", "image/gif"},   {"按钮9", "image/jpeg"},
    {"按钮10", "image/jpeg"}, {"按钮11", "image/jpeg"}, {"按钮12", "image/jpeg"}, {"按钮13", "image/jpeg"},
    {"按钮14", "image/png"},  {"按钮15", "image/jpeg"}, {"按钮16", "image/jpeg"},
};

QByteArray bytes_of(const std::string& body) { return QByteArray(body.data(), static_cast<qsizetype>(body.size())); }

// Checks the signature and decodes the body; a failure names what is wrong.
void expect_picture(const HttpAnswer& answer, const std::string& type) {
  ASSERT_EQ(answer.status, 200);
  ASSERT_EQ(answer.content_type, type);
  const QByteArray body = bytes_of(answer.body);
  if (type == "image/jpeg") {
    EXPECT_TRUE(body.startsWith("\xFF\xD8\xFF"));
  } else if (type == "image/png") {
    EXPECT_TRUE(body.startsWith("\x89PNG\r\n\x1A\n"));
  } else {
    EXPECT_TRUE(body.startsWith("GIF89a"));
  }
  QBuffer buffer;
  buffer.setData(body);
  QImageReader reader(&buffer);
  const QImage first = reader.read();
  ASSERT_FALSE(first.isNull()) << reader.errorString().toStdString();
  EXPECT_GE(first.width(), 400);
  EXPECT_GE(first.height(), 400);
  if (type == "image/png") {
    ASSERT_TRUE(first.hasAlphaChannel());
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0) << "the margin is transparent";
    EXPECT_EQ(qAlpha(first.pixel(first.width() - 1, first.height() / 2)), 0);
    EXPECT_EQ(qAlpha(first.pixel(first.width() / 2, first.height() / 2)), 255) << "the card is opaque";
  }
  if (type == "image/gif") {
    EXPECT_GE(reader.imageCount(), 6) << "several frames";
    EXPECT_EQ(reader.loopCount(), -1) << "loops for ever";
    int frames = 1;
    QImage last = first;
    bool changes = false;
    while (reader.canRead()) {
      const QImage next = reader.read();
      if (next.isNull()) break;
      changes = changes || next != last;
      last = next;
      ++frames;
    }
    EXPECT_GE(frames, 6);
    EXPECT_TRUE(changes) << "the frames differ";
  }
}

TEST(PictureService, EveryKindsUrlGetsAPictureOfItsFormatAndIsLoggedAndRecorded) {
  ServiceProcess service;
  ASSERT_TRUE(service.running());
  std::string record;
  for (const PictureKind& kind : picture_kinds()) {
    SCOPED_TRACE(std::string(kind.button));
    const Split url = split_url(build_request_url(kind, "张三", 2));
    expect_picture(http_get(service.port(), url.host, url.target), expected_types.at(std::string(kind.button)));
    record += url.target + "\t" + url.host + "\n";
  }
  EXPECT_EQ(service.record(), record);
  EXPECT_EQ(service.stop(SIGTERM), 0);

  const std::string log = service.standard_output();
  for (const PictureKind& kind : picture_kinds()) {
    const Split url = split_url(build_request_url(kind, "张三", 2));
    const std::string line = "\"GET " + url.target + " HTTP/1.0\" Host: " + url.host + " -> 200 ";
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

TEST(PictureService, ThePictureFollowsTheNameAndTheOptionAndNothingElse) {
  ServiceProcess service;
  ASSERT_TRUE(service.running());
  for (const char* button : {"按钮13", "按钮14", "按钮8"}) {
    SCOPED_TRACE(button);
    const PictureKind& kind = *find_picture_kind(button);
    auto get = [&](std::string_view name, int index) {
      const Split url = split_url(build_request_url(kind, name, index));
      return http_get(service.port(), url.host, url.target).body;
    };
    const std::string picture = get("张三", 2);
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(get("张三", 2), picture) << "the same request, the same bytes";
    EXPECT_NE(get("李四", 2), picture) << "another name";
    EXPECT_NE(get("张三", 3), picture) << "another option";
  }
  EXPECT_EQ(service.stop(SIGTERM), 0);
}

TEST(PictureService, AnyNameOrOptionStillGetsAPicture) {
  ServiceProcess service;
  ASSERT_TRUE(service.running());
  std::string long_name;
  for (int i = 0; i < 200; ++i) long_name += "%E5%BC%A0";  // as long as the program sends
  const std::string targets[] = {
      "/jk/toutu.php?id=&name=",                       // empty name
      "/jk/toutu.php?id=&name=%FF%FE%C3",              // no UTF-8
      "/jk/toutu.php?id=&name=%0A%00%1B%5B2J",         // control bytes
      "/jk/toutu.php?id=&name=%zz%4%",                 // broken escapes
      "/jk/toutu.php?id=&name=%F0%9F%98%80%F0%9F%92%96",  // emoji
      "/jk/toutu.php?id=&name=" + long_name,           // 200 characters
      "/zb/fc/toutu.php?id=0&name=a",                  // no item selected
      "/zb/fc/toutu.php?id=99&name=a",                 // past the list
      "/zb/fc/toutu.php?id=99999999999999999999999&name=a",
      "/zb/ym/toutu.php?id=abc&name=a",                // no number
      "/zb/ly/toutu.php?id=&name=a",                   // no option at all
      "/paper/award/img.php?txt1=txt1--5&txt2=a",
  };
  for (const std::string& target : targets) {
    SCOPED_TRACE(target.substr(0, 80));
    const HttpAnswer answer = http_get(service.port(), "127.0.0.1", target);
    const auto kind = target.starts_with("/paper/") ? "image/png" : target.starts_with("/zb/ly/") ? "image/gif" : "image/jpeg";
    expect_picture(answer, kind);
  }
  EXPECT_EQ(service.stop(SIGTERM), 0);
}

TEST(PictureService, OtherTargetsGetASmallNotFoundPage) {
  ServiceProcess service;
  ASSERT_TRUE(service.running());
  for (const char* target : {"/", "/nothing", "/favicon.ico", "/jk/toutu.php", "/zb/fc/toutu.php?id=3",
                             "/JK/toutu.php?id=&name=a", "/%0A"}) {
    SCOPED_TRACE(target);
    const HttpAnswer answer = http_get(service.port(), "127.0.0.1", target);
    EXPECT_EQ(answer.status, 404);
    EXPECT_EQ(answer.content_type, "text/html; charset=utf-8");
    EXPECT_NE(answer.body.find("<html>"), std::string::npos);
    EXPECT_LT(answer.body.size(), 1024u);
  }
  // Past the server's bound on a request line: refused with a page, not a picture.
  const HttpAnswer too_long = http_get(service.port(), "127.0.0.1", "/jk/toutu.php?id=&name=" + std::string(9000, 'a'));
  EXPECT_EQ(too_long.status, 414);
  EXPECT_NE(too_long.body.find("<html>"), std::string::npos);
  EXPECT_EQ(service.stop(SIGTERM), 0);
}

TEST(PictureService, TheDelayHoldsTheAnswerBackButTheRequestIsRecordedAtOnce) {
  using clock = std::chrono::steady_clock;
  ServiceProcess service(1500);
  ASSERT_TRUE(service.running());
  const auto start = clock::now();
  auto answer = std::async(std::launch::async, [&] { return http_get(service.port(), "h", "/jk/toutu.php?id=&name=a"); });
  // The record line comes before the answer: poll for it with a generous bound.
  while (service.record().empty() && clock::now() - start < std::chrono::seconds(30)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(service.record(), "/jk/toutu.php?id=&name=a\th\n");
  expect_picture(answer.get(), "image/jpeg");
  EXPECT_GE(clock::now() - start, std::chrono::milliseconds(1500));
  EXPECT_EQ(service.stop(SIGTERM), 0);
}

TEST(PictureService, StopSignalsEndItWithStatusZeroEvenWithAnAnswerPending) {
  for (int signal_number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal_number);
    ServiceProcess service;
    ASSERT_TRUE(service.running());
    EXPECT_EQ(service.stop(signal_number), 0);
    EXPECT_NE(service.standard_output().find("picture-service: stopped\n"), std::string::npos);
  }
  // A request waiting out a ten-minute delay does not hold the stop back.
  ServiceProcess slow(600000);
  ASSERT_TRUE(slow.running());
  auto pending = std::async(std::launch::async, [&] { return http_get(slow.port(), "h", "/jk/toutu.php?id=&name=a"); });
  while (slow.record().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(slow.stop(SIGTERM), 0);
  pending.get();
}

TEST(PictureService, BadCommandLinesAndABusyPortAreRefused) {
  const std::vector<std::vector<std::string>> bad = {
      {"--port"}, {"--port", "70000"}, {"--port", "x"}, {"--port", "-1"}, {"--bogus", "1"}, {"--delay-ms", "-5"},
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_EQ(test::run_service(args, &error), 2) << args.front();
    EXPECT_NE(error.find("usage:"), std::string::npos);
  }
  ServiceProcess first;
  ASSERT_TRUE(first.running());
  std::string error;
  EXPECT_EQ(test::run_service({"--port", std::to_string(first.port())}, &error), 1);
  EXPECT_NE(error.find("cannot listen"), std::string::npos) << error;
  EXPECT_EQ(first.stop(SIGTERM), 0);
}

}  // namespace
}  // namespace miaohui
