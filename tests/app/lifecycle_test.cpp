// Loading and destroying windows, the loop and the rule that ends it.
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QAbstractItemView>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/app_window.h"
#include "app/window_table.h"

namespace miaohui {
namespace {

using test::settle;
using test::wait_until;

// Runs the table's loop with steps queued on it, and a watchdog that ends a loop that would
// not end by itself. Returns false when the watchdog had to step in.
bool run_loop(WindowTable& table, std::function<void()> first_step, int bound_ms = 20000) {
  bool timed_out = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    timed_out = true;
    QCoreApplication::exit(1);
  });
  watchdog.start(bound_ms);
  if (first_step) QTimer::singleShot(0, first_step);
  table.message_loop();
  return !timed_out;
}

TEST(Lifecycle, LoopReturnsAtOnceWithNoWindow) {
  WindowTable table;
  EXPECT_FALSE(table.any_alive());
  EXPECT_TRUE(run_loop(table, nullptr, 5000));
  EXPECT_TRUE(table.loop_started());
}

TEST(Lifecycle, LoadingALiveWindowOnlyBringsItForward) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  QPointer<AppWindow> first = table.window(WindowId::welcome);
  const auto before = QApplication::topLevelWidgets().size();
  EXPECT_TRUE(table.load_window(WindowId::welcome));
  EXPECT_EQ(table.window(WindowId::welcome), first.data());
  EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
  EXPECT_TRUE(first->isVisible());
}

TEST(Lifecycle, DestroyWindowWaitsForItsPrivateMessage) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  QPointer<AppWindow> window = table.window(WindowId::welcome);
  table.destroy_window(WindowId::welcome);
  EXPECT_TRUE(table.alive(WindowId::welcome)) << "nothing is destroyed inside the handler";
  EXPECT_TRUE(window->destroy_pending());
  EXPECT_TRUE(wait_until([&] { return !table.alive(WindowId::welcome); }));
  EXPECT_TRUE(wait_until([&] { return window.isNull(); })) << "the widget itself is deleted";
}

TEST(Lifecycle, StrayPrivateMessageDoesNothing) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::main));
  AppWindow* window = table.window(WindowId::main);
  QCoreApplication::postEvent(window, std::make_unique<QEvent>(AppWindow::destroy_event_type()).release());
  settle(100);
  EXPECT_EQ(table.window(WindowId::main), window);
  EXPECT_TRUE(window->isVisible());
}

TEST(Lifecycle, LoadingAPendingWindowReplacesIt) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  AppWindow* old_window = table.window(WindowId::welcome);
  table.destroy_window(WindowId::welcome);
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  AppWindow* new_window = table.window(WindowId::welcome);
  EXPECT_NE(new_window, old_window);
  EXPECT_FALSE(new_window->destroy_pending());
  settle(100);  // the old window's private message, if any is left, must not touch the new one
  EXPECT_EQ(table.window(WindowId::welcome), new_window);
}

TEST(Lifecycle, EnterOpensMainThenWelcomeGoesAndTheLoopGoesOn) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  std::vector<std::string> seen;
  auto state = [&] {
    return std::string(table.alive(WindowId::welcome) ? "welcome" : "-") + " " +
           (table.alive(WindowId::main) ? "main" : "-");
  };
  const bool ended = run_loop(table, [&] {
    table.window(WindowId::welcome)->control<QPushButton>("按钮3")->click();
    seen.push_back("after click: " + state());
    QTimer::singleShot(50, [&] {
      seen.push_back("later: " + state());
      AppWindow* main = table.window(WindowId::main);
      seen.push_back(main && main->isVisible() && QApplication::activeWindow() == main ? "main active" : "main not active");
      main->close();
    });
  });
  EXPECT_TRUE(ended) << "closing the main window ends the loop";
  const std::vector<std::string> expected = {"after click: welcome main", "later: - main", "main active"};
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(table.any_alive());
}

// Esc closes a window whichever control has the focus; each case ends the loop.
TEST(Lifecycle, EscapeClosesTheWindowFromAnyControl) {
  const std::vector<std::pair<WindowId, const char*>> cases = {
      {WindowId::welcome, "按钮1"}, {WindowId::welcome, "按钮3"}, {WindowId::main, "姓名"},
      {WindowId::main, "组合框4"}, {WindowId::main, "按钮7"}, {WindowId::main, "图片框1"},
  };
  for (const auto& [id, name] : cases) {
    SCOPED_TRACE(name);
    WindowTable table;
    ASSERT_TRUE(table.load_window(id));
    const bool ended = run_loop(table, [&, id = id, name = name] {
      AppWindow* window = table.window(id);
      QWidget* control = window->control<QWidget>(name);
      control->setFocus();
      QTest::keyClick(control->hasFocus() ? control : window, Qt::Key_Escape);
    });
    EXPECT_TRUE(ended);
    EXPECT_FALSE(table.alive(id));
  }
}

TEST(Lifecycle, EscapeInAnOpenListClosesOnlyTheList) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::main));
  auto* list = table.window(WindowId::main)->control<QComboBox>("组合框2");
  list->setFocus();
  list->showPopup();
  ASSERT_TRUE(wait_until([&] { return list->view()->isVisible(); }));
  QTest::keyClick(list->view(), Qt::Key_Escape);
  EXPECT_TRUE(wait_until([&] { return !list->view()->isVisible(); }));
  settle(100);
  EXPECT_TRUE(table.alive(WindowId::main));
  EXPECT_EQ(list->currentIndex(), 0);
}

TEST(Lifecycle, CloseBoxOfWelcomeEndsTheLoopWithoutTheMainWindow) {
  WindowTable table;
  ASSERT_TRUE(table.load_window(WindowId::welcome));
  const bool ended = run_loop(table, [&] { table.window(WindowId::welcome)->close(); });
  EXPECT_TRUE(ended);
  EXPECT_FALSE(table.alive(WindowId::main));
}

}  // namespace
}  // namespace miaohui
