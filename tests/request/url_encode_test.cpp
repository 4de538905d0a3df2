#include "request/url_encode.h"

#include <gtest/gtest.h>

#include <string>

namespace miaohui {
namespace {

struct Example {
  const char* name;
  std::string input;
  std::string expected;

  friend void PrintTo(const Example& e, std::ostream* os) { *os << e.name; }
};

class UrlEncodeExample : public testing::TestWithParam<Example> {};

TEST_P(UrlEncodeExample, GivesExactAsciiForm) {
  EXPECT_EQ(url_encode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, UrlEncodeExample,
    testing::Values(Example{"letters", "abc", "abc"},
                    Example{"zhang_san", "张三", "%E5%BC%A0%E4%B8%89"},
                    Example{"li_lei", "李雷", "%E6%9D%8E%E9%9B%B7"},
                    Example{"space_and_slash", "a b/c", "a%20b%2Fc"},
                    Example{"underscore_tilde", "Tom_Lee~1.0", "Tom%5FLee%7E1.0"},
                    Example{"passing_signs", "A-Z.09", "A-Z.09"},
                    Example{"query_signs", "@#&=?+", "%40%23%26%3D%3F%2B"},
                    Example{"empty", "", ""},
                    Example{"tab_keeps_leading_zero", "\t", "%09"},
                    Example{"upper_case_hex", "\xBC", "%BC"},
                    Example{"emoji_from_utf8", "\xF0\x9F\x98\x80", "%F0%9F%98%80"},
                    Example{"mixed", "墨汀QQ3816059471", "%E5%A2%A8%E6%B1%80QQ3816059471"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UrlEncode, EveryByteEitherPassesOrIsEscapedUpperCase) {
  const std::string passing = "-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (int b = 0x01; b <= 0xFF; ++b) {
    const std::string input(1, static_cast<char>(b));
    const std::string out = url_encode(input);
    if (passing.find(static_cast<char>(b)) != std::string::npos) {
      EXPECT_EQ(out, input) << "byte " << b;
    } else {
      char expected[4];
      std::snprintf(expected, sizeof expected, "%%%02X", b);
      EXPECT_EQ(out, expected) << "byte " << b;
    }
  }
}

TEST(UrlEncode, OutputHoldsNoZeroPlusOrSlash) {
  std::string all;
  for (int b = 0; b <= 0xFF; ++b) all.push_back(static_cast<char>(b));
  const std::string out = url_encode(all);
  EXPECT_EQ(out.size(), all.size() * 3 - 2 * 64);  // 64 bytes pass unchanged
  EXPECT_EQ(out.find('\0'), std::string::npos);
  EXPECT_EQ(out.find('+'), std::string::npos);
  EXPECT_EQ(out.find('/'), std::string::npos);
  EXPECT_EQ(out.substr(0, 3), "%00");  // an embedded zero byte is escaped, not a terminator
}

}  // namespace
}  // namespace miaohui
