// The fatal-error report of the program, seen from outside: a helper process runs each
// case, prints the box it shows and dismisses it.
#include <QProcess>

#include <gtest/gtest.h>

#include "app/fatal_error.h"

namespace miaohui {
namespace {

TEST(FatalErrorText, HeadingCodeAndMessage) {
  EXPECT_EQ(fatal_error_text("", 0), "运行时出错!\r\n\r\n");
  EXPECT_EQ(fatal_error_text("载入启动窗口失败", 0), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(fatal_error_text("m", -1), "运行时出错!\r\n\r\n错误代码：-1\r\n\r\n错误信息：m\r\n");
  EXPECT_EQ(allocation_failure_message(1234), "分配 1234 字节内存失败!");
}

struct ProbeCase {
  const char* which;
  const char* text;
};

TEST(FatalError, ShowsTheReportAndExitsWith255) {
  const std::vector<ProbeCase> cases = {
      {"message", "运行时出错!\\r\\n\\r\\n错误信息：载入启动窗口失败\\r\\n"},
      {"code", "运行时出错!\\r\\n\\r\\n错误代码：-7\\r\\n\\r\\n"},
      {"destroy", "运行时出错!\\r\\n\\r\\n错误信息：指定窗口或窗口组件不存在或尚未载入\\r\\n"},
      {"memory", "运行时出错!\\r\\n\\r\\n错误信息：分配 281474976710656 字节内存失败!\\r\\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.which);
#ifdef MIAOHUI_PROBE_WITHOUT_OWN_ALLOCATION
    if (std::string(c.which) == "memory") continue;  // the sanitizers bring their own allocator
#endif
    QProcess probe;
    probe.start(MIAOHUI_FATAL_PROBE, {c.which, "-platform", "offscreen"});
    ASSERT_TRUE(probe.waitForFinished(60000));
    const std::string out = probe.readAllStandardOutput().toStdString();
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 255) << out;
    const std::string expected = std::string("caption=错误\nicon=critical\nparent=none\nbuttons=1\ntext=") + c.text + "\n";
    EXPECT_EQ(out, expected);
  }
}

}  // namespace
}  // namespace miaohui
