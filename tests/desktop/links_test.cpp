#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "desktop/links.h"
#include "desktop_fixture.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;

// Each launch writes its argument count and arguments, NUL-separated, to <log>/<pid>.done, then
// stays until <log>/release exists (a minute at most), so that a test can see it running.
constexpr std::string_view stand_in_script = R"(#!/bin/sh
out="$MIAOHUI_LINK_LOG/$$"
printf '%s\0' "$#" "$@" > "$out.part"
mv "$out.part" "$out.done"
i=0
while [ ! -e "$MIAOHUI_LINK_LOG/release" ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i + 1)); done
)";

template <typename Predicate>
bool wait_until(Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

struct Launch {
  pid_t pid;
  std::vector<std::string> arguments;  // the count first, then each argument
};

// A stand-in xdg-open first on PATH that records every launch.
class OpenLink : public testing::Test {
 protected:
  OpenLink() {
    fs::create_directories(bin());
    fs::create_directories(log());
    std::ofstream(bin() / "xdg-open") << stand_in_script;
    fs::permissions(bin() / "xdg-open", fs::perms(0755));
  }
  ~OpenLink() override {
    release();
    for (const Launch& launch : launches()) wait_until([&] { return gone(launch.pid); });
  }

  fs::path bin() const { return tmp_.path() / "bin"; }
  fs::path log() const { return tmp_.path() / "log"; }
  void release() const { test::write_text(log() / "release", ""); }

  std::vector<Launch> launches() const {
    std::vector<Launch> found;
    for (const std::string& name : test::folder_names(log())) {
      if (!name.ends_with(".done")) continue;
      const Bytes bytes = test::read_file(log() / name);
      Launch launch{std::stoi(name), {}};
      std::string field;
      for (const std::uint8_t b : bytes) {
        if (b == 0) {
          launch.arguments.push_back(field);
          field.clear();
        } else {
          field.push_back(static_cast<char>(b));
        }
      }
      found.push_back(launch);
    }
    return found;
  }
  bool wait_for_launches(std::size_t count) const {
    return wait_until([&] { return launches().size() >= count; });
  }

  // Reaped: a zombie still has its /proc entry.
  static bool gone(pid_t pid) { return !fs::exists("/proc/" + std::to_string(pid)); }

  test::TempDir tmp_;
  test::ScopedEnv path_env_{"PATH", bin().string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")};
  test::ScopedEnv log_env_{"MIAOHUI_LINK_LOG", log().string()};
  test::ScopedCurrentDir cwd_{tmp_.path()};
};

// The URL is the one argument, byte for byte; no shell sees it.
TEST_F(OpenLink, HandsTheUrlOverUnchanged) {
  const std::string urls[] = {
      chat_link(),
      group_link(),
      "http://x.test/a b?q=$(touch pwned)&r=`touch pwned`;touch pwned|x>pwned \"'\\*",
      "http://x.test/名字?n=%E5%90%8D&e=😀",
  };
  release();
  for (std::size_t i = 0; i < std::size(urls); ++i) {
    SCOPED_TRACE(urls[i]);
    open_link(urls[i]);
    ASSERT_TRUE(wait_for_launches(i + 1));
  }
  std::vector<std::vector<std::string>> recorded;
  for (const Launch& launch : launches()) recorded.push_back(launch.arguments);
  for (const std::string& url : urls) {
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), std::vector<std::string>{"1", url}), recorded.end())
        << url;
  }
  EXPECT_FALSE(fs::exists(tmp_.path() / "pwned"));
}

TEST_F(OpenLink, TwoClicksGiveTwoLaunches) {
  open_link(chat_link());
  open_link(chat_link());
  ASSERT_TRUE(wait_for_launches(2));
  const std::vector<Launch> found = launches();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NE(found[0].pid, found[1].pid);
  EXPECT_EQ(found[0].arguments, (std::vector<std::string>{"1", chat_link()}));
  EXPECT_EQ(found[1].arguments, found[0].arguments);
}

// open_link returns while the launcher still runs, in a process group of its own, and once
// the launcher ends nothing of it is left: no zombie.
TEST_F(OpenLink, ReturnsAtOnceAndLeavesNoZombie) {
  open_link(group_link());
  ASSERT_TRUE(wait_for_launches(1));
  const pid_t pid = launches().front().pid;
  EXPECT_EQ(::kill(pid, 0), 0) << "the launcher should still be waiting for its release";
  EXPECT_NE(::getpgid(pid), ::getpgrp());
  release();
  EXPECT_TRUE(wait_until([&] { return gone(pid); })) << "the launcher was not reaped";
}

TEST_F(OpenLink, MissingLauncherIsSilent) {
  const test::ScopedEnv empty_path("PATH", (tmp_.path() / "nothing-here").string());
  open_link(chat_link());
  EXPECT_TRUE(launches().empty());
}

TEST_F(OpenLink, UrlWithAZeroByteIsNotLaunched) {
  release();
  open_link(std::string_view("http://x.test/\0tail", 19));
  open_link("http://x.test/after");
  ASSERT_TRUE(wait_for_launches(1));
  // Spawned in order: a launch of the first URL would have been recorded by the time the
  // second launcher has finished.
  const pid_t after = launches().front().pid;
  ASSERT_TRUE(wait_until([&] { return gone(after); }));
  ASSERT_EQ(launches().size(), 1u);
  EXPECT_EQ(launches().front().arguments, (std::vector<std::string>{"1", "http://x.test/after"}));
}

// The link constants, built here with the test's own hosts.
TEST(LinkUrls, AreTheFixedPagesOnTheConfiguredHosts) {
  EXPECT_EQ(chat_link(), "http://chat.test:8080/msgrd?V=1&Uin=3816059471");
  EXPECT_EQ(group_link(),
            "http://group.test/wpa/qunwpa?idkey=5b0c7e93a1d24f86c3e07a5b19d68f2e40a7c3e95d1b6f08e2c4a9d73b5e1f06");
}

}  // namespace
}  // namespace miaohui
