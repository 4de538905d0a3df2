// Redirects followed to the final body, within a bound and to http and https only; https
// spoken on the URL's own port.
#include <string>
#include <vector>

#include "net/download_fixture.h"

namespace miaohui::test {
namespace {

using RedirectTest = DownloadTest;

// Serves /hop/<n>: a redirect to /hop/<n+1> until n reaches `hops`, then the final body.
TestServer::Script hop_chain(int hops) {
  return [hops](const std::string& request) {
    const std::size_t at = request.find("/hop/");
    const int n = at == std::string::npos ? 0 : std::stoi(request.substr(at + 5));
    if (n >= hops) return Reply{response_with_length("HTTP/1.0 200 OK", "final body")};
    return Reply{response("HTTP/1.0 302 Found", {"Location: /hop/" + std::to_string(n + 1), "Content-Length: 5"},
                          "moved")};
  };
}

TEST_F(RedirectTest, FollowsUpToTenRedirectsToTheFinalBody) {
  struct Case {
    int hops;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{{1, "final body"}, {10, "final body"}, {11, ""}}) {
    TestServer server(hop_chain(c.hops));
    EXPECT_EQ(text_of(http_download(server.url("/hop/0"))), c.expected) << c.hops << " hops";
    EXPECT_EQ(server.connections(), static_cast<std::size_t>(std::min(c.hops, 10) + 1)) << c.hops << " hops";
  }
}

TEST_F(RedirectTest, FollowsAnAbsoluteLocationAndResendsTheSameHeaders) {
  TestServer final_server([](const std::string&) { return Reply{response_with_length("HTTP/1.0 200 OK", "there")}; });
  TestServer server([&](const std::string&) {
    return Reply{response("HTTP/1.0 301 Moved Permanently", {"Location: " + final_server.url("/b?x=%41")}, "")};
  });
  EXPECT_EQ(text_of(http_download(server.url("/a"))), "there");
  ASSERT_EQ(final_server.requests().size(), 1u);
  EXPECT_EQ(final_server.requests()[0],
            "GET /b?x=%41 HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(final_server.port()) +
                "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\nAccept: */*\r\n\r\n");
}

TEST_F(RedirectTest, RefusesRedirectsToOtherSchemes) {
  TestServer other([](const std::string&) { return Reply{response_with_length("HTTP/1.0 200 OK", "leak")}; });
  const std::string port = std::to_string(other.port());
  for (const std::string& location : std::vector<std::string>{
           "ftp://127.0.0.1:" + port + "/x", "file:///etc/hostname", "gopher://127.0.0.1:" + port + "/x",
        "dict://127.0.0.1:" + port + "/x"}) {
    TestServer server([&](const std::string&) {
      return Reply{response("HTTP/1.0 302 Found", {"Location: " + location}, "moved")};
    });
    EXPECT_TRUE(http_download(server.url("/")).empty()) << location;
    EXPECT_EQ(server.connections(), 1u) << location;
  }
  EXPECT_EQ(other.connections(), 0u);
}

TEST_F(RedirectTest, HttpsSpeaksTlsOnTheNamedPort) {
  TestServer server([](const std::string&) { return Reply{response_with_length("HTTP/1.0 200 OK", "plain")}; });
  EXPECT_TRUE(http_download("https://127.0.0.1:" + std::to_string(server.port()) + "/").empty());
  const std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  // A TLS handshake record, not a plain request.
  ASSERT_GE(requests[0].size(), 3u);
  EXPECT_EQ(requests[0][0], '\x16');
  EXPECT_EQ(requests[0][1], '\x03');
}

}  // namespace
}  // namespace miaohui::test
