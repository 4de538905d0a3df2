#include "request/generate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace miaohui {
namespace {

// Records every call the action makes, in order.
class FakeControls : public PictureControls {
 public:
  std::string name = "abc";
  int index = 0;
  Bytes body;
  std::vector<std::string> calls;
  std::vector<Bytes> pictures;

  std::string name_text() override {
    calls.push_back("name");
    return name;
  }
  int selected_index(std::string_view list) override {
    calls.push_back("index " + std::string(list));
    return index;
  }
  Bytes download(const std::string& url) override {
    calls.push_back("download " + url);
    return body;
  }
  void set_picture(Bytes bytes) override {
    calls.push_back("set_picture");
    pictures.push_back(std::move(bytes));
  }
};

TEST(GeneratePicture, ReadsListThenNameThenDownloadsAndShows) {
  FakeControls controls;
  controls.index = 2;
  controls.body = {1, 2, 3};
  generate_picture(*find_picture_kind("按钮10"), controls);
  const std::vector<std::string> expected = {"index 组合框5", "name",
                                             "download http://host-c.test/zb/ym/toutu.php?id=3&name=abc", "set_picture"};
  EXPECT_EQ(controls.calls, expected);
  ASSERT_EQ(controls.pictures.size(), 1u);
  EXPECT_EQ(controls.pictures[0], (Bytes{1, 2, 3}));
}

TEST(GeneratePicture, KindWithoutListReadsNoList) {
  FakeControls controls;
  generate_picture(*find_picture_kind("按钮9"), controls);
  ASSERT_EQ(controls.calls.size(), 3u);
  EXPECT_EQ(controls.calls[0], "name");
}

TEST(GeneratePicture, FailedDownloadStillClearsThePicture) {
  FakeControls controls;
  controls.name.clear();
  generate_picture(*find_picture_kind("按钮1"), controls);
  EXPECT_EQ(controls.calls[1], "download http://host-b.test:8080/jk/toutu.php?id=&name=");
  ASSERT_EQ(controls.pictures.size(), 1u);
  EXPECT_TRUE(controls.pictures[0].empty());
}

TEST(GeneratePicture, TwoClicksSendTwoIdenticalRequests) {
  FakeControls controls;
  const auto& kind = *find_picture_kind("按钮13");
  generate_picture(kind, controls);
  generate_picture(kind, controls);
  ASSERT_EQ(controls.calls.size(), 8u);
  EXPECT_EQ(controls.calls[2], controls.calls[6]);
}

}  // namespace
}  // namespace miaohui
