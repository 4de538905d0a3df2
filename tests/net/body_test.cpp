// The body handed back: whole, cut by a drop or a stall, refused past the bound, or empty
// when the exchange fails before it.
#include <string>
#include <vector>

#include "net/download_fixture.h"

namespace miaohui::test {
namespace {

using BodyTest = DownloadTest;

constexpr Reply::End close_end = Reply::End::close;

std::string chunked(const std::vector<std::string>& chunks, bool finished) {
  std::string out;
  for (const std::string& chunk : chunks) {
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
    out += size + chunk + "\r\n";
  }
  if (finished) out += "0\r\n\r\n";
  return out;
}

struct BodyCase {
  std::string name;
  Reply reply;
  std::string expected;
};

void expect_bodies(const std::vector<BodyCase>& cases, const DownloadLimits& limits = {}) {
  for (const BodyCase& c : cases) {
    TestServer server([&](const std::string&) { return c.reply; });
    const Bytes body = http_download(server.url("/picture"), limits);
    EXPECT_EQ(body.size(), c.expected.size()) << c.name;
    EXPECT_TRUE(text_of(body) == c.expected) << c.name;
    EXPECT_EQ(server.connections(), 1u) << c.name;
  }
}

TEST_F(BodyTest, BodiesOfAnyStatusAreReturnedWhole) {
  const std::string small = pattern(5000);
  const std::string large = pattern(2000000);
  const std::string page = pattern(1234);
  const std::string unannounced = pattern(300000);
  expect_bodies({
      {"length 5000", {response_with_length("HTTP/1.0 200 OK", small)}, small},
      {"length 2000000", {response_with_length("HTTP/1.0 200 OK", large)}, large},
      {"no length, body to the close", {response("HTTP/1.0 200 OK", {}, unannounced)}, unannounced},
      {"length 0", {response("HTTP/1.0 200 OK", {"Content-Length: 0"}, "")}, ""},
      {"no length, empty body", {response("HTTP/1.0 200 OK", {}, "")}, ""},
      {"404 page", {response_with_length("HTTP/1.0 404 Not Found", page)}, page},
      {"500 page", {response_with_length("HTTP/1.0 500 Internal Server Error", "broken")}, "broken"},
      {"chunked", {response("HTTP/1.1 200 OK", {"Transfer-Encoding: chunked", "Connection: close"},
                            chunked({small.substr(0, 17), small.substr(17, 4000), small.substr(4017)}, true))},
       small},
      {"gzip not asked for, so not unpacked", {response_with_length("HTTP/1.0 200 OK", "\x1f\x8b raw")}, "\x1f\x8b raw"},
  });
}

TEST_F(BodyTest, DropWithinTheBodyKeepsTheBytesSoFar) {
  const std::string body = pattern(10000);
  const std::string head = response("HTTP/1.0 200 OK", {"Content-Length: 10000"}, "");
  const std::string bare_head = response("HTTP/1.0 200 OK", {}, "");
  const std::string chunked_head = response("HTTP/1.1 200 OK", {"Transfer-Encoding: chunked"}, "");
  const std::string chunks = chunked({body.substr(0, 4000), body.substr(4000)}, true);
  // Up to 100 bytes into the second chunk: its size line "1770\r\n" and 94 bytes of it.
  const std::size_t into_second_chunk = chunked({body.substr(0, 4000)}, false).size() + 100;
  expect_bodies({
      {"closed short of the length", {head + body, head.size() + 4000, Reply::End::close}, body.substr(0, 4000)},
      {"reset short of the length", {head + body, head.size() + 4000, Reply::End::reset}, body.substr(0, 4000)},
      {"reset with no length", {bare_head + body, bare_head.size() + 4000, Reply::End::reset}, body.substr(0, 4000)},
      {"closed within a chunk", {chunked_head + chunks, chunked_head.size() + into_second_chunk, close_end},
       body.substr(0, 4094)},
      {"bad chunk size", {chunked_head + chunked({body.substr(0, 4000)}, false) + "zz\r\n", std::string::npos, close_end},
       body.substr(0, 4000)},
  });
}

TEST_F(BodyTest, FailureBeforeTheBodyGivesEmptyBytes) {
  const std::string whole = response_with_length("HTTP/1.0 200 OK", "never");
  expect_bodies({
      {"closed without an answer", {"", 0, Reply::End::close}, ""},
      {"reset without an answer", {"", 0, Reply::End::reset}, ""},
      {"closed within the headers", {whole, 20, Reply::End::close}, ""},
      {"reset within the headers", {whole, 20, Reply::End::reset}, ""},
      {"not HTTP at all", {"SSH-2.0-OpenSSH\r\n\r\n"}, ""},
      // libcurl refuses a reply whose Content-Length is not a length at all.
      {"length not a number", {response("HTTP/1.0 200 OK", {"Content-Length: abc"}, "body")}, ""},
      {"negative length", {response("HTTP/1.0 200 OK", {"Content-Length: -5"}, "body")}, ""},
  });
  EXPECT_TRUE(http_download("http://127.0.0.1:" + std::to_string(closed_port()) + "/").empty());
  EXPECT_TRUE(http_download("http://no-such-host.invalid/").empty());
}

TEST_F(BodyTest, BodiesOverTheBoundGiveEmptyBytes) {
  DownloadLimits limits;
  limits.max_body_bytes = 1000;
  const std::string fits = pattern(1000);
  const std::string over = pattern(1001);
  const std::string far_over = pattern(100000);
  expect_bodies(
      {
          {"announced at the bound", {response_with_length("HTTP/1.0 200 OK", fits)}, fits},
          {"unannounced at the bound", {response("HTTP/1.0 200 OK", {}, fits)}, fits},
          {"announced one over", {response_with_length("HTTP/1.0 200 OK", over)}, ""},
          {"unannounced one over", {response("HTTP/1.0 200 OK", {}, over)}, ""},
          {"announced short, sent long", {response("HTTP/1.0 200 OK", {"Content-Length: 10"}, far_over)},
           far_over.substr(0, 10)},
          {"chunked far over", {response("HTTP/1.1 200 OK", {"Transfer-Encoding: chunked"}, chunked({far_over}, true))},
           ""},
      },
      limits);
}

TEST_F(BodyTest, StalledDownloadIsCutOff) {
  DownloadLimits limits;
  // libcurl averages the speed over the last few seconds, so 100 bytes and then silence
  // read as 20 bytes/s for a while; a floor above that lets the 1 s count start at once.
  limits.stall_time = std::chrono::seconds(1);
  limits.stall_bytes_per_second = 1000;
  const std::string body = pattern(1000);
  const std::string head = response("HTTP/1.0 200 OK", {"Content-Length: 1000"}, "");
  // The server would send the rest after 20 s; a cut-off that works never sees it.
  const auto stall_for = std::chrono::seconds(20);
  expect_bodies(
      {
          {"stall within the body", {head + body, head.size() + 100, Reply::End::stall, stall_for}, body.substr(0, 100)},
          {"stall before the headers", {head + body, 0, Reply::End::stall, stall_for}, ""},
      },
      limits);
}

}  // namespace
}  // namespace miaohui::test
