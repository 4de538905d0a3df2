// The waiting helper: a blocking call on a worker thread while the UI thread serves its
// event loop without user input.

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "common/bytes.h"
#include "picture/waiting.h"

namespace miaohui {
namespace {

using std::chrono::milliseconds;

bool busy_cursor_shown() {
  const QCursor* cursor = QApplication::overrideCursor();
  return cursor != nullptr && cursor->shape() == Qt::BusyCursor;
}

TEST(RunWaiting, RunsTheCallOnAWorkerWhileTimersAndQueuedCallsRun) {
  const auto ui = std::this_thread::get_id();
  std::thread::id worker;
  bool waiting_inside = false;
  bool timer_fired_during = false;
  std::atomic<bool> call_running{false};

  QTimer::singleShot(30, [&] { timer_fired_during = call_running.load(); });
  run_waiting([&] {
    call_running = true;
    worker = std::this_thread::get_id();
    waiting_inside = is_waiting();
    std::this_thread::sleep_for(milliseconds(300));
    call_running = false;
  });
  EXPECT_NE(worker, ui);
  EXPECT_TRUE(waiting_inside);
  EXPECT_TRUE(timer_fired_during) << "the UI thread served its timers during the call";
  EXPECT_FALSE(is_waiting());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is taken back";
}

TEST(RunWaiting, ShowsTheBusyCursorMeanwhile) {
  bool busy = false;
  QTimer::singleShot(20, [&] { busy = busy_cursor_shown(); });
  run_waiting([] { std::this_thread::sleep_for(milliseconds(200)); });
  EXPECT_TRUE(busy);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(RunWaiting, GivesBackTheCallsResult) {
  EXPECT_EQ(run_waiting_for([] { return 42; }), 42);
  const Bytes body = run_waiting_for([] {
    std::this_thread::sleep_for(milliseconds(20));
    return Bytes{1, 2, 3};
  });
  EXPECT_EQ(body, (Bytes{1, 2, 3}));
}

TEST(RunWaiting, ACallFromInsideTheWaitRunsAfterTheRunningOne) {
  const auto ui = std::this_thread::get_id();
  std::atomic<bool> outer_running{false}, outer_done{false};
  bool overlapped = true, inner_done = false;
  std::thread::id inner_thread;

  QTimer::singleShot(30, [&] {
    run_waiting([&] {
      inner_thread = std::this_thread::get_id();
      overlapped = outer_running || !outer_done;
      inner_done = true;
    });
  });
  run_waiting([&] {
    outer_running = true;
    std::this_thread::sleep_for(milliseconds(300));
    outer_running = false;
    outer_done = true;
  });
  EXPECT_TRUE(inner_done);
  EXPECT_FALSE(overlapped) << "the inner call ran while the outer one was running";
  EXPECT_EQ(inner_thread, ui);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(is_waiting());
}

TEST(RunWaiting, AnExceptionOfTheCallReachesTheCaller) {
  EXPECT_THROW(run_waiting([] { throw std::runtime_error("call failed"); }), std::runtime_error);
  EXPECT_FALSE(is_waiting());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(RunWaiting, AQuitDuringTheWaitStillWaitsForTheCall) {
  bool finished = false;
  QTimer::singleShot(20, [] { QCoreApplication::exit(0); });
  run_waiting([&] {
    std::this_thread::sleep_for(milliseconds(200));
    finished = true;
  });
  EXPECT_TRUE(finished) << "returned while the call was still running";

  // Let the quit run its course so that later event loops run again.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

}  // namespace
}  // namespace miaohui
