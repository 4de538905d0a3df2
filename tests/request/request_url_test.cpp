#include "request/request_url.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace miaohui {
namespace {

const PictureKind& kind(std::string_view button) {
  const PictureKind* k = find_picture_kind(button);
  if (k == nullptr) throw std::runtime_error("no kind " + std::string(button));
  return *k;
}

TEST(OptionNumber, IsIndexPlusOneInPlainDigits) {
  EXPECT_EQ(option_number(-1), "0");
  EXPECT_EQ(option_number(0), "1");
  EXPECT_EQ(option_number(2), "3");
  EXPECT_EQ(option_number(9), "10");
  EXPECT_EQ(option_number(INT_MAX - 1), "2147483647");
  EXPECT_EQ(option_number(INT_MAX), "2147483648");
}

struct UrlCase {
  const char* button;
  std::string name;
  int index;
  std::string expected;

  friend void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.button << " \"" << c.name << "\" " << c.index; }
};

class RequestUrlCase : public testing::TestWithParam<UrlCase> {};

TEST_P(RequestUrlCase, IsExact) {
  const auto& c = GetParam();
  EXPECT_EQ(build_request_url(kind(c.button), c.name, c.index), c.expected);
}

// The edge cases of the request table, with this test's own host values.
INSTANTIATE_TEST_SUITE_P(
    EdgeCases, RequestUrlCase,
    testing::Values(
        UrlCase{"按钮1", "abc", -1, "http://host-b.test:8080/jk/toutu.php?id=&name=abc"},
        UrlCase{"按钮5", "abc", -1, "http://host-d.test/bb/toutu.php?id=1&name=abc"},
        UrlCase{"按钮9", "", -1, "http://host-e.test/918/w.php?username="},
        UrlCase{"按钮11", "abc", -1, "http://host-g.test/php/watermark/airlin.php?str=abc&floor=5&num=4082617395"},
        UrlCase{"按钮11", "", -1, "http://host-g.test/php/watermark/airlin.php?str=&floor=5&num=4082617395"},
        UrlCase{"按钮14", "张三", 0, "http://host-f.test:81/paper/award/img.php?txt1=txt1-1&txt2=%E5%BC%A0%E4%B8%89"},
        UrlCase{"按钮15", "abc", 2, "http://host-b.test:8080/fcz/toutu.php?id=&name=3&name=abc"},
        UrlCase{"按钮12", "abc", 1, "http://host-c.test/zb/fc/toutu.php?id=2&name=abc"},
        UrlCase{"按钮13", "abc", 1, "http://host-c.test/zb/fc/toutu.php?id=2&name=abc"},
        UrlCase{"按钮10", "abc", 2, "http://host-c.test/zb/ym/toutu.php?id=3&name=abc"},
        UrlCase{"按钮8", "abc", -1, "http://host-c.test/zb/ly/toutu.php?id=0&name=abc"},
        // A kind without a list never sends an option number, whatever index it is handed.
        UrlCase{"按钮2", "abc", 4, "http://host-b.test:8080/fll/toutu.php?id=&name=abc"},
        UrlCase{"按钮16", "a b", 3, "http://host-b.test:8080/wjj/toutu.php?id=&name=4&name=a%20b"}),
    [](const auto& info) { return "row" + std::to_string(info.index); });

TEST(RequestUrl, EveryKindWithTheListsAtTheirFirstItem) {
  const std::pair<const char*, std::string> expected[] = {
      {"按钮1", "http://host-b.test:8080/jk/toutu.php?id=&name=%E5%BC%A0%E4%B8%89"},
      {"按钮2", "http://host-b.test:8080/fll/toutu.php?id=&name=%E5%BC%A0%E4%B8%89"},
      {"按钮3", "http://host-b.test:8080/bsj/toutu.php?id=&name=%E5%BC%A0%E4%B8%89"},
      {"按钮4", "http://host-a.test/bc/toutu.php?id=&name=%E5%BC%A0%E4%B8%89"},
      {"按钮5", "http://host-d.test/bb/toutu.php?id=1&name=%E5%BC%A0%E4%B8%89"},
      {"按钮6", "http://host-d.test/bb/toutu.php?id=&name=%E5%BC%A0%E4%B8%89"},
      {"按钮8", "http://host-c.test/zb/ly/toutu.php?id=1&name=%E5%BC%A0%E4%B8%89"},
      {"按钮9", "http://host-e.test/918/w.php?username=%E5%BC%A0%E4%B8%89"},
      {"按钮10", "http://host-c.test/zb/ym/toutu.php?id=1&name=%E5%BC%A0%E4%B8%89"},
      {"按钮11", "http://host-g.test/php/watermark/airlin.php?str=%E5%BC%A0%E4%B8%89&floor=5&num=4082617395"},
      {"按钮12", "http://host-c.test/zb/fc/toutu.php?id=1&name=%E5%BC%A0%E4%B8%89"},
      {"按钮13", "http://host-c.test/zb/fc/toutu.php?id=1&name=%E5%BC%A0%E4%B8%89"},
      {"按钮14", "http://host-f.test:81/paper/award/img.php?txt1=txt1-1&txt2=%E5%BC%A0%E4%B8%89"},
      {"按钮15", "http://host-b.test:8080/fcz/toutu.php?id=&name=1&name=%E5%BC%A0%E4%B8%89"},
      {"按钮16", "http://host-b.test:8080/wjj/toutu.php?id=&name=1&name=%E5%BC%A0%E4%B8%89"},
  };
  ASSERT_EQ(std::size(expected), picture_kinds().size());
  for (const auto& [button, url] : expected) {
    EXPECT_EQ(build_request_url(kind(button), "张三", 0), url) << button;
  }
}

TEST(RequestUrl, ListsSharedByThreeKindsSendTheSameNumber) {
  for (const char* button : {"按钮8", "按钮15", "按钮16"}) {
    const std::string url = build_request_url(kind(button), "x", 3);
    EXPECT_NE(url.find("=4&name=x"), std::string::npos) << url;
  }
}

TEST(RequestUrl, SameInputsGiveTheSameBytes) {
  for (const auto& k : picture_kinds()) {
    EXPECT_EQ(build_request_url(k, "李雷 ~", 1), build_request_url(k, "李雷 ~", 1)) << k.button;
  }
}

}  // namespace
}  // namespace miaohui
