#include "service_request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "request/request_url.h"

namespace miaohui {
namespace {

// The target of a request URL: what follows "http://host".
std::string target_of(const std::string& url) { return url.substr(url.find('/', 7)); }

std::vector<std::string> buttons_of(const ServiceRequest& request) {
  std::vector<std::string> buttons;
  for (const PictureKind* kind : request.kinds) buttons.emplace_back(kind->button);
  return buttons;
}

TEST(ServiceRequest, EveryKindsUrlReadsBackItsKindOptionAndName) {
  const std::string name = "张三 a&b=c%";
  for (const PictureKind& kind : picture_kinds()) {
    SCOPED_TRACE(std::string(kind.button));
    const auto request = read_request_target(target_of(build_request_url(kind, name, 2)));
    ASSERT_TRUE(request.has_value());
    const auto buttons = buttons_of(*request);
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), kind.button), buttons.end());
    EXPECT_EQ(request->option, kind.has_option_list() ? "3" : "");
    EXPECT_EQ(request->name, name);
  }
}

TEST(ServiceRequest, KindsThatShareAUrlAreBothNamed) {
  const auto request = read_request_target("/zb/fc/toutu.php?id=4&name=abc");
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(buttons_of(*request), (std::vector<std::string>{"按钮12", "按钮13"}));
  const auto single = read_request_target("/bb/toutu.php?id=&name=abc");
  ASSERT_TRUE(single.has_value());
  EXPECT_EQ(buttons_of(*single), (std::vector<std::string>{"按钮6"}));
}

TEST(ServiceRequest, TheTailIsNoPartOfTheNameAndItsAbsenceLeavesTheRest) {
  const auto with_tail = read_request_target("/php/watermark/airlin.php?str=ab&floor=5&num=4082617395");
  ASSERT_TRUE(with_tail.has_value());
  EXPECT_EQ(with_tail->name, "ab");
  const auto without = read_request_target("/php/watermark/airlin.php?str=ab");
  ASSERT_TRUE(without.has_value());
  EXPECT_EQ(without->name, "ab");
  const auto empty = read_request_target("/php/watermark/airlin.php?str=&floor=5&num=4082617395");
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->name, "");
}

TEST(ServiceRequest, TargetsOfNoKindAreNotRead) {
  for (const char* target : {"", "/", "/nothing", "/jk/toutu.php", "/jk/toutu.php?id=", "jk/toutu.php?id=&name=a",
                             "/JK/toutu.php?id=&name=a", "/zb/fc/toutu.php?id=3", "/paper/award/img.php?txt1=1&txt2=a",
                             "/favicon.ico"}) {
    EXPECT_FALSE(read_request_target(target).has_value()) << target;
  }
}

TEST(ServiceRequest, PercentDecodingKeepsWhatIsNoEscape) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"%E5%BC%A0", "张"}, {"%e5%bc%a0", "张"}, {"a%20b", "a b"},  {"a+b", "a+b"},
      {"%zz", "%zz"},      {"%4", "%4"},        {"%", "%"},        {"%%41", "%A"},
      {"%00x", std::string("\0x", 2)},          {"%FF%FE", "\xFF\xFE"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(percent_decode(c.in), c.out) << c.in;
}

TEST(ServiceRequest, OptionsReadAsTheirItemOrAsWhyThereIsNone) {
  const OptionList& cars = *find_option_list("组合框3");
  const struct {
    std::string option, words;
  } cases[] = {
      {"1", "宾利欧陆"},
      {"3", "兰博基尼"},
      {"03", "兰博基尼"},
      {"6", "路虎揽胜"},
      {"0", "0（未选择）"},
      {"000", "000（未选择）"},
      {"7", "7（列表中没有此项）"},
      {"99999999999999999999999", "99999999999999999999999（列表中没有此项）"},
      {"", "（未给出）"},
      {"abc", "“abc”（不是选项号）"},
      {"-1", "“-1”（不是选项号）"},
      {"%E5%BC%A0", "“张”（不是选项号）"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe_option(cars, c.option), c.words) << c.option;
}

}  // namespace
}  // namespace miaohui
