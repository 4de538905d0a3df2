// What goes on the wire, which URLs never reach it, and the process-wide client.
#include <string>
#include <vector>

#include "net/download_fixture.h"
#include "net/http_client_internal.h"

namespace miaohui::test {
namespace {

std::string expected_request(std::string_view target, std::string_view host) {
  return "GET " + std::string(target) + " HTTP/1.0\r\n" + "Host: " + std::string(host) + "\r\n" +
         "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n" + "Accept: */*\r\n\r\n";
}

Reply answer_ok(const std::string&) { return {response_with_length("HTTP/1.0 200 OK", "ok")}; }

using RequestTest = DownloadTest;

TEST_F(RequestTest, SendsTheTargetAsWrittenWithOnlyAgentAndAccept) {
  struct Case {
    std::string url_tail;  // after http://127.0.0.1:<port>
    std::string target;    // what the request line must carry
  };
  const std::vector<Case> cases = {
      {"/make.php?kind=3&name=%E5%A6%99%e7%bb%98#section", "/make.php?kind=3&name=%E5%A6%99%e7%bb%98"},
      {"/a/./b/../c?x=%2e%2E&y=%20", "/a/./b/../c?x=%2e%2E&y=%20"},
      {"/path?q=1#frag#more", "/path?q=1"},
      {"/path#?not-a-query", "/path"},
      {"/%23hash?name=%23", "/%23hash?name=%23"},
      {"?q=1", "/?q=1"},
  };
  for (const Case& c : cases) {
    TestServer server(answer_ok);
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(text_of(http_download("http://" + host + c.url_tail)), "ok") << c.url_tail;
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u) << c.url_tail;
    EXPECT_EQ(requests[0], expected_request(c.target, host)) << c.url_tail;
  }
}

TEST_F(RequestTest, SchemeIsMatchedWithoutRegardToCase) {
  TestServer server(answer_ok);
  EXPECT_EQ(text_of(http_download("HTTP://127.0.0.1:" + std::to_string(server.port()) + "/x")), "ok");
}

// URLs that must give empty Bytes without the server ever being reached, next to the
// longest ones that still go through.
TEST_F(RequestTest, UrlLimitsAreCheckedBeforeAnyConnection) {
  TestServer server(answer_ok);
  const std::string port = std::to_string(server.port());
  const std::string base = "http://127.0.0.1:" + port;
  // A host of exactly n characters that libcurl resolves to the loopback address itself.
  auto local_host = [](std::size_t n) {
    const std::string suffix = ".localhost";
    std::string host;
    while (host.size() + suffix.size() < n) host += (host.size() % 50 == 49) ? '.' : 'h';
    return host + suffix;
  };
  struct Case {
    std::string name;
    std::string url;
    bool reaches_server;
  };
  const std::vector<Case> cases = {
      {"path of 2047", base + "/" + std::string(2046, 'p'), true},
      {"path of 2048", base + "/" + std::string(2047, 'p'), false},
      {"path with query of 2047", base + "/q?" + std::string(2044, 'v'), true},
      {"path with query of 2048", base + "/q?" + std::string(2045, 'v'), false},
      {"path of 3000", base + "/" + std::string(2999, 'p'), false},
      {"fragment counted before the cut", base + "/" + std::string(2040, 'p') + "#" + std::string(10, 'f'), false},
      {"host of 255", "http://" + local_host(255) + ":" + port + "/", true},
      {"host of 256", "http://" + local_host(256) + ":" + port + "/", false},
      {"host of 300", "http://" + local_host(300) + ":" + port + "/", false},
      {"user name of 128", "http://" + std::string(128, 'u') + "@127.0.0.1:" + port + "/", false},
      {"password of 128", "http://u:" + std::string(128, 'w') + "@127.0.0.1:" + port + "/", false},
      {"other scheme", "ftp://127.0.0.1:" + port + "/x", false},
      {"no scheme", "127.0.0.1:" + port + "/x", false},
      {"space in the path", base + "/a b", false},
      {"zero byte inside", base + std::string("/a\0b", 4), false},
      {"no host", "http:///x", false},
      {"port out of range", "http://127.0.0.1:65536/x", false},
  };
  std::size_t expected_connections = 0;
  for (const Case& c : cases) {
    const Bytes body = http_download(c.url);
    if (c.reaches_server) ++expected_connections;
    EXPECT_EQ(text_of(body), c.reaches_server ? "ok" : "") << c.name;
    EXPECT_EQ(server.connections(), expected_connections) << c.name;
  }
}

TEST_F(RequestTest, EmptyUrlOpensNothing) {
  http_client_close();
  const int opened = http_client_open_count();
  EXPECT_TRUE(http_download("").empty());
  EXPECT_TRUE(http_download(std::string_view()).empty());
  EXPECT_FALSE(http_client_is_open());
  EXPECT_EQ(http_client_open_count(), opened);
}

TEST_F(RequestTest, TwoDownloadsShareOneClientAndOpenTwoConnections) {
  http_client_close();
  const int opened = http_client_open_count();
  TestServer server(answer_ok);
  EXPECT_EQ(text_of(http_download(server.url("/first"))), "ok");
  EXPECT_EQ(text_of(http_download(server.url("/second"))), "ok");
  EXPECT_EQ(http_client_open_count(), opened + 1);
  EXPECT_EQ(server.connections(), 2u);

  // Closed at the end of the program; a download after that opens it afresh.
  http_client_close();
  EXPECT_FALSE(http_client_is_open());
  EXPECT_EQ(text_of(http_download(server.url("/third"))), "ok");
  EXPECT_EQ(http_client_open_count(), opened + 2);
}

}  // namespace
}  // namespace miaohui::test
